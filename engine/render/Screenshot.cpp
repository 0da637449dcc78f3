#include "render/Screenshot.h"

#include <cstdio>
#include <cstring>
#include <new>
#include "platform/FileSystem.h"
#include "render/Engine.h"
#include "render/Overlay.h"
#include "texture/JpegWriter.h"

namespace {

const int kMaxShots = 1000;
const int kQuality = 90;
const int kNameSize = 32;

void shotName(int n, char* name) {
    strcpy(name, "Shot");
    if (n < 1000) strcat(name, "0");
    if (n < 100) strcat(name, "0");
    if (n < 10) strcat(name, "0");
    snprintf(name + strlen(name), kNameSize - strlen(name), "%d.jpg", n);
}

bool findFreeName(char* name) {
    for (int n = 0; n < kMaxShots; ++n) {
        shotName(n, name);
        FILE* f = kvxOpenFile(name, "rb");
        if (f == nullptr) return true;
        fclose(f);
    }
    return false;
}

void flipRows(unsigned char* pixels, int width, int height) {
    size_t stride = static_cast<size_t>(width) * 4;
    unsigned char* scratch = new unsigned char[stride];
    for (int r = 0; r < height / 2; ++r) {
        unsigned char* top = pixels + static_cast<size_t>(r) * stride;
        unsigned char* bottom = pixels + static_cast<size_t>(height - 1 - r) * stride;
        memcpy(scratch, top, stride);
        memcpy(top, bottom, stride);
        memcpy(bottom, scratch, stride);
    }
    delete[] scratch;
}

}  // namespace

void kvxScreenShot() {
    if (!kvxOpenGLSelected()) return;
    int width = static_cast<int>(kvxViewport.width);
    int height = static_cast<int>(kvxViewport.height);
    char name[kNameSize];
    if (width < 1 || height < 1 || !findFreeName(name)) return;
    unsigned char* pixels = new (std::nothrow) unsigned char[static_cast<size_t>(width) * height * 4];
    if (pixels == nullptr) return;
    kvxGetBuffer(reinterpret_cast<char*>(pixels), width, height);
    flipRows(pixels, width, height);
    kvxWriteJpeg(name, pixels, width, height, kQuality);
    delete[] pixels;
}
