#ifndef KVX_TESTS_TEXTURE_SUPPORT_H
#define KVX_TESTS_TEXTURE_SUPPORT_H

// Helpers of the texture tests: a scratch directory that is also the working
// directory, image files built byte by byte, the log read back, and the
// hidden 640x480 test window.

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Programs.h"
#include "TestWindow.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "render/Font.h"
#include "render/Overlay.h"
#include "render/Screenshot.h"
#include "render/TextureUpload.h"
#include "texture/Material.h"
#include "texture/TList.h"
#include "texture/Texture.h"

namespace kvxtest {

typedef std::vector<unsigned char> Bytes;

// A texture with its own buffer of width x height RGBA pixels, each byte from
// f(x, y, channel); row 0 is the picture's bottom.
template <typename F>
Texture* pixelTexture(int width, int height, F f) {
    Texture* t = new Texture;
    t->width = width;
    t->height = height;
    t->data = new unsigned char[static_cast<size_t>(width) * height * 4];
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 4; ++c)
                t->data[(static_cast<size_t>(y) * width + x) * 4 + c] = static_cast<unsigned char>(f(x, y, c));
    return t;
}

// Makes a fresh directory the working directory and logs into a file there.
class ScratchDir {
public:
    ScratchDir() { kvxInitErrorLog(kLogName); }
    const std::string& path() const { return scratch_.dir(); }

    // Every line logged since the directory was made.
    std::vector<std::string> log() const {
        std::vector<std::string> lines;
        FILE* f = fopen(kLogName, "rb");
        if (f == nullptr) return lines;
        char line[2048];
        while (fgets(line, sizeof(line), f) != nullptr) {
            size_t n = strlen(line);
            if (n > 0 && line[n - 1] == '\n') line[n - 1] = '\0';
            lines.push_back(line);
        }
        fclose(f);
        return lines;
    }
    bool logged(const std::string& message) const {
        for (const std::string& line : log()) {
            if (line == message) return true;
        }
        return false;
    }
    void clearLog() const { remove(kLogName); }

private:
    static constexpr const char* kLogName = "texture.log";
    Scratch scratch_{"kvx_texture"};
    InDirectory inScratch_{scratch_.dir()};
};

inline void writeFile(const std::string& name, const Bytes& bytes) {
    FILE* f = fopen(name.c_str(), "wb");
    ASSERT_NE(f, nullptr) << name;
    if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

inline void writeText(const std::string& name, const std::string& text) {
    writeFile(name, Bytes(text.begin(), text.end()));
}

inline bool exists(const std::string& name) {
    FILE* f = fopen(name.c_str(), "rb");
    if (f == nullptr) return false;
    fclose(f);
    return true;
}

inline Bytes readBytes(const std::string& name) {
    std::string text = readFile(name);
    return Bytes(text.begin(), text.end());
}

inline Bytes concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// An 18-byte Targa header.
inline Bytes targaHeader(int type, int width, int height, int depth, int idLength = 0) {
    Bytes h(18, 0);
    h[0] = static_cast<unsigned char>(idLength);
    h[2] = static_cast<unsigned char>(type);
    h[12] = static_cast<unsigned char>(width & 0xFF);
    h[13] = static_cast<unsigned char>(width >> 8);
    h[14] = static_cast<unsigned char>(height & 0xFF);
    h[15] = static_cast<unsigned char>(height >> 8);
    h[16] = static_cast<unsigned char>(depth);
    return h;
}

// Pixel (x, y) of an RGBA buffer, y counted from the first (bottom) row.
inline const unsigned char* pixelAt(const unsigned char* data, int width, int x, int y) {
    return data + (static_cast<size_t>(y) * width + x) * 4;
}

// A pack file: the directory of 264-byte entries with its terminator, then the data.
inline Bytes packFile(const std::vector<std::pair<std::string, Bytes>>& entries) {
    Bytes directory;
    Bytes data;
    auto put32 = [](Bytes& out, uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    auto entry = [&](uint32_t start, uint32_t end, const std::string& name) {
        put32(directory, start);
        put32(directory, end);
        Bytes field(256, 0);
        memcpy(field.data(), name.data(), name.size() < 255 ? name.size() : 255);
        directory.insert(directory.end(), field.begin(), field.end());
    };
    for (const auto& e : entries) {
        uint32_t start = static_cast<uint32_t>(data.size());
        data.insert(data.end(), e.second.begin(), e.second.end());
        entry(start, static_cast<uint32_t>(data.size()) - 1, e.first);
    }
    entry(0xFFFFFFFFu, 0, "");
    directory.insert(directory.end(), data.begin(), data.end());
    return directory;
}

// The shared test window with the engine started on it; the frame is cleared.
// Create it before a ScratchDir: starting the engine resets the log.
class GlWindow {
public:
    static const int kWidth = TestWindow::kWidth;
    static const int kHeight = TestWindow::kHeight;

    GlWindow() {
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    bool ready() const { return window_.result == 0; }

    // RGBA of window pixel (x, y) counted from the top-left corner.
    static std::vector<unsigned char> pixel(int x, int y) {
        std::vector<unsigned char> p(4);
        glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }

    // The frame as PNG or PPM (by extension), for looking at.
    bool save(const std::string& path) const { return window_.save(path); }

private:
    TestWindow window_;
};

}  // namespace kvxtest

#endif
