// PNG and BMP readers over arbitrary bytes, with the real 4 MiB pixel buffer.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "texture/PictureReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ImageTarget png = kvxfuzz::textureTarget();
    kvxDecodePng(data, size, &png);
    ImageTarget bmp = kvxfuzz::textureTarget();
    kvxDecodeBmp(data, size, &bmp);
    return 0;
}
