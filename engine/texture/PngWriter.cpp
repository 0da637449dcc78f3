#include "texture/PngWriter.h"

#include <png.h>

#include <cstdio>

#include "platform/FileSystem.h"

bool kvxWritePng(const char* path, const unsigned char* rgb, int width, int height, bool bottomUp) {
    if (path == nullptr || rgb == nullptr || width < 1 || height < 1) return false;
    FILE* f = kvxOpenFile(path, "wb");
    if (f == nullptr) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGB;
    const png_int_32 stride = png_int_32(width) * 3;
    bool ok = png_image_write_to_stdio(&image, f, 0, rgb, bottomUp ? -stride : stride, nullptr) != 0;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) std::remove(path);
    return ok;
}
