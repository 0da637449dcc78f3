#include "TestWindow.h"

#include <GL/gl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "console/Console.h"
#include "platform/Window.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"

namespace {

const int kColorBits = 32;
const int kAlphaBits = 0;
const int kDepthBits = 32;
const int kFPS = 100;

// --- a small PNG writer: stored (uncompressed) deflate blocks --------------

uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBE32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void writeChunk(FILE* f, const char* type, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> chunk;
    putBE32(chunk, uint32_t(data.size()));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    putBE32(chunk, crc32(chunk.data() + 4, chunk.size() - 4));
    fwrite(chunk.data(), 1, chunk.size(), f);
}

std::vector<uint8_t> zlibStored(const std::vector<uint8_t>& raw) {
    const size_t kBlock = 65535;
    std::vector<uint8_t> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (size_t at = 0; at < raw.size() || at == 0; at += kBlock) {
        size_t n = raw.size() - at < kBlock ? raw.size() - at : kBlock;
        z.push_back(at + n >= raw.size() ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        if (raw.empty()) break;
    }
    putBE32(z, (b << 16) | a);
    return z;
}

bool writePNG(const char* path, const std::vector<uint8_t>& rgbTopDown, int width, int height) {
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    fwrite(kSignature, 1, sizeof kSignature, f);
    std::vector<uint8_t> header;
    putBE32(header, uint32_t(width));
    putBE32(header, uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    writeChunk(f, "IHDR", header);
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), rgbTopDown.begin() + size_t(y) * width * 3,
                   rgbTopDown.begin() + size_t(y + 1) * width * 3);
    }
    writeChunk(f, "IDAT", zlibStored(raw));
    writeChunk(f, "IEND", {});
    return fclose(f) == 0;
}

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
    std::vector<uint8_t> topDown(bottomUp.size());
    const size_t row = size_t(kWidth) * 3;
    for (int y = 0; y < kHeight; ++y) memcpy(&topDown[y * row], &bottomUp[(kHeight - 1 - y) * row], row);
    if (endsWith(path, ".ppm")) return writePPM(path.c_str(), topDown, kWidth, kHeight);
    return writePNG(path.c_str(), topDown, kWidth, kHeight);
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
