// Command interpreter, scripts, directory listing and memory figures.

#include "console/Console.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "console/ConsoleMessages.h"
#include "core/String.h"
#include "platform/FileSystem.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "render/RenderState.h"

namespace {
const float kMinFov = 1.0f;
const float kMaxFov = 179.0f;
const int kEscape = 27;
const int kScriptLineMax = 254;  // characters taken after the '#'
// Scripts that run themselves more than once would otherwise multiply with every
// level of nesting; this bounds all scripts run under one outermost script.
const int kMaxScriptsPerRun = 1024;

enum Command {
    kHelp,
    kInfo,
    kMem,
    kExit,
    kCls,
    kSceneInfo,
    kEVarList,
    kEFuncList,
    kSet,
    kEval,
    kDir,
    kGet,
    kExecScript,
    kGamma,
    kFov,
    kActiveTList,
    kActivePList,
    kActiveCamera,
    kLoad3ds,
    kReload3ds,
    kClear3ds,
    kCommandCount
};

// Each command's name, the spaces its line must hold (1 for one parameter or
// more, 2 for LOAD3DS) and its help text, in the order of Command.
struct CommandSpec {
    const char* name;
    int minSpaces;
    const char* help;
};

const CommandSpec kCommands[kCommandCount] = {
    {"HELP", 0, "HELP [command name]\nExample: HELP SET\n\n"},
    {"INFO", 0, "INFO shows info about console\n"},
    {"MEM", 0, "MEM shows available memory information\n"},
    {"EXIT", 0, "EXIT set exitFlag on.\n\n"},
    {"CLS", 0, "CLS request clear console window\n\n"},
    {"SCENEINFO", 0, "SCENEINFO shows information about assigned ObjectGroup\n\n"},
    {"EVARLIST", 0, "EVARLIST lists all public external variables\n\n"},
    {"EFUNCLIST", 0, "EFUNCLIST lists all public external functions\n\n"},
    {"SET", 1, "SET [varname] [value]\nExample: SET VAR1 60\n\n"},
    {"EVAL", 1, "[value] EVAL [value] execute external function\n\n"},
    {"DIR", 1, "DIR [filename] shows directory listing (can use wildcards)\n\n"},
    {"GET", 1, "[value] GET [varname]\nExample: GET VAR1 Result: 60\n\n"},
    {"EXECSCRIPT", 1, "EXECSCRIPT [filename] executes a text file\n\n"},
    {"GAMMA", 1, "GAMMA [value] set gamma value (normal = 0.75)\n\n"},
    {"FOV", 1, "FOV [value] set FOV value (normal = 90 range [1-179])\n\n"},
    {"ACTIVETLIST", 1, "ACTIVETLIST [n] set active MaterialList\n\n"},
    {"ACTIVEPLIST", 1, "ACTIVEPLIST [n] set active PathList\n\n"},
    {"ACTIVECAMERA", 1, "ACTIVECAMERA [n] set active Camera\n\n"},
    {"LOAD3DS", 2,
     "LOAD3DS [name] [matdir] [/r] [/a] [/m] [/s] [/x] clears and loads a new .3DS file to "
     "internal OGroup.\nIf /r specified lights are raytraced\nIf /a specified only animation is "
     "loaded\nIf /m specified only materials are loaded\nIf /s specified smoothing groups are "
     "calculated\nIf /x specified texture modifier is enabled\n\n"},
    {"RELOAD3DS", 0, "RELOAD3DS reloads current scene\n\n"},
    {"CLEAR3DS", 0, "CLEAR3DS unloads OG which has been assigned to console\n\n"},
};

const char kCommandList[] =
    "Current commands available:\n\nACTIVETLIST, ACTIVEPLIST, ACTIVECAMERA, CLS, CLEAR3DS, DIR, "
    "EFUNCLIST, EVAL, EVARLIST, EXECSCRIPT, EXIT, FOV, GAMMA, GET, HELP, INFO, LOAD3DS, MEM, "
    "RELOAD3DS, SCENEINFO, SET\n\n";

// C-library integer conversion, clamped to int instead of overflowing.
int toInt(const char* s) {
    long v = strtol(s, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

float toFloat(const char* s) { return static_cast<float>(strtod(s, nullptr)); }

int clampKbytes(uint64_t bytes) {
    uint64_t kb = bytes / 1024;
    return kb > static_cast<uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(kb);
}

struct MemoryStatus {
    uint64_t physFree, physTotal, swapFree, swapTotal;
};

// Figures in bytes from /proc/meminfo, falling back to sysinfo.
MemoryStatus memoryStatus() {
    MemoryStatus m = {0, 0, 0, 0};
    bool haveAvailable = false, haveTotal = false;
    uint64_t memFree = 0;
    if (FILE* f = fopen("/proc/meminfo", "r")) {
        char key[64];
        unsigned long long kb;
        while (fscanf(f, "%63s %llu kB", key, &kb) == 2) {
            uint64_t bytes = static_cast<uint64_t>(kb) * 1024;
            if (!strcmp(key, "MemTotal:")) {
                m.physTotal = bytes;
                haveTotal = true;
            } else if (!strcmp(key, "MemAvailable:")) {
                m.physFree = bytes;
                haveAvailable = true;
            } else if (!strcmp(key, "MemFree:"))
                memFree = bytes;
            else if (!strcmp(key, "SwapTotal:"))
                m.swapTotal = bytes;
            else if (!strcmp(key, "SwapFree:"))
                m.swapFree = bytes;
        }
        fclose(f);
        if (!haveAvailable) m.physFree = memFree;
    }
    struct sysinfo si;
    if (!haveTotal && sysinfo(&si) == 0) {
        uint64_t unit = si.mem_unit ? si.mem_unit : 1;
        m.physTotal = si.totalram * unit;
        m.physFree = si.freeram * unit;
        m.swapTotal = si.totalswap * unit;
        m.swapFree = si.freeswap * unit;
    }
    return m;
}

}  // namespace

// A command line cut at single spaces; words past the last one read as empty.
struct Console::CommandLine {
    char upper[lineSize];
    char split[lineSize];
    const char* word[lineSize + 1];
    int wordCount;
    int spaces;

    explicit CommandLine(const char* line) : wordCount(0), spaces(0) {
        size_t n = strlen(line);
        if (n >= static_cast<size_t>(lineSize)) n = lineSize - 1;
        for (size_t i = 0; i < n; ++i) upper[i] = static_cast<char>(toupper(static_cast<unsigned char>(line[i])));
        upper[n] = '\0';
        memcpy(split, upper, n + 1);
        word[wordCount++] = split;
        for (size_t i = 0; i < n; ++i) {
            if (split[i] != ' ') continue;
            split[i] = '\0';
            ++spaces;
            word[wordCount++] = split + i + 1;
        }
    }

    const char* w(int i) const { return i < wordCount ? word[i] : ""; }
};

int Console::command(const char* line) { return parse(line); }

int Console::parse(const char* line) {
    if (!line) line = "";
    addText(">");
    addText(line);
    addText("\n");
    if (strlen(line) >= static_cast<size_t>(lineSize)) {
        addText("Command line too long!\n");
        return kvxPutToErrorLog(kMsgParseFailed, kCodeParseFailed);
    }
    CommandLine cl(line);
    for (int i = 0; i < kCommandCount; ++i) {
        if (strcmp(cl.w(0), kCommands[i].name) != 0) continue;
        if (cl.spaces < kCommands[i].minSpaces) return kvxPutToErrorLog(kMsgMissingParams, kCodeMissingParams);
        return runCommand(i, cl);
    }
    addText("Command not found!\n");
    return kvxPutToErrorLog(kMsgParseFailed, kCodeParseFailed);
}

int Console::runCommand(int index, const CommandLine& cl) {
    switch (index) {
        case kHelp: help(cl.spaces > 0 ? cl.w(1) : nullptr); return 0;
        case kInfo: addText("Korvex3D Console v0.1\n"); return 0;
        case kMem: mem(); return 0;
        case kExit:
            addText("Exit requested!\n");
            exitFlag = true;
            return 0;
        case kCls:
            addText("Clear requested!\n");
            clearFlag = true;
            return 0;
        case kSceneInfo: SceneInfo(); return 0;
        case kEVarList: listEVars(); return 0;
        case kEFuncList: listEFuncs(); return 0;
        case kSet: setCommand(cl.w(1), toFloat(cl.w(2))); return 0;
        case kEval: {
            float r = evalEFunc(cl.w(1), toInt(cl.w(2)), toFloat(cl.w(2)));
            addTextf("Function (%s) returned a value (%f)\n", cl.w(1), static_cast<double>(r));
            return 0;
        }
        case kDir: dir(cl.w(1)); return 0;
        case kGet: getCommand(cl.w(1)); return 0;
        case kExecScript: return readScript(cl.w(1));
        case kGamma:
            kvxSetGamma(toFloat(cl.w(1)));
            relightFirstGroup();
            addText("Gamma value changed.\n");
            return 0;
        case kFov: {
            float fov = toFloat(cl.w(1));
            if (!(fov >= kMinFov && fov <= kMaxFov)) return kvxPutToErrorLog(kMsgOutOfRange, kCodeOutOfRange);
            kvxSetFOV(fov);
            addText("Fov value changed.\n");
            return 0;
        }
        case kActiveTList:
            selectInFirstGroup(selectTList, toInt(cl.w(1)));
            addText("ActiveTList change completed.\n");
            return 0;
        case kActivePList:
            selectInFirstGroup(selectPathList, toInt(cl.w(1)));
            addText("ActivePathList change completed.\n");
            return 0;
        case kActiveCamera:
            selectInFirstGroup(selectCamera, toInt(cl.w(1)));
            addText("ActiveCamera change completed.\n");
            return 0;
        case kLoad3ds:
            snprintf(lastLoad, sizeof lastLoad, "%s", cl.upper);
            return loadScene(cl.w(1), cl.w(2), cl.upper, false);
        case kReload3ds: {
            CommandLine stored(lastLoad);
            return loadScene(stored.w(1), stored.w(2), lastLoad, true);
        }
        case kClear3ds: clearFirstGroup(); return 0;
        default: return 0;
    }
}

void Console::help(const char* topic) {
    if (!topic) {
        addText(kCommandList);
        return;
    }
    for (const CommandSpec& c : kCommands) {
        if (strcmp(topic, c.name) == 0) {
            addText(c.help);
            return;
        }
    }
    addText("Command does not exist!\n\n");
}

void Console::mem() {
    MemoryStatus m = memoryStatus();
    int load = 0;
    if (m.physTotal > 0 && m.physFree <= m.physTotal)
        load = static_cast<int>((m.physTotal - m.physFree) * 100 / m.physTotal);
    addTextf("Free memory available (phys/page): %d Kbytes  -  ", clampKbytes(m.physFree));
    addTextf("%d Kbytes\n", clampKbytes(m.swapFree));
    addTextf("Total memory (phys/page): %d Kbytes  -  ", clampKbytes(m.physTotal));
    addTextf("%d Kbytes\n", clampKbytes(m.swapTotal));
    addTextf("Memory usage : %d%%\n", load);
}

// The registry's result doubles as value and sentinel; the report is chosen
// from the lookup itself so that negative values are reported as set.
void Console::setCommand(const char* name, float value) {
    int i = findVar(name);
    int result = setEVar(name, value);
    if (i < 0)
        addText("Variable not found\n");
    else if (!varRef[i])
        addText("Error! Variable found but reference is NULL\n");
    else
        addTextf("Variable %s set to %d\n", name, result);
}

void Console::getCommand(const char* name) {
    int i = findVar(name);
    float value = getEVar(name);
    addTextf("Variable %s = %f\n", name, static_cast<double>(value));
    if (i < 0)
        addText("Variable not found\n");
    else if (!varRef[i])
        addText("Error! Variable found but reference is NULL\n");
}

String Console::readln(FILE* f) {
    char buf[String::kBufferSize];
    int n = 0;
    int c;
    while ((c = fgetc(f)) != EOF && c != '\r' && c != '\n' && c != kEscape) {
        if (n < String::kMaxLength) buf[n++] = static_cast<char>(c);
    }
    buf[n] = '\0';
    return String(buf);
}

int Console::readScript(const char* filename) {
    if (scriptDepth == 0) scriptsRun = 0;
    if (scriptDepth >= maxScriptDepth || scriptsRun >= kMaxScriptsPerRun)
        return kvxPutToErrorLog(kMsgScriptTooDeep, kCodeScriptNotFound);
    FILE* f = filename ? kvxOpenFile(filename, "rb") : nullptr;
    if (!f) return kvxPutToErrorLog(kMsgScriptNotFound, kCodeScriptNotFound);
    ++scriptsRun;
    ++scriptDepth;
    // A read error (a directory opens as a file) never reaches the end of the file.
    while (!feof(f) && !ferror(f)) {
        String line = readln(f);
        const char* text = line.data;
        if (text[0] == '#') {
            char cmd[kScriptLineMax + 1];
            size_t n = strnlen(text + 1, kScriptLineMax);
            memcpy(cmd, text + 1, n);
            cmd[n] = '\0';
            const char* start = cmd;
            while (*start == ' ') ++start;
            parse(start);
        }
        if (strncmp(text, "<EOF>", 5) == 0) break;
    }
    --scriptDepth;
    fclose(f);
    return 0;
}

// Lists like the platform's file search: the pattern's last component is
// matched case-insensitively against the entries of its directory, which is
// itself found case-insensitively.
void Console::dir(const char* pattern) {
    if (!pattern || !*pattern) return;
    char mapped[kvxMaxPathLength];
    if (snprintf(mapped, sizeof mapped, "%s", pattern) >= static_cast<int>(sizeof mapped)) return;
    for (char* p = mapped; *p; ++p)
        if (*p == '\\') *p = '/';
    char* slash = strrchr(mapped, '/');
    const char* namePattern = slash ? slash + 1 : mapped;
    char dirName[kvxMaxPathLength];
    if (!slash)
        snprintf(dirName, sizeof dirName, ".");
    else if (slash == mapped)
        snprintf(dirName, sizeof dirName, "/");
    else
        snprintf(dirName, sizeof dirName, "%.*s", static_cast<int>(slash - mapped), mapped);
    if (!*namePattern) return;
    if (strcmp(namePattern, "*.*") == 0) namePattern = "*";  // matches names without a dot too
    char resolved[kvxMaxPathLength];
    if (!kvxResolvePath(dirName, resolved, sizeof resolved, false)) return;
    DIR* d = opendir(resolved);
    if (!d) return;
    while (struct dirent* e = readdir(d)) {
        if (fnmatch(namePattern, e->d_name, FNM_CASEFOLD | FNM_NOESCAPE) != 0) continue;
        char full[kvxMaxPathLength];
        if (snprintf(full, sizeof full, "%s/%s", resolved, e->d_name) >= static_cast<int>(sizeof full)) continue;
        struct stat st;
        uint64_t size = 0;
        if (stat(full, &st) == 0 && S_ISREG(st.st_mode)) size = static_cast<uint64_t>(st.st_size);
        addTextf("%s\t%d\n", e->d_name, static_cast<int>(static_cast<uint32_t>(size)));
    }
    closedir(d);
}
