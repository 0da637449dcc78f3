#ifndef KVX_TEXTURE_IMAGEFILE_H
#define KVX_TEXTURE_IMAGEFILE_H

// The whole content of one image or list file, read from the file system or
// from an entry of a pack file, so that the readers parse memory with every
// access bounded by the real size.

#include <cstddef>
#include <cstdint>

// Where a reader puts a decoded picture: RGBA bytes, bottom row first.
struct ImageTarget {
    unsigned char* pixels;
    size_t capacity;  // bytes available at pixels
    int32_t width;
    int32_t height;
    int32_t components;
};

class ImageFile {
public:
    static const size_t kMaxBytes = 64u * 1024u * 1024u;

    enum Status { kRead, kNotFound, kTooLarge };

    unsigned char* bytes;
    size_t size;

    ImageFile();
    ~ImageFile();
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    // archive null or empty reads the file system, else the named pack file.
    Status load(const char* path, const char* archive);

private:
    Status loadFile(const char* path);
    Status loadEntry(const char* path, const char* archive);
    bool allocate(size_t n);
};

#endif
