#ifndef DEMO_OPTIONS_H
#define DEMO_OPTIONS_H

#include <string>
#include <vector>

namespace demo {

struct Options {
    bool help = false;
    bool version = false;
    bool window = false;
    int scale = 1;
    std::string capturePath;   // --capture FILE: the whole show to a video
    std::string framesDir;     // --capture-frames DIR: PNG frames of chosen moments
    std::vector<int> moments;  // --at MS,MS,...
    int untilMs = 0;           // --until MS: end the show early (0 = whole show)
    std::string logPath;       // --log FILE: the engine's error log
    bool verbose = false;      // --verbose: the engine's error log on stderr
    std::string error;

    bool offline() const { return !capturePath.empty() || !framesDir.empty(); }
};

Options parseOptions(int argc, char** argv);
// The option combinations that cannot be honoured; empty when all is well.
std::string checkOptions(const Options& options);
const char* usageText();
const char* versionText();

}  // namespace demo

#endif
