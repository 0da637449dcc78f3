#include "Options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

const char kVersion[] = KVXVIEW_VERSION;
const int kMaxSide = 16384;

struct OptionHelp {
    const char* names;
    const char* text;
};

const OptionHelp kOptionHelp[] = {
    {"-h, --help", "show this help and exit"},
    {"-V, --version", "show the version and exit"},
    {"    --list-bindings", "list the keys and mouse actions of the window and exit"},
    {"-i, --info", "print what the file holds (meshes, materials and maps, cameras, lights, animation) and exit"},
    {"    --json", "with --info: print one JSON object per file"},
    {"-o, --output=FILE.png",
     "render without a window into a PNG file and exit; {frame} in the name is the frame number"},
    {"    --frame=N", "animation frame to show, paused in the window (default: the first of the segment)"},
    {"    --frames=A:B[:STEP]", "with --output: render frames A to B every STEP frames"},
    {"-c, --camera=K",
     "look through the file's camera K: its number (0 is the first) or its name; -1 the free orbit camera"},
    {"-s, --size=WxH", "window or picture size in pixels (default 1280x720)"},
    {"-l, --light", "light with the file's lights and ray-cast shadows (default: a light at the eye)"},
    {"-w, --wire", "draw the wire overlay"},
    {"    --watch", "reload the file when it changes on disk"},
    {"    --script=FILE", "run a console script after loading; its command lines begin with '#'"},
    {"-e, --exec=CMD", "run one console command after loading (may be repeated)"},
};

bool parseInt(const char* text, int* value) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    long v = strtol(text, &end, 10);
    if (errno || *end || v < INT_MIN / 2 || v > INT_MAX / 2) return false;
    *value = static_cast<int>(v);
    return true;
}

bool parseSize(const char* text, int* width, int* height) {
    const char* x = strpbrk(text, "xX");
    if (!x) return false;
    std::string w(text, x - text);
    return parseInt(w.c_str(), width) && parseInt(x + 1, height) && *width > 0 && *height > 0 && *width <= kMaxSide &&
           *height <= kMaxSide;
}

bool parseRange(const char* text, FrameRange* range) {
    std::string s(text);
    size_t a = s.find(':');
    if (a == std::string::npos) return false;
    size_t b = s.find(':', a + 1);
    std::string last = s.substr(a + 1, b == std::string::npos ? std::string::npos : b - a - 1);
    range->step = 1;
    if (!parseInt(s.substr(0, a).c_str(), &range->first) || !parseInt(last.c_str(), &range->last)) return false;
    if (b != std::string::npos && !parseInt(s.c_str() + b + 1, &range->step)) return false;
    return range->step > 0 && range->last >= range->first;
}

// Long options take "--name=value" or "--name value"; short ones "-x value".
struct ArgReader {
    int argc;
    char** argv;
    int i = 1;
    std::string* error;

    bool value(const char* arg, const char* name, const char** out) {
        const char* eq = strchr(arg, '=');
        if (eq && arg[1] == '-') {
            *out = eq + 1;
            return true;
        }
        if (i + 1 >= argc) {
            *error = std::string("option ") + name + " needs a value";
            return false;
        }
        *out = argv[++i];
        return true;
    }
};

bool is(const char* arg, const char* shortName, const char* longName) {
    if (shortName && strcmp(arg, shortName) == 0) return true;
    size_t n = strlen(longName);
    return strncmp(arg, longName, n) == 0 && (arg[n] == '\0' || arg[n] == '=');
}

// The options that take no value.
struct Flag {
    const char* shortName;
    const char* longName;
    bool Options::*member;
};

const Flag kFlags[] = {
    {"-h", "--help", &Options::help},
    {"-V", "--version", &Options::version},
    {nullptr, "--list-bindings", &Options::listBindings},
    {"-i", "--info", &Options::info},
    {nullptr, "--json", &Options::json},
    {"-l", "--light", &Options::light},
    {"-w", "--wire", &Options::wire},
    {nullptr, "--watch", &Options::watch},
};

const Flag* findFlag(const char* arg) {
    for (const Flag& f : kFlags)
        if (is(arg, f.shortName, f.longName)) return &f;
    return nullptr;
}

}  // namespace

bool parseOptions(int argc, char** argv, Options* o, std::string* error) {
    ArgReader r{argc, argv, 1, error};
    bool onlyFiles = false;
    for (; r.i < argc; ++r.i) {
        const char* a = argv[r.i];
        const char* v = nullptr;
        if (onlyFiles || a[0] != '-' || a[1] == '\0') {
            o->files.push_back(a);
        } else if (strcmp(a, "--") == 0) {
            onlyFiles = true;
        } else if (const Flag* f = findFlag(a)) {
            o->*(f->member) = true;
        } else if (is(a, "-o", "--output")) {
            if (!r.value(a, "--output", &v)) return false;
            o->output = v;
            if (o->output.empty()) return *error = "--output needs a file name", false;
        } else if (is(a, nullptr, "--frame")) {
            if (!r.value(a, "--frame", &v)) return false;
            if (!parseInt(v, &o->frame) || o->frame < 0) return *error = std::string("bad frame '") + v + "'", false;
        } else if (is(a, nullptr, "--frames")) {
            if (!r.value(a, "--frames", &v)) return false;
            if (!parseRange(v, &o->frames) || o->frames.first < 0)
                return *error = std::string("bad frame range '") + v + "' (expected A:B or A:B:STEP)", false;
            o->hasFrames = true;
        } else if (is(a, "-c", "--camera")) {
            if (!r.value(a, "--camera", &v)) return false;
            bool number = parseInt(v, &o->camera);
            if (!number) o->cameraName = v;
            if (number ? o->camera < -1 : o->cameraName.empty())
                return *error = std::string("bad camera '") + v + "'", false;
            o->cameraGiven = true;
        } else if (is(a, "-s", "--size")) {
            if (!r.value(a, "--size", &v)) return false;
            if (!parseSize(v, &o->width, &o->height))
                return *error = std::string("bad size '") + v + "' (expected WIDTHxHEIGHT)", false;
        } else if (is(a, nullptr, "--script")) {
            if (!r.value(a, "--script", &v)) return false;
            o->scripts.push_back(v);
        } else if (is(a, "-e", "--exec")) {
            if (!r.value(a, "--exec", &v)) return false;
            o->commands.push_back(v);
        } else if (is(a, nullptr, "--replay")) {
            if (!r.value(a, "--replay", &v)) return false;
            o->replay = v;
        } else {
            *error = std::string("unknown option '") + a + "'";
            return false;
        }
    }
    if (o->help || o->version || o->listBindings) return true;
    if (o->files.empty()) return *error = "no file given", false;
    if (o->hasFrames && o->output.find("{frame}") == std::string::npos)
        return *error = "--frames needs an --output name holding {frame}", false;
    if (o->json && !o->info) return *error = "--json goes with --info", false;
    return true;
}

void printUsage(FILE* out) {
    fprintf(out,
            "Usage: kvxview [OPTION]... FILE.3DS [FILE.3DS]...\n"
            "View .3DS scenes with the Korvex3D engine: play their animation, look and walk\n"
            "around, use the engine console, or render pictures without a window.\n"
            "FILE may also be PACK:ENTRY, a .3DS entry inside a Korvex3D pack file.\n\n"
            "Options:\n");
    for (const OptionHelp& h : kOptionHelp) fprintf(out, "  %-24s %s\n", h.names, h.text);
    fprintf(out,
            "\nIn the window, H shows every key; ` opens the engine console (HELP lists its\n"
            "commands). Console scripts run only the lines that begin with '#', e.g.\n"
            "  # SCENEINFO\n\n"
            "Exit status:\n"
            "  0  success\n"
            "  1  a file could not be loaded (the engine's message and code are printed)\n"
            "  2  usage error\n");
}

void printVersion(FILE* out) { fprintf(out, "kvxview (Korvex3D) %s\n", kVersion); }
