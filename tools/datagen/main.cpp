// datagen: writes every file the demo loads into one directory, deterministically.
#include <sys/stat.h>

#include <cerrno>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "Generators.h"
#include "Text.h"

namespace {

bool makeDir(const std::string& dir) {
    std::string partial;
    for (size_t i = 0; i <= dir.size(); ++i) {
        if (i == dir.size() || dir[i] == '/') {
            if (!partial.empty() && mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) return false;
        }
        if (i < dir.size()) partial += dir[i];
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output directory> [images|scenes|tunnel|music|icon]...\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    if (!makeDir(dir)) {
        std::fprintf(stderr, "datagen: cannot create %s\n", dir.c_str());
        return 1;
    }
    auto wants = [&](const char* part) {
        if (argc < 3) return true;
        for (int i = 2; i < argc; ++i)
            if (std::strcmp(argv[i], part) == 0) return true;
        return false;
    };
    auto t0 = std::chrono::steady_clock::now();
    Output out(dir);
    if (wants("images") || wants("scenes")) {
        TextSetter text;
        if (!text.ok()) {
            std::fprintf(stderr, "datagen: %s\n", text.error().c_str());
            return 1;
        }
        if (wants("images")) generateOverlayImages(out, text);
        if (wants("scenes")) generateSceneTextures(out, text);
    }
    if (wants("tunnel")) generateTunnelTable(out);
    if (wants("scenes")) generateScenes(out);
    if (wants("music")) generateMusic(out);
    if (argc >= 3 && wants("icon")) generateIcon(out);
    double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    for (const std::string& f : out.failures()) std::fprintf(stderr, "datagen: failed to write %s\n", f.c_str());
    std::printf("datagen: %zu files in %s (%.1f s)\n", out.files().size(), dir.c_str(), secs);
    return out.ok() ? 0 : 1;
}
