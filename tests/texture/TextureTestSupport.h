#ifndef KVX_TESTS_TEXTURE_SUPPORT_H
#define KVX_TESTS_TEXTURE_SUPPORT_H

// Helpers of the texture tests: a scratch directory that is also the working
// directory, image files built byte by byte, the log read back, and a
// hidden 640x480 window with a current OpenGL context.

#include <SDL2/SDL.h>
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

// Makes a fresh directory the working directory and logs into a file there.
class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/kvx-texture-XXXXXX";
        char* made = mkdtemp(pattern);
        path_ = made != nullptr ? made : "/tmp";
        char* previous = getcwd(nullptr, 0);
        previous_ = previous != nullptr ? previous : "/";
        free(previous);
        if (chdir(path_.c_str()) != 0) ADD_FAILURE() << "cannot enter " << path_;
        kvxInitErrorLog(kLogName);
    }
    ~ScratchDir() {
        if (chdir(previous_.c_str()) != 0) return;
        std::string command = "rm -rf '" + path_ + "'";
        if (system(command.c_str()) != 0) fprintf(stderr, "cannot remove %s\n", path_.c_str());
    }
    const std::string& path() const { return path_; }

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
    std::string path_;
    std::string previous_;
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

inline Bytes readFile(const std::string& name) {
    Bytes bytes;
    FILE* f = fopen(name.c_str(), "rb");
    if (f == nullptr) return bytes;
    int c;
    while ((c = fgetc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
    fclose(f);
    return bytes;
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

// A hidden window with a current compatibility GL context and the engine's
// default state on the OpenGL path.
class GlWindow {
public:
    static const int kWidth = 640;
    static const int kHeight = 480;

    GlWindow() {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            ADD_FAILURE() << SDL_GetError();
            return;
        }
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
        window_ = SDL_CreateWindow("texture test", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window_ == nullptr) {
            ADD_FAILURE() << SDL_GetError();
            return;
        }
        context_ = SDL_GL_CreateContext(window_);
        if (context_ == nullptr) {
            ADD_FAILURE() << SDL_GetError();
            return;
        }
        SDL_GL_MakeCurrent(window_, context_);
        kvxSelectedRasterizer = 0;
        kvxViewport.width = kWidth;
        kvxViewport.height = kHeight;
        kvxViewport.aspect = static_cast<float>(kWidth) / kHeight;
        kvxViewport.zNear = 0.01f;
        kvxViewport.zFar = 100000.0f;
        kvxViewport.fov = 90.0f;
        defaultState();
    }
    ~GlWindow() {
        if (context_ != nullptr) SDL_GL_DeleteContext(context_);
        if (window_ != nullptr) SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    bool ready() const { return context_ != nullptr; }

    static void defaultState() {
        glViewport(0, 0, kWidth, kHeight);
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glDisable(GL_FOG);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_LIGHTING);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // RGBA of window pixel (x, y) counted from the top-left corner.
    static std::vector<unsigned char> pixel(int x, int y) {
        std::vector<unsigned char> p(4);
        glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }

    // The frame as a binary PPM, top row first, for looking at.
    static void savePpm(const std::string& name) {
        std::vector<unsigned char> rgba(kWidth * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        FILE* f = fopen(name.c_str(), "wb");
        if (f == nullptr) return;
        fprintf(f, "P6\n%d %d\n255\n", kWidth, kHeight);
        for (int y = kHeight - 1; y >= 0; --y) {
            for (int x = 0; x < kWidth; ++x) fwrite(&rgba[(y * kWidth + x) * 4], 1, 3, f);
        }
        fclose(f);
    }

private:
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
};

}  // namespace kvxtest

#endif
