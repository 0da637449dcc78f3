#include "Options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "DemoSettings.h"

namespace demo {

namespace {
constexpr int kMaxScale = 8;

// A whole non-negative decimal number that fits an int, else -1.
long parseCount(const char* text) {
    if (!*text) return -1;
    char* end = nullptr;
    errno = 0;
    long v = strtol(text, &end, 10);
    if (*end || errno || v < 0 || v > INT_MAX) return -1;
    return v;
}

bool parseMoments(const char* text, std::vector<int>& out) {
    const char* p = text;
    while (*p) {
        char* end = nullptr;
        errno = 0;
        long v = strtol(p, &end, 10);
        if (end == p || v < 0 || errno || v > INT_MAX) return false;
        out.push_back(int(v));
        p = end;
        if (*p == ',')
            p++;
        else if (*p)
            return false;
    }
    return !out.empty();
}
}  // namespace

const char* usageText() {
    return "Usage: demo [OPTION]...\n"
           "Play the Glasswing show: 161 seconds of music, 3D scenes and effects at 640 x 480.\n"
           "With no option the show fills the screen; Escape or closing the window ends it.\n"
           "\n"
           "Options:\n"
           "  --window              play in a 640 x 480 window in the middle of the screen\n"
           "  --scale N             with --window: a window N times as large (1 to 8), reduced to fit the screen\n"
           "  --until MS            end the show MS milliseconds after its start\n"
           "  --capture FILE        render the whole show off-line into the video FILE (needs ffmpeg)\n"
           "  --capture-frames DIR  render off-line and write PNG frames of the --at moments into DIR\n"
           "  --at MS,MS,...        moments for --capture-frames, in milliseconds (0 to 161000)\n"
           "  --log FILE            write the engine's log (missing or damaged files) to FILE\n"
           "  --verbose             write the engine's log to standard error\n"
           "  --help                display this help and exit\n"
           "  --version             output version information and exit\n"
           "\n"
           "Exit status: 0 when the show ends or is stopped, 1 when it cannot run or a capture fails,\n"
           "2 for wrong options.\n";
}

const char* versionText() { return "demo (Glasswing) " KVX_SHOW_VERSION " (Korvex3D " KVX_ENGINE_VERSION ")\n"; }

Options parseOptions(int argc, char** argv) {
    Options o;
    auto fail = [&o](const std::string& reason) {
        if (o.error.empty()) o.error = reason;
    };
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        const bool hasValue = i + 1 < argc;
        auto value = [&]() { return argv[++i]; };
        if (!strcmp(a, "--help") || !strcmp(a, "-h")) {
            o.help = true;
        } else if (!strcmp(a, "--version")) {
            o.version = true;
        } else if (!strcmp(a, "--window")) {
            o.window = true;
        } else if (!strcmp(a, "--verbose")) {
            o.verbose = true;
        } else if (!strcmp(a, "--scale") && hasValue) {
            long v = parseCount(value());
            if (v < 1 || v > kMaxScale)
                fail("--scale takes a whole number from 1 to 8");
            else
                o.scale = int(v);
        } else if (!strcmp(a, "--capture") && hasValue) {
            o.capturePath = value();
        } else if (!strcmp(a, "--capture-frames") && hasValue) {
            o.framesDir = value();
        } else if (!strcmp(a, "--at") && hasValue) {
            if (!parseMoments(value(), o.moments)) fail("--at takes milliseconds separated by commas");
        } else if (!strcmp(a, "--until") && hasValue) {
            long v = parseCount(value());
            if (v < 1)
                fail("--until takes a positive number of milliseconds");
            else
                o.untilMs = int(v);
        } else if (!strcmp(a, "--log") && hasValue) {
            o.logPath = value();
        } else if (a[0] == '-' && a[1] == '-' && !hasValue &&
                   (!strcmp(a, "--scale") || !strcmp(a, "--capture") || !strcmp(a, "--capture-frames") ||
                    !strcmp(a, "--at") || !strcmp(a, "--until") || !strcmp(a, "--log"))) {
            fail(std::string(a) + " needs a value");
        } else {
            fail(std::string("unknown option ") + a);
        }
    }
    if (o.error.empty()) o.error = checkOptions(o);
    return o;
}

std::string checkOptions(const Options& o) {
    if (!o.framesDir.empty() && o.moments.empty()) return "--capture-frames needs --at";
    if (!o.moments.empty() && o.framesDir.empty()) return "--at needs --capture-frames";
    for (int m : o.moments)
        if (m > kShowLengthMs) return "--at " + std::to_string(m) + " is past the end of the show (161000)";
    if (o.scale > 1 && !o.window) return "--scale needs --window";
    if (!o.logPath.empty() && o.verbose) return "--log and --verbose cannot be used together";
    return "";
}

}  // namespace demo
