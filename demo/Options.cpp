#include "Options.h"

#include <cstdlib>
#include <cstring>

namespace demo {

namespace {
constexpr int kMaxScale = 8;

bool parseMoments(const char* text, std::vector<int>& out) {
    const char* p = text;
    while (*p) {
        char* end = nullptr;
        long v = strtol(p, &end, 10);
        if (end == p || v < 0) return false;
        out.push_back(int(v));
        p = end;
        if (*p == ',') p++;
        else if (*p) return false;
    }
    return !out.empty();
}
}  // namespace

const char* usageText() {
    return "Usage: demo [options]\n"
           "  (no option)              play the show full screen\n"
           "  --window                 play in a 640 x 480 window\n"
           "  --scale N                with --window: a window N times as large\n"
           "  --capture FILE           render the whole show off-line into a video (needs ffmpeg)\n"
           "  --capture-frames DIR     write PNG frames of the moments given with --at\n"
           "  --at MS,MS,...           moments in milliseconds since the start of the show\n"
           "  --until MS               end an off-line run at this moment\n"
           "  --help                   show this text\n";
}

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!strcmp(a, "--help") || !strcmp(a, "-h")) {
            o.help = true;
        } else if (!strcmp(a, "--window")) {
            o.window = true;
        } else if (!strcmp(a, "--scale") && next) {
            o.scale = atoi(argv[++i]);
            if (o.scale < 1 || o.scale > kMaxScale) o.error = "--scale takes a number from 1 to 8";
        } else if (!strcmp(a, "--capture") && next) {
            o.capturePath = argv[++i];
        } else if (!strcmp(a, "--capture-frames") && next) {
            o.framesDir = argv[++i];
        } else if (!strcmp(a, "--at") && next) {
            if (!parseMoments(argv[++i], o.moments)) o.error = "--at takes milliseconds separated by commas";
        } else if (!strcmp(a, "--until") && next) {
            o.untilMs = atoi(argv[++i]);
        } else {
            o.error = std::string("unknown option ") + a;
        }
    }
    if (!o.framesDir.empty() && o.moments.empty() && o.error.empty()) o.error = "--capture-frames needs --at";
    return o;
}

}  // namespace demo
