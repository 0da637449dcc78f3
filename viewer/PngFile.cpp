#include "PngFile.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <Korvex3D.h>

namespace {

struct FileCloser {
    FILE* f;
    ~FileCloser() {
        if (f) fclose(f);
    }
};

}  // namespace

bool saveFrameAsPng(const std::string& path, int width, int height, std::string* error) {
    std::vector<char> rgba(static_cast<size_t>(width) * height * 4);
    kvxGetBuffer(rgba.data(), width, height);
    std::vector<png_byte> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const char* src = &rgba[static_cast<size_t>(height - 1 - y) * width * 4];  // bottom row first
        png_byte* dst = &rgb[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x) memcpy(dst + x * 3, src + x * 4, 3);
    }

    FileCloser file{fopen(path.c_str(), "wb")};
    if (!file.f) {
        *error = path + ": " + strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        *error = path + ": cannot write PNG";
        return false;
    }
    png_init_io(png, file.f);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, &rgb[static_cast<size_t>(y) * width * 3]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    if (fflush(file.f) != 0) {
        *error = path + ": " + strerror(errno);
        return false;
    }
    return true;
}
