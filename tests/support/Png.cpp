#include "Png.h"

#include <png.h>

namespace kvxtest {

RgbImage readPng(const std::string& path) {
    RgbImage img;
    png_image p{};
    p.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&p, path.c_str())) return img;
    p.format = PNG_FORMAT_RGB;
    img.rgb.resize(PNG_IMAGE_SIZE(p));
    if (!png_image_finish_read(&p, nullptr, img.rgb.data(), 0, nullptr)) return RgbImage();
    img.width = int(p.width);
    img.height = int(p.height);
    return img;
}

bool writePng(const std::string& path, const unsigned char* rgb, int width, int height, bool bottomUp) {
    png_image p{};
    p.version = PNG_IMAGE_VERSION;
    p.width = png_uint_32(width);
    p.height = png_uint_32(height);
    p.format = PNG_FORMAT_RGB;
    png_int_32 stride = png_int_32(width) * 3;
    return png_image_write_to_file(&p, path.c_str(), 0, rgb, bottomUp ? -stride : stride, nullptr) != 0;
}

}  // namespace kvxtest
