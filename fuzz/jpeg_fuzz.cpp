// JPEG reader over arbitrary bytes, with the real 4 MiB pixel buffer.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "texture/JpegReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvxInitErrorLog(kvxLogToNowhere);
    ImageTarget target = kvxfuzz::textureTarget();
    kvxDecodeJpeg(data, size, &target);
    return 0;
}
