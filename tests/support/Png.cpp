#include "Png.h"

#include <png.h>

#include "texture/PngWriter.h"

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
    return kvxWritePng(path.c_str(), rgb, width, height, bottomUp);
}

}  // namespace kvxtest
