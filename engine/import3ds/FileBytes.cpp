#include "import3ds/FileBytes.h"

#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>

#include "core/PackFile.h"
#include "platform/FileSystem.h"

namespace {

const long kLargestFile = 0x7FFFFFFF;  // the Loader counts bytes in an int

}  // namespace

FileBytes::~FileBytes() { release(); }

void FileBytes::release() {
    if (mapped_ > 0)
        munmap(data_, mapped_);
    else
        std::free(data_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = 0;
}

// Mapped, so that the page cache serves the bytes without a copy; a file the
// system cannot map (empty, or a pipe) is read into a buffer.
bool FileBytes::readDisk(const char* file) {
    release();
    FILE* f = kvxOpenFile(file, "rb");
    if (!f) return false;
    std::fseek(f, 0, SEEK_END);
    long length = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    if (length >= 0 && length < kLargestFile) {
        void* map = length > 0 ? mmap(nullptr, size_t(length), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fileno(f), 0)
                               : MAP_FAILED;
        if (map != MAP_FAILED) {
            data_ = static_cast<char*>(map);
            size_ = static_cast<int>(length);
            mapped_ = size_t(length);
        } else {
            data_ = static_cast<char*>(std::malloc(length > 0 ? size_t(length) : 1));
            if (data_) size_ = static_cast<int>(std::fread(data_, 1, size_t(length), f));
        }
    }
    std::fclose(f);
    return data_ != nullptr;
}

bool FileBytes::readArchive(const char* file, const char* archive) {
    release();
    if (!archive || packOpenArchive(archive) != 0) return false;
    if (PackEntry* entry = packOpenEntry(file, "rb")) {
        int length = static_cast<int>(packEntrySize(entry));
        data_ = static_cast<char*>(std::malloc(length > 0 ? size_t(length) : 1));
        if (data_) size_ = static_cast<int>(packRead(data_, 1, size_t(length > 0 ? length : 0), entry));
        packCloseEntry(entry);
    }
    packCloseArchive();
    return data_ != nullptr;
}
