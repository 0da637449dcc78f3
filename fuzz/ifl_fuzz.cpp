// Image-file list reader over arbitrary text, into the texture's 63 name slots.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "render/ErrorLog.h"
#include "texture/FrameList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int kNames = 63;
    char names[kNames][kFrameNameSize];
    kvxInitErrorLog(kvxLogToNowhere);
    int count = 0;
    kvxParseFrameList(data, size, names, kNames, &count);
    for (int i = 0; i < count; ++i) {
        if (strlen(names[i]) >= static_cast<size_t>(kFrameNameSize)) __builtin_trap();
    }
    return 0;
}
