#ifndef KVX_IMPORT3DS_FILEBYTES_H
#define KVX_IMPORT3DS_FILEBYTES_H

// The whole of a file in memory for the import: a disk file mapped read-only,
// a pack-file entry read into a buffer. Released when it goes.

#include <cstddef>

class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // False when the file cannot be opened or read.
    bool readDisk(const char* file);
    // False without a pack file, or when it or its entry cannot be opened.
    bool readArchive(const char* file, const char* archive);

    // The bytes, never written through; null before a read succeeded.
    char* data() const { return data_; }
    int size() const { return size_; }
    void release();

private:
    char* data_ = nullptr;
    int size_ = 0;
    size_t mapped_ = 0;  // length of the mapping; 0 for a buffer
};

#endif
