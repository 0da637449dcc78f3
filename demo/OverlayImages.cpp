#include "OverlayImages.h"

#include "DataFiles.h"

namespace demo {

namespace {
constexpr int kTrueColorBits = 32;
constexpr unsigned char kMaskAlpha = 127;
constexpr int kBytesPerPixel = 4;

Texture* loadTexture(const char* file, int bits) {
    Texture* t = new Texture;
    t->setFilename(const_cast<char*>(file), 0);
    t->setBaseDir(const_cast<char*>(dataDirectory()));
    if (bits) t->bits = bits;
    // The engine's messages do not name the file: say which one it was.
    if (t->loadTexture(0, 1.0f) != 0) kvxPutToErrorLog(("Cannot load the image " + dataFile(file)).c_str(), 0);
    return t;
}

void setAlpha(Texture* t, unsigned char alpha) {
    if (!t->data) return;
    long pixels = long(t->width) * t->height;
    for (long i = 0; i < pixels; i++) t->data[i * kBytesPerPixel + 3] = alpha;
}

void uploadWithOpacity(Material* m, Texture* image, Texture* opacity) {
    m->addFirstTexture(image);
    m->addOpacityTexture(opacity);
    m->calcAlpha();
    m->firstTexture->uploadTexture(0);
}
}  // namespace

void loadPlainImage(Material* m, const char* file) {
    m->addFirstTexture(loadTexture(file, kTrueColorBits));
    m->firstTexture->uploadTexture(0);
}

void loadImageWithAlpha(Material* m, const char* file) {
    uploadWithOpacity(m, loadTexture(file, 0), loadTexture(file, 0));
}

void loadImageWithMask(Material* m, const char* file, const char* maskFile) {
    Texture* mask = loadTexture(maskFile, 0);
    setAlpha(mask, kMaskAlpha);
    uploadWithOpacity(m, loadTexture(file, 0), mask);
}

}  // namespace demo
