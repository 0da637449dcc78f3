#include "console/Console.h"

#include <cstdarg>
#include <cstring>

#include "console/ConsoleMessages.h"
#include "render/ErrorLog.h"

namespace {
const char kBanner[] = "Korvex3D Console v1.0\n";

int appendLogLine(Console* console, const char* line) { return console->addText(line); }
}  // namespace

Console::Console()
    : numVars(0), progressFunc(nullptr), text(new char[textSize]), textLength(0), scene(nullptr), exitFlag(false),
      clearFlag(false), scriptDepth(0), scriptsRun(0) {
    kvxSetConsoleLogSink(appendLogLine);
    for (int i = 0; i < maxVars; ++i) {
        varRef[i] = nullptr;
        varName[i] = nullptr;
    }
    for (FuncTable& t : funcs) {
        for (int i = 0; i < maxFuncs; ++i) {
            t.func[i] = nullptr;
            t.name[i] = nullptr;
        }
        t.count = 0;
    }
    lastLoad[0] = '\0';
    text[0] = '\0';
    addText(kBanner);
}

Console::~Console() {
    for (int i = 0; i < numVars; ++i) delete[] varName[i];
    for (FuncTable& t : funcs)
        for (int i = 0; i < t.count; ++i) delete[] t.name[i];
    delete[] text;
}

int Console::setScene(Scene* s) {
    if (!s) return kvxPutToErrorLog(kMsgSceneNull, kCodeSceneNull);
    scene = s;
    return 0;
}

int Console::addProgressFunc(KVXProgressFunc f) {
    progressFunc = f;
    return 0;
}

int Console::addText(const char* t) {
    if (!t) return 0;
    size_t n = strlen(t);
    if (static_cast<size_t>(textLength) + n >= static_cast<size_t>(textSize)) return 0;
    memcpy(text + textLength, t, n + 1);
    textLength += static_cast<int>(n);
    return 0;
}

int Console::addTextf(const char* format, ...) {
    // Format straight into the free tail; an overlong result is undone whole.
    size_t room = static_cast<size_t>(textSize - textLength);
    va_list args;
    va_start(args, format);
    int n = vsnprintf(text + textLength, room, format, args);
    va_end(args);
    if (n < 0 || static_cast<size_t>(n) >= room) {
        text[textLength] = '\0';
        return 0;
    }
    textLength += n;
    return 0;
}

int Console::getText(char* out) {
    int length = textLength;
    if (out) memcpy(out, text, static_cast<size_t>(length) + 1);
    textLength = 0;
    text[0] = '\0';
    return length;
}

bool Console::exitRequest() {
    bool was = exitFlag;
    exitFlag = false;
    return was;
}

bool Console::clearRequest() {
    bool was = clearFlag;
    clearFlag = false;
    return was;
}
