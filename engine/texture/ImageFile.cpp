#include "texture/ImageFile.h"

#include <cstdlib>
#include "core/PackFile.h"
#include "platform/FileSystem.h"

ImageFile::ImageFile() : bytes(nullptr), size(0) {}

ImageFile::~ImageFile() { free(bytes); }

bool ImageFile::allocate(size_t n) {
    free(bytes);
    size = 0;
    // One spare byte so that an empty file still has a valid buffer.
    bytes = static_cast<unsigned char*>(malloc(n + 1));
    return bytes != nullptr;
}

ImageFile::Status ImageFile::load(const char* path, const char* archive) {
    if (path == nullptr) return kNotFound;
    if (archive != nullptr && archive[0] != '\0') return loadEntry(path, archive);
    return loadFile(path);
}

ImageFile::Status ImageFile::loadFile(const char* path) {
    FILE* f = kvxOpenFile(path, "rb");
    if (f == nullptr) return kNotFound;
    Status status = kNotFound;
    long length = -1;
    if (fseek(f, 0, SEEK_END) == 0) length = ftell(f);
    if (length >= 0 && fseek(f, 0, SEEK_SET) == 0) {
        if (static_cast<unsigned long>(length) > kMaxBytes) {
            status = kTooLarge;
        } else if (allocate(static_cast<size_t>(length))) {
            size = fread(bytes, 1, static_cast<size_t>(length), f);
            status = kRead;
        }
    }
    fclose(f);
    return status;
}

ImageFile::Status ImageFile::loadEntry(const char* path, const char* archive) {
    if (packOpenArchive(archive) != 0) return kNotFound;
    Status status = kNotFound;
    PackEntry* entry = packOpenEntry(path, "rb");
    if (entry != nullptr) {
        size_t length = static_cast<size_t>(packEntrySize(entry));
        if (length > kMaxBytes) {
            status = kTooLarge;
        } else if (allocate(length)) {
            size = packRead(bytes, 1, length, entry);
            status = kRead;
        }
        packCloseEntry(entry);
    }
    packCloseArchive();
    return status;
}
