// Pack-file directory and entry reads over arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "core/PackFile.h"
#include "render/ErrorLog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvxInitErrorLog(kvxLogToNowhere);
    // fmemopen refuses a zero-sized buffer; the copy keeps the input read-only.
    std::vector<uint8_t> bytes(data, data + size);
    bytes.push_back(0);
    FILE* stream = fmemopen(bytes.data(), size > 0 ? size : 1, "rb");
    if (!stream) return 0;
    if (packOpenArchiveStream(stream) != 0) return 0;
    const int count = packEntryCount();
    std::vector<uint8_t> buffer(4096);
    for (int i = 0; i < count; ++i) {
        const char* name = packEntryName(i);
        if (!name) continue;
        // Every entry before the terminator can be found by its own name.
        if (i < count - 1 && packFindEntry(name) < 0) __builtin_trap();
        PackEntry* entry = packOpenEntry(name, "rb");
        if (!entry) continue;
        unsigned int left = packEntrySize(entry);
        while (left > 0 && !packEndOfEntry(entry)) {
            size_t want = left < buffer.size() ? left : buffer.size();
            size_t got = packRead(buffer.data(), 1, want, entry);
            if (got == 0) break;
            left -= static_cast<unsigned int>(got);
        }
        packCloseEntry(entry);
    }
    packEntryName(count);
    packEntryName(-1);
    packCloseArchive();
    return 0;
}
