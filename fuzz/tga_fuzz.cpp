// Targa reader over arbitrary bytes, with the real 4 MiB pixel buffer.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/ErrorLog.h"
#include "texture/TargaReader.h"
#include "texture/Texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::vector<unsigned char> pixels(Texture::kBufferBytes);
    kvxInitErrorLog(kvxLogToNowhere);
    ImageTarget target = {pixels.data(), pixels.size(), 0, 0, 3};
    kvxDecodeTarga(data, size, &target);
    return 0;
}
