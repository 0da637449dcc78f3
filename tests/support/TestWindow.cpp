#include "TestWindow.h"

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Png.h"
#include "console/Console.h"
#include "platform/Window.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"

namespace {

const int kColorBits = 32;
const int kAlphaBits = 0;
const int kDepthBits = 32;
const int kFPS = 100;

bool writePPM(const char* path, const std::vector<uint8_t>& rgbTopDown, int width, int height) {
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    fprintf(f, "P6\n%d %d\n255\n", width, height);
    fwrite(rgbTopDown.data(), 1, rgbTopDown.size(), f);
    return fclose(f) == 0;
}

bool endsWith(const std::string& s, const char* suffix) {
    size_t n = strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

}  // namespace

TestWindow::TestWindow(Console* console, bool start) : window(nullptr), result(0), videoStarted(false) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "TestWindow: SDL video: %s\n", SDL_GetError());
        return;
    }
    videoStarted = true;
    window = kvxCreateGLWindow("Korvex3D test", kWidth, kHeight, SDL_WINDOW_HIDDEN, kColorBits, kAlphaBits, kDepthBits);
    if (!window) {
        fprintf(stderr, "TestWindow: no GL window: %s\n", SDL_GetError());
        return;
    }
    if (!start) return;
    if (console) {
        result = initKorvex3D(0, window, console, kColorBits, kAlphaBits, kDepthBits, kFPS, false, 0, true);
    } else {
        Console startup;
        result = initKorvex3D(0, window, &startup, kColorBits, kAlphaBits, kDepthBits, kFPS, false, 0, true);
        kvxInitErrorLog(static_cast<Console*>(nullptr));
        kvxInitErrorLog(kvxLogToNowhere);
    }
}

TestWindow::~TestWindow() {
    if (KVX_hGLRC && KVX_hDC == window) {
        SDL_GL_MakeCurrent(nullptr, nullptr);
        SDL_GL_DeleteContext(KVX_hGLRC);
        KVX_hGLRC = nullptr;
        KVX_hDC = nullptr;
    }
    if (window) SDL_DestroyWindow(window);
    if (videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

Rgba TestWindow::readPixel(int x, int y) const {
    uint8_t p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Rgba{p[0], p[1], p[2], p[3]};
}

Rgba TestWindow::readPixelTop(int x, int y) const { return readPixel(x, kHeight - 1 - y); }

bool TestWindow::save(const std::string& path) const {
    std::vector<uint8_t> bottomUp(size_t(kWidth) * kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    if (!endsWith(path, ".ppm")) return kvxtest::writePng(path, bottomUp.data(), kWidth, kHeight, true);
    std::vector<uint8_t> topDown(bottomUp.size());
    const size_t row = size_t(kWidth) * 3;
    for (int y = 0; y < kHeight; ++y) memcpy(&topDown[y * row], &bottomUp[(kHeight - 1 - y) * row], row);
    return writePPM(path.c_str(), topDown, kWidth, kHeight);
}

std::string TestWindow::outputPath(const std::string& name) {
    // One folder per process: ctest runs test cases of one program side by side.
    std::string dir = std::string(KVX_BINARY_DIR) + "/test-output";
    mkdir(dir.c_str(), 0755);
    dir += "/" + std::to_string(getpid());
    mkdir(dir.c_str(), 0755);
    return dir + "/" + name;
}

bool colorNear(Rgba p, int r, int g, int b, int tolerance) {
    return abs(p.r - r) <= tolerance && abs(p.g - g) <= tolerance && abs(p.b - b) <= tolerance;
}
