// PNG and BMP readers over arbitrary bytes, with the real 4 MiB pixel buffer.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "texture/PictureReader.h"
#include "texture/Texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<unsigned char> pixels(Texture::kBufferBytes);
    ImageTarget png = {pixels.data(), pixels.size(), 0, 0, 3};
    kvxDecodePng(data, size, &png);
    ImageTarget bmp = {pixels.data(), pixels.size(), 0, 0, 3};
    kvxDecodeBmp(data, size, &bmp);
    return 0;
}
