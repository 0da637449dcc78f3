#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Options.h"
#include "Shell.h"

namespace {

// The show finds data/ beside the program, whatever the working directory.
void enterProgramDirectory() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return;
    path[n] = 0;
    if (char* slash = strrchr(path, '/')) {
        *slash = 0;
        if (chdir(path) != 0) perror("chdir");
    }
}

std::string absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof(cwd))) return path;
    return std::string(cwd) + "/" + path;
}

}  // namespace

int main(int argc, char** argv) {
    demo::Options options = demo::parseOptions(argc, argv);
    if (options.help) {
        fputs(demo::usageText(), stdout);
        return 0;
    }
    if (!options.error.empty()) {
        fprintf(stderr, "demo: %s\n%s", options.error.c_str(), demo::usageText());
        return 2;
    }
    if (options.offline()) {
        // Off-line runs need no display and play no sound aloud.
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    }
    options.capturePath = absolute(options.capturePath);
    options.framesDir = absolute(options.framesDir);
    enterProgramDirectory();
    // Static: the show and what it loads live until the process ends, and stay
    // reachable for leak checkers after main returns.
    static demo::Shell shell(options);
    return shell.run();
}
