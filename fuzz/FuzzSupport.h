#ifndef KVX_FUZZ_FUZZSUPPORT_H
#define KVX_FUZZ_FUZZSUPPORT_H

// Shared pieces of the fuzz targets: a private scratch directory per process for
// readers that only take file names, and one hidden GL window with the engine
// started on it for readers that upload textures or change GL state.

#include <SDL.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console/Console.h"
#include "import3ds/Import3DS.h"
#include "platform/Window.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "texture/ImageFile.h"
#include "texture/Texture.h"

namespace kvxfuzz {

inline const std::string& scratchDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/kvx-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return dir;
}

// Writes the input to name inside the scratch directory and returns its path.
inline std::string writeScratch(const std::string& name, const uint8_t* data, size_t size) {
    std::string path = scratchDir() + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        if (size > 0) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

// Once per process; the window and context live until the process ends.
inline void startEngine() {
    static const bool started = [] {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
        HWND window = kvxCreateGLWindow("Korvex3D fuzz", 64, 64, SDL_WINDOW_HIDDEN, 32, 0, 32);
        if (!window) return false;
        Console startup;
        initKorvex3D(0, window, &startup, 32, 0, 32, 100, false, 0, true);
        kvxInitErrorLog(static_cast<Console*>(nullptr));
        kvxInitErrorLog(kvxLogToNowhere);
        return true;
    }();
    (void)started;
}

// An image target over the real 4 MiB texture buffer, as the texture loader
// hands it to the picture readers.
inline ImageTarget textureTarget() {
    static std::vector<unsigned char> pixels(Texture::kBufferBytes);
    return ImageTarget{pixels.data(), pixels.size(), 0, 0, 3};
}

// Every part of a .3DS file taken, with every preparation step the octree needs.
const int kImportEverything = kvxLoadMeshes | kvxLoadLights | kvxLoadCameras | kvxLoadKeyframer | kvxLoadMaterials |
                              kvxLoadSmoothing | kvxLoadOctree;

}  // namespace kvxfuzz

#endif
