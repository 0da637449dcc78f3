#include "texture/PictureReader.h"

#include <SDL.h>
#include <png.h>

#include <cstdint>
#include <cstring>

namespace {

const int kRgb = 3;
const int kRgba = 4;

bool fits(const ImageTarget* out, size_t width, size_t height) {
    return out && out->pixels && width > 0 && height > 0 && width * height <= out->capacity / kRgba;
}

void takeSize(ImageTarget* out, int width, int height, int components) {
    out->width = width;
    out->height = height;
    out->components = components;
}

template <class Decode>
bool readWith(const char* path, const char* archive, ImageTarget* out, Decode decode) {
    ImageFile file;
    if (file.load(path, archive) != ImageFile::kRead) return false;
    return decode(file.bytes, file.size, out);
}

uint32_t little(const unsigned char* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

uint32_t big(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// Every chunk a PNG declares must lie inside the file: libpng allocates a
// chunk's declared length (up to 2 GiB) before it finds the data missing.
bool pngChunksInside(const unsigned char* file, size_t size) {
    const size_t kSignature = 8;
    const size_t kFrame = 12;  // length, type and CRC around the data
    size_t at = kSignature;
    while (at < size) {
        if (size - at < kFrame) return false;
        uint32_t length = big(file + at);
        if (length > size - at - kFrame) return false;
        bool last = std::memcmp(file + at + 4, "IEND", 4) == 0;
        at += kFrame + length;
        if (last) break;
    }
    return true;
}

// The picture size a BMP header declares must fit the target before SDL's
// loader allocates a surface of that size.
bool bmpFits(const unsigned char* file, size_t size, const ImageTarget* out) {
    const size_t kFileHeader = 14;
    if (size < kFileHeader + 12) return false;
    uint32_t info = little(file + kFileHeader, 4);
    bool core = info == 12;
    if (!core && size < kFileHeader + 16) return false;
    int64_t width = core ? little(file + 18, 2) : static_cast<int32_t>(little(file + 18, 4));
    int64_t height = core ? little(file + 20, 2) : static_cast<int32_t>(little(file + 22, 4));
    if (height < 0) height = -height;  // top-down rows
    return width > 0 && fits(out, static_cast<size_t>(width), static_cast<size_t>(height));
}

}  // namespace

bool kvxDecodePng(const unsigned char* file, size_t size, ImageTarget* out) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!file || !pngChunksInside(file, size) || !png_image_begin_read_from_memory(&image, file, size)) return false;
    if (!fits(out, image.width, image.height)) {
        png_image_free(&image);
        return false;
    }
    int components = (image.format & PNG_FORMAT_FLAG_ALPHA) ? kRgba : kRgb;
    image.format = PNG_FORMAT_RGBA;
    // A negative stride stores the rows bottom-up, as the textures hold them.
    png_int_32 stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(image));
    if (!png_image_finish_read(&image, nullptr, out->pixels, stride, nullptr)) {
        png_image_free(&image);
        return false;
    }
    takeSize(out, static_cast<int>(image.width), static_cast<int>(image.height), components);
    return true;
}

bool kvxReadPng(const char* path, const char* archive, ImageTarget* out) {
    return readWith(path, archive, out, kvxDecodePng);
}

bool kvxDecodeBmp(const unsigned char* file, size_t size, ImageTarget* out) {
    if (!file || size > static_cast<size_t>(INT32_MAX) || !bmpFits(file, size, out)) return false;
    SDL_RWops* rw = SDL_RWFromConstMem(file, static_cast<int>(size));
    if (!rw) return false;
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
    if (!loaded) return false;
    int components = loaded->format->Amask ? kRgba : kRgb;
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(loaded);
    if (!rgba) return false;
    bool ok = fits(out, static_cast<size_t>(rgba->w), static_cast<size_t>(rgba->h)) && SDL_LockSurface(rgba) == 0;
    if (ok) {
        size_t row = static_cast<size_t>(rgba->w) * kRgba;
        const unsigned char* src = static_cast<const unsigned char*>(rgba->pixels);
        for (int y = 0; y < rgba->h; ++y)
            std::memcpy(out->pixels + row * static_cast<size_t>(rgba->h - 1 - y),
                        src + static_cast<size_t>(y) * rgba->pitch, row);
        SDL_UnlockSurface(rgba);
        takeSize(out, rgba->w, rgba->h, components);
    }
    SDL_FreeSurface(rgba);
    return ok;
}

bool kvxReadBmp(const char* path, const char* archive, ImageTarget* out) {
    return readWith(path, archive, out, kvxDecodeBmp);
}
