#include "texture/TargaReader.h"

#include <cstring>
#include "render/ErrorLog.h"
#include "texture/TextureMessages.h"

namespace {

const size_t kHeaderSize = 18;
const int kTypeTrueColor = 2;
const int kTypeTrueColorRle = 10;
const int kMinDepth = 24;
const int kMaxDepth = 32;
const unsigned kRunFlag = 0x80;
const unsigned kCountMask = 0x7F;

struct TargaHeader {
    size_t idLength;
    size_t colorMapBytes;
    int type;
    int depth;
    int width;
    int height;
};

TargaHeader parseHeader(const unsigned char* h) {
    TargaHeader t;
    t.idLength = h[0];
    size_t mapEntries = h[5] | (h[6] << 8);
    size_t mapEntryBytes = (h[7] + 7u) / 8u;
    t.colorMapBytes = h[1] != 0 ? mapEntries * mapEntryBytes : 0;
    t.type = h[2];
    t.width = h[12] | (h[13] << 8);
    t.height = h[14] | (h[15] << 8);
    t.depth = static_cast<signed char>(h[16]);
    return t;
}

// File pixels are B, G, R (, A); the buffer holds R, G, B, A.
inline void storePixel(const unsigned char* src, size_t bytesPerPixel, unsigned char* dst) {
    dst[0] = src[2];
    dst[1] = src[1];
    dst[2] = src[0];
    dst[3] = bytesPerPixel == 4 ? src[3] : 255;
}

int decodeRaw(const unsigned char* src, size_t available, size_t pixelCount, size_t bpp, unsigned char* dst) {
    if (available / bpp < pixelCount) return kvxPutToErrorLog(kMsgTgaTruncated, kCodeTgaTruncated);
    for (size_t i = 0; i < pixelCount; ++i) storePixel(src + i * bpp, bpp, dst + i * 4);
    return 0;
}

int decodeRle(const unsigned char* src, size_t available, size_t pixelCount, size_t bpp, unsigned char* dst) {
    size_t at = 0;
    size_t stored = 0;
    while (stored < pixelCount) {
        if (at >= available) return kvxPutToErrorLog(kMsgTgaTruncated, kCodeTgaTruncated);
        unsigned packet = src[at++];
        size_t count = (packet & kCountMask) + 1;
        if (count > pixelCount - stored) return kvxPutToErrorLog(kMsgTgaRleOverrun, kCodeTgaRleOverrun);
        bool run = (packet & kRunFlag) != 0;
        size_t needed = run ? bpp : count * bpp;
        if (available - at < needed) return kvxPutToErrorLog(kMsgTgaTruncated, kCodeTgaTruncated);
        for (size_t i = 0; i < count; ++i) {
            storePixel(src + at + (run ? 0 : i * bpp), bpp, dst + (stored + i) * 4);
        }
        at += needed;
        stored += count;
    }
    return 0;
}

}  // namespace

int kvxDecodeTarga(const unsigned char* file, size_t size, ImageTarget* out) {
    if (size < kHeaderSize) return kvxPutToErrorLog(kMsgTgaTruncated, kCodeTgaTruncated);
    TargaHeader h = parseHeader(file);
    if (h.depth < kMinDepth) return kvxPutToErrorLog(kMsgTgaDepthLow, kCodeTgaDepthLow);
    if (h.type != kTypeTrueColor && h.type != kTypeTrueColorRle) {
        return kvxPutToErrorLog(kMsgTgaType, kCodeTgaType);
    }
    if (h.depth > kMaxDepth) return kvxPutToErrorLog(kMsgTgaDepthHigh, kCodeTgaDepthHigh);

    out->width = h.width;
    out->height = h.height;
    out->components = h.depth / 8;
    size_t pixelCount = static_cast<size_t>(h.width) * static_cast<size_t>(h.height);
    if (pixelCount > kMaxImagePixels || pixelCount * 4 > out->capacity) {
        return kvxPutToErrorLog(kMsgImageTooLarge, kCodeImageTooLarge);
    }
    memset(out->pixels, 0, pixelCount * 4);

    size_t start = kHeaderSize + h.idLength + h.colorMapBytes;
    if (start > size) return kvxPutToErrorLog(kMsgTgaTruncated, kCodeTgaTruncated);
    size_t bpp = static_cast<size_t>(out->components);
    if (h.type == kTypeTrueColor) return decodeRaw(file + start, size - start, pixelCount, bpp, out->pixels);
    return decodeRle(file + start, size - start, pixelCount, bpp, out->pixels);
}

int kvxReadTarga(const char* path, const char* archive, ImageTarget* out) {
    ImageFile file;
    ImageFile::Status status = file.load(path, archive);
    if (status == ImageFile::kNotFound) return kvxPutToErrorLog(kMsgFileNotFound, kCodeFileNotFound);
    if (status == ImageFile::kTooLarge) return kvxPutToErrorLog(kMsgImageTooLarge, kCodeImageTooLarge);
    return kvxDecodeTarga(file.bytes, file.size, out);
}
