#ifndef DEMO_OPTIONS_H
#define DEMO_OPTIONS_H

#include <string>
#include <vector>

namespace demo {

struct Options {
    bool help = false;
    bool window = false;
    int scale = 1;
    std::string capturePath;     // --capture FILE: the whole show to a video
    std::string framesDir;       // --capture-frames DIR: PNG frames of chosen moments
    std::vector<int> moments;    // --at MS,MS,...
    int untilMs = 0;             // --until MS: end an off-line run early (0 = whole show)
    std::string error;

    bool offline() const { return !capturePath.empty() || !framesDir.empty(); }
};

Options parseOptions(int argc, char** argv);
const char* usageText();

}  // namespace demo

#endif
