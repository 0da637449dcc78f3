#include "import3ds/FileBytes.h"

#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>

#include "core/PackFile.h"
#include "platform/FileSystem.h"

namespace {

const long kLargestFile = 0x7FFFFFFF;  // the Loader counts bytes in an int
// From this size on a file is mapped: below it, mapping and unmapping cost
// more than copying the bytes.
const long kMappedFile = 256 * 1024;

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

// A large file is mapped, so that the page cache serves its bytes without a
// copy; a small one, or one the system cannot map, is read into a buffer.
bool FileBytes::readDisk(const char* file) {
    release();
    FILE* f = kvxOpenFile(file, "rb");
    if (!f) return false;
    std::fseek(f, 0, SEEK_END);
    long length = std::ftell(f);
    std::fseek(f, 0, SEEK_SET);
    if (length >= 0 && length < kLargestFile) {
        void* map = length >= kMappedFile
                        ? mmap(nullptr, size_t(length), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fileno(f), 0)
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
