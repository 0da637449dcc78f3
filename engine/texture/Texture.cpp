#include "texture/Texture.h"

#include <cctype>
#include <cstring>
#include <new>
#include "render/ErrorLog.h"
#include "render/TextureUpload.h"
#include "texture/FrameList.h"
#include "texture/ImageFile.h"
#include "texture/JpegReader.h"
#include "texture/PictureReader.h"
#include "texture/TargaReader.h"
#include "texture/TextureMessages.h"

namespace {

const int kKernelSize = 9;
const int kSharpenKernel[kKernelSize] = {-1, -2, -1, -2, 19, -2, -1, -2, -1};
const int kTrueColorComponents = 3;
const int kExtensionLength = 4;

bool isSizeAllowed(int side) {
    for (int allowed = 1; allowed <= Texture::kMaxSide; allowed *= 2) {
        if (side == allowed) return true;
    }
    return false;
}

// 2^floor(log2(v)) for v >= 1; a side never shrinks below one pixel.
int largestPowerOfTwoAtMost(float v) {
    int p = 1;
    while (static_cast<float>(p) * 2.0f <= v && p < (1 << 30)) p *= 2;
    return p;
}

inline unsigned char clampByte(long long v) { return static_cast<unsigned char>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

void replaceExtension(char* path, const char* three) {
    size_t n = strlen(path);
    memcpy(path + n - 3, three, 3);
}

void copyName(char* slot, const char* name) {
    size_t n = strlen(name);
    memcpy(slot, name, n + 1);
}

}  // namespace

Texture::Texture()
    : width(0), height(0), components(kTrueColorComponents), data(nullptr), angle(0.0f), uOffset(0.0f), vOffset(0.0f),
      uScale(1.0f), vScale(1.0f), frames(1), currentFrame(0), priority(1.0f), mipmap(true), alphaType(kAlphaPlain),
      percentage(0), wrap(true), bits(16) {
    memset(filename, 0, sizeof(filename));
    memset(textureIDs, 0, sizeof(textureIDs));
    memset(baseDir, 0, sizeof(baseDir));
}

Texture::~Texture() {
    releaseData();
    int count = frames < kMaxFrames ? frames : kMaxFrames;
    for (int i = 0; i < count; ++i) {
        if (textureIDs[i] != 0) kvxDeleteTexture(textureIDs[i]);
    }
}

void Texture::releaseData() {
    delete[] data;
    data = nullptr;
}

void Texture::replaceData(unsigned char* pixels) {
    delete[] data;
    data = pixels;
}

void Texture::setFilename(const char* name, int index) {
    if (name == nullptr || index < 0 || index >= kMaxFrames) return;
    if (strlen(name) >= static_cast<size_t>(kNameSize)) {
        filename[index][0] = '\0';
        kvxPutToErrorLog(kMsgNameTooLong, kCodeNameTooLong);
        return;
    }
    copyName(filename[index], name);
}

void Texture::setBaseDir(const char* dir) {
    if (dir == nullptr) return;
    if (strlen(dir) >= static_cast<size_t>(kPathSize)) {
        baseDir[0] = '\0';
        kvxPutToErrorLog(kMsgPathTooLong, kCodePathTooLong);
        return;
    }
    copyName(baseDir, dir);
}

bool Texture::checkExtension(char* name, const char* ext) {
    if (name == nullptr || ext == nullptr) return false;
    for (char* c = name; *c != '\0'; ++c) *c = static_cast<char>(toupper(static_cast<unsigned char>(*c)));
    size_t n = strlen(name);
    if (n < static_cast<size_t>(kExtensionLength)) return false;
    return strncmp(name + n - kExtensionLength, ext, kExtensionLength) == 0;
}

int Texture::seekFreeTextureID() { return static_cast<int>(kvxCreateTextureName()); }

int Texture::joinPath(const char* name, char* path) {
    size_t dirLength = strnlen(baseDir, kPathSize);
    size_t nameLength = strnlen(name, kNameSize);
    if (dirLength + nameLength >= static_cast<size_t>(kPathSize)) {
        return kvxPutToErrorLog(kMsgPathTooLong, kCodePathTooLong);
    }
    memcpy(path, baseDir, dirLength);
    memcpy(path + dirLength, name, nameLength);
    path[dirLength + nameLength] = '\0';
    return 0;
}

int Texture::extractNames() { return extractNamesFrom(nullptr); }

int Texture::extractNames(const char* archive) { return extractNamesFrom(archive); }

int Texture::extractNamesFrom(const char* archive) {
    char path[kPathSize];
    int code = joinPath(filename[0], path);
    if (code != 0) return code;
    char upper[kPathSize];
    memcpy(upper, path, sizeof(upper));
    if (!checkExtension(upper, ".IFL")) {
        frames = 1;
        return 0;
    }
    char names[kMaxFrames - 1][kFrameNameSize];
    int count = 0;
    code = kvxReadFrameList(path, archive, names, kMaxFrames - 1, &count);
    if (code != 0 || count == 0) return kvxPutToErrorLog(kMsgIfl, kCodeIfl);
    for (int i = 0; i < count; ++i) copyName(filename[1 + i], names[i]);
    frames = count;
    return 0;
}

int Texture::loadTexture(int index, float scale) { return loadFrom(index, nullptr, scale); }

int Texture::loadTexture(int index, const char* archive, float scale) { return loadFrom(index, archive, scale); }

int Texture::loadFrom(int index, const char* archive, float scale) {
    if (index < 0 || index >= kMaxFrames) return kvxPutToErrorLog(kMsgFrameRange, kCodeFrameRange);
    char path[kPathSize];
    int code = joinPath(filename[index], path);
    if (code != 0) return code;
    replaceData(new unsigned char[kBufferBytes]);
    code = readImage(path, archive);
    if (code != 0) return code;
    if (data == nullptr) return 0;  // a frame list: its frames are loaded one by one
    if (!isSizeAllowed(width) || !isSizeAllowed(height)) return kvxPutToErrorLog(kMsgSize, kCodeSize);
    if (scale != 1.0f) scaleTexture(scale);
    return 0;
}

// The extension is tested on an upper-case copy; the path opened keeps the
// caller's case and the file layer matches case-insensitively when needed.
int Texture::readImage(char* path, const char* archive) {
    char upper[kPathSize];
    memcpy(upper, path, kPathSize);
    if (checkExtension(upper, ".IFL")) {
        releaseData();
        return 0;
    }
    if (checkExtension(upper, ".JPG")) {
        components = kTrueColorComponents;
        return readJpegInto(path, archive) == 0 ? 0 : kvxPutToErrorLog(kMsgJpg, kCodeJpg);
    }
    if (checkExtension(upper, ".PNG") || checkExtension(upper, ".TIF") || checkExtension(upper, ".GIF") ||
        checkExtension(upper, ".BMP")) {
        return readAlias(path, archive);
    }
    if (checkExtension(upper, ".TGA")) {
        return readTargaInto(path, archive) == 0 ? 0 : kvxPutToErrorLog(kMsgTga, kCodeTga);
    }
    return kvxPutToErrorLog(kMsgFormat, kCodeFormat);
}

// A JPEG, then a Targa of the same base name serve the named picture; failing
// both, a PNG or BMP picture is read from the named file itself.
int Texture::readAlias(char* path, const char* archive) {
    char named[4];
    memcpy(named, path + strlen(path) - 3, sizeof(named));
    replaceExtension(path, "JPG");
    components = kTrueColorComponents;
    if (readJpegInto(path, archive) == 0) return 0;
    replaceExtension(path, "TGA");
    if (readTargaInto(path, archive) == 0) return 0;
    replaceExtension(path, named);
    if (readPictureInto(path, archive) == 0) return 0;
    return kvxPutToErrorLog(kMsgAlias, kCodeAlias);
}

int Texture::readPictureInto(const char* path, const char* archive) {
    char upper[kPathSize];
    memcpy(upper, path, kPathSize);
    bool png = checkExtension(upper, ".PNG");
    if (!png && !checkExtension(upper, ".BMP")) return kCodeAlias;
    ImageTarget target = {data, static_cast<size_t>(kBufferBytes), width, height, components};
    bool ok = png ? kvxReadPng(path, archive, &target) : kvxReadBmp(path, archive, &target);
    if (ok) takeSize(target);
    return ok ? 0 : kCodeAlias;
}

int Texture::readJpegInto(const char* path, const char* archive) {
    ImageTarget target = {data, static_cast<size_t>(kBufferBytes), width, height, components};
    bool ok = kvxReadJpeg(path, archive, &target);
    takeSize(target);
    return ok ? 0 : kCodeJpg;
}

int Texture::readTargaInto(const char* path, const char* archive) {
    ImageTarget target = {data, static_cast<size_t>(kBufferBytes), width, height, components};
    int code = kvxReadTarga(path, archive, &target);
    takeSize(target);
    return code;
}

// A refused image keeps the size the reader saw only when the buffer holds
// it, so that a later upload never reads past the buffer.
void Texture::takeSize(const ImageTarget& target) {
    size_t pixels = static_cast<size_t>(target.width) * static_cast<size_t>(target.height);
    bool fits = target.width >= 0 && target.height >= 0 && pixels <= static_cast<size_t>(kMaxPixels);
    width = fits ? target.width : 0;
    height = fits ? target.height : 0;
    components = target.components;
}

int Texture::uploadTexture(int frame) {
    if (frame < 0 || frame >= kMaxFrames) return kvxPutToErrorLog(kMsgUpload, kCodeUpload);
    int name = seekFreeTextureID();
    if (name <= 0) return kvxPutToErrorLog(kMsgUpload, kCodeUpload);
    // Uploading a frame again must not leak the name it had.
    if (textureIDs[frame] != 0 && kvxTextureUploaded(static_cast<int>(textureIDs[frame]))) {
        kvxDeleteTexture(textureIDs[frame]);
    }
    textureIDs[frame] = static_cast<uint32_t>(name);
    kvxUploadTexture(this, frame);
    releaseData();
    return 0;
}

int Texture::updateTexture(int frame) {
    if (data != nullptr && frame >= 0 && frame < kMaxFrames) kvxUploadTexture(this, frame);
    return 0;
}

void Texture::multiply() {
    if (data == nullptr || height < 1 || width < 1) return;
    size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t i = 0; i < count; ++i) {
        unsigned char* p = data + i * 4;
        for (int c = 0; c < 3; ++c) p[c] = clampByte(2LL * p[c] - 28);
    }
}

void Texture::filter(int* kernel) {
    if (kernel == nullptr || data == nullptr || width < 1 || height < 1) return;
    long long sum = 0;
    for (int i = 0; i < kKernelSize; ++i) sum += kernel[i];
    if (sum == 0) return;
    size_t stride = static_cast<size_t>(width) * 4;
    size_t bytes = stride * static_cast<size_t>(height);
    unsigned char* out = new (std::nothrow) unsigned char[bytes];
    if (out == nullptr) return;
    memcpy(out, data, bytes);
    for (int y = 1; y + 1 < height; ++y) {
        for (int x = 1; x + 1 < width; ++x) {
            for (int c = 0; c < 4; ++c) {
                long long v = 0;
                for (int j = 0; j < 3; ++j) {
                    const unsigned char* row = data + static_cast<size_t>(y - 1 + j) * stride;
                    for (int i = 0; i < 3; ++i)
                        v += static_cast<long long>(kernel[3 * j + i]) * row[(x - 1 + i) * 4 + c];
                }
                out[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 4 + c] = clampByte(v / sum);
            }
        }
    }
    replaceData(out);
}

void Texture::sharpenTexture() {
    int kernel[kKernelSize];
    memcpy(kernel, kSharpenKernel, sizeof(kernel));
    filter(kernel);
}

void Texture::scaleTexture(float factor) {
    if (!(factor > 0.0f && factor <= 1.0f) || data == nullptr || width < 1 || height < 1) return;
    int newWidth = largestPowerOfTwoAtMost(static_cast<float>(width) * factor);
    int newHeight = largestPowerOfTwoAtMost(static_cast<float>(height) * factor);
    int blockWidth = width / newWidth;
    int blockHeight = height / newHeight;
    size_t srcStride = static_cast<size_t>(width) * 4;
    unsigned char* out = new (std::nothrow) unsigned char[static_cast<size_t>(newWidth) * newHeight * 4];
    if (out == nullptr) return;
    long long count = static_cast<long long>(blockWidth) * blockHeight;
    for (int y = 0; y < newHeight; ++y) {
        for (int x = 0; x < newWidth; ++x) {
            long long total[4] = {0, 0, 0, 0};
            for (int by = 0; by < blockHeight; ++by) {
                const unsigned char* row = data + static_cast<size_t>(y * blockHeight + by) * srcStride;
                for (int bx = 0; bx < blockWidth; ++bx) {
                    for (int c = 0; c < 4; ++c) total[c] += row[static_cast<size_t>(x * blockWidth + bx) * 4 + c];
                }
            }
            unsigned char* dst = out + (static_cast<size_t>(y) * newWidth + x) * 4;
            for (int c = 0; c < 4; ++c) dst[c] = static_cast<unsigned char>(total[c] / count);
        }
    }
    replaceData(out);
    width = newWidth;
    height = newHeight;
    sharpenTexture();
}
