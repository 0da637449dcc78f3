#include "Batch.h"

#include <cstdio>
#include <string>

#include "ConsoleView.h"
#include "EngineWindow.h"
#include "InfoReport.h"
#include "LogText.h"
#include "PngFile.h"
#include "ViewerScene.h"

namespace {

const char kProgram[] = "kvxview";
const char kFramePlaceholder[] = "{frame}";

std::string outputName(const std::string& pattern, int frame) {
    std::string name = pattern;
    size_t at = name.find(kFramePlaceholder);
    if (at != std::string::npos) {
        char number[16];
        snprintf(number, sizeof number, "%04d", frame);
        name.replace(at, sizeof kFramePlaceholder - 1, number);
    }
    return name;
}

void reportLogged(const std::vector<std::string>& lines) {
    for (const std::string& l : lines) fprintf(stderr, "%s: engine: %s\n", kProgram, l.c_str());
}

// Runs --script and --exec; what they print goes to stdout.
void runConsoleInput(const Options& o, Console& console) {
    for (const std::string& s : o.scripts) console.readScript(s.c_str());
    for (const std::string& c : o.commands) console.command(c.c_str());
    std::string text = takeLogText(console);
    if (!text.empty()) fputs(text.c_str(), stdout);
}

}  // namespace

int runInfo(const Options& o) {
    Console console;
    EngineWindow window;
    std::string error;
    if (!window.open(kProgram, 64, 64, true, &console, &error)) {
        fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
        return kExitLoadFailed;
    }
    ViewerScene view;
    view.setColourMissingMaps(false);  // the file as it is: maps and vertex counts
    view.setSmoothing(false);
    int exitCode = kExitOk;
    bool many = o.json && o.files.size() > 1;
    if (many) printf("[\n");
    for (size_t i = 0; i < o.files.size(); ++i) {
        takeLogText(console);
        LoadRecord record;
        record.file = o.files[i];
        record.result = view.load(o.files[i], nullptr);
        record.errors = loggedErrors(takeLogText(console));
        OGroup* group = record.result == 0 ? view.group() : nullptr;
        if (record.result != 0) exitCode = kExitLoadFailed;
        if (o.json)
            writeInfoJson(stdout, record, group);
        else
            writeInfoText(stdout, record, group);
        if (many && i + 1 < o.files.size()) printf(",\n");
    }
    if (many) printf("]\n");
    return exitCode;
}

int runOutput(const Options& o) {
    if (o.files.size() != 1) {
        fprintf(stderr, "%s: --output renders one file\n", kProgram);
        return kExitUsage;
    }
    Console console;
    EngineWindow window;
    std::string error;
    if (!window.open(kProgram, o.width, o.height, true, &console, &error)) {
        fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
        return kExitLoadFailed;
    }
    takeLogText(console);
    ViewerScene view;
    int result = view.load(o.files[0], nullptr);
    std::vector<std::string> logged = loggedErrors(takeLogText(console));
    if (result != 0) {
        fprintf(stderr, "%s: %s: %s (code %d)\n", kProgram, o.files[0].c_str(),
                logged.empty() ? "cannot load" : logged.back().c_str(), result);
        return kExitLoadFailed;
    }
    reportLogged(logged);
    std::string why;
    if (o.cameraGiven && !view.selectCamera(o.camera, o.cameraName, &why)) {
        fprintf(stderr, "%s: %s: %s\n", kProgram, o.files[0].c_str(), why.c_str());
        return kExitUsage;
    }
    console.setScene(view.scene());
    noteConsoleLoads(console);
    runConsoleInput(o, console);
    view.adoptChanges(consoleLoadedFile(console), consoleLoadCompleted());
    if (o.cameraGiven) view.selectCamera(o.camera, o.cameraName, &why);
    if (o.light) {
        if (!view.hasLights())
            fprintf(stderr, "%s: %s has no lights; lit from the eye\n", kProgram, o.files[0].c_str());
        view.setFileLighting(true);
    }
    RenderOptions ro;
    ro.wire = o.wire;
    FrameRange range;
    range.first = range.last = o.frame >= 0 ? o.frame : view.firstFrame();
    if (o.hasFrames) range = o.frames;
    for (int f = range.first; f <= range.last; f += range.step) {
        view.setFrame(f);
        view.render(ro);
        std::string name = outputName(o.output, f);
        if (!saveFrameAsPng(name, window.width(), window.height(), &error)) {
            fprintf(stderr, "%s: %s\n", kProgram, error.c_str());
            return kExitLoadFailed;
        }
        window.present();
    }
    reportLogged(loggedErrors(takeLogText(console)));
    return kExitOk;
}
