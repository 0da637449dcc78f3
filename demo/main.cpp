#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "DataFiles.h"
#include "Options.h"
#include "OutputPaths.h"
#include "Shell.h"

namespace {

std::string absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') return path;
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof(cwd))) return path;
    return std::string(cwd) + "/" + path;
}

int usageError(const std::string& reason) {
    fprintf(stderr, "demo: %s\nTry 'demo --help' for more information.\n", reason.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    demo::Options options = demo::parseOptions(argc, argv);
    if (options.help) {
        fputs(demo::usageText(), stdout);
        return 0;
    }
    if (options.version) {
        fputs(demo::versionText(), stdout);
        return 0;
    }
    if (!options.error.empty()) return usageError(options.error);
    std::string unwritable = demo::checkOutputPaths(options);
    if (!unwritable.empty()) return usageError(unwritable);
    if (options.offline()) {
        // Off-line runs need no display and play no sound aloud.
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    }
    // A reader that goes away (ffmpeg, a closed pipe) is a failed write, not a signal.
    signal(SIGPIPE, SIG_IGN);
    options.capturePath = absolute(options.capturePath);
    options.framesDir = absolute(options.framesDir);
    options.logPath = absolute(options.logPath);
    if (!demo::findDataDirectory(KVX_DEMO_DATA_DIR))
        fprintf(stderr, "demo: the show's files are neither in %s nor in %s\n", absolute("data").c_str(),
                KVX_DEMO_DATA_DIR);
    // Static: the show and what it loads live until the process ends, and stay
    // reachable for leak checkers after main returns.
    static demo::Shell shell(options);
    return shell.run();
}
