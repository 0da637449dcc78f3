// The kvxview program run as a child on SDL's offscreen driver (llvmpipe):
// launch to the first frame shown and exit, for the largest real .3DS file in
// tests/data and the demo's first scene against the smallest real file, and
// frames per second while orbiting against standing still.

#include "ViewerBench.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "BenchPaths.h"
#include "ImportReaders.h"

namespace kvxbench {

namespace {

const int kRepeats = 3;
const int kWarmFrames = 10;
const int kMeasuredFrames = 150;
const int kOrbitPixels = 4;

std::string viewer() { return std::string(KVX_BINARY_DIR) + "/kvxview"; }

// The largest (or smallest) .3DS file under tests/data that imports (it also
// holds damaged ones): files are tried from that end only until one loads.
std::string realFile(bool largest) {
    std::vector<std::pair<uintmax_t, std::string>> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(KVX_TESTDATA_DIR))
        if (e.is_regular_file() && has3dsExtension(e.path().string()))
            files.emplace_back(e.file_size(), e.path().string());
    std::sort(files.begin(), files.end());
    if (largest) std::reverse(files.begin(), files.end());
    for (const auto& f : files)
        if (readWithEngine(f.second)) return f.second;
    return std::string();
}

std::string level01() { return dataDir() + "/level01.dat"; }

// Runs kvxview on a replay script; the exit status, or -1.
int runViewer(const std::string& file, const std::string& replay, const std::string& log) {
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) dup2(fd, 1), dup2(fd, 2);
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        execl(viewer().c_str(), viewer().c_str(), "--replay", replay.c_str(), file.c_str(), nullptr);
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Scratch {
    std::string dir;
    Scratch() {
        char name[] = "/tmp/kvx-viewer-bench-XXXXXX";
        dir = mkdtemp(name) ? name : "/tmp";
    }
    ~Scratch() { std::filesystem::remove_all(dir); }
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(dir + "/" + name) << text;
        return dir + "/" + name;
    }
};

bool ready(benchmark::State& state, const std::string& file) {
    if (!fileExists(viewer()))
        state.SkipWithError("kvxview not built");
    else if (file.empty() || !fileExists(file))
        state.SkipWithError("scene file missing (make data)");
    else
        return true;
    return false;
}

void BM_ViewerFirstFrame(benchmark::State& state, std::string (*file)()) {
    std::string scene = file();
    if (!ready(state, scene)) return;
    Scratch s;
    std::string replay = s.write("quit.txt", "quit\n");
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        int rc = runViewer(scene, replay, s.dir + "/log.txt");
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        if (rc != 0) state.SkipWithError("kvxview failed");
    }
}

// Frames drawn and the clock in one state file.
bool readState(const std::string& path, double* frames, double* ms) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    size_t f = s.find("\"framesDrawn\": "), t = s.find("\"ticks\": ");
    if (f == std::string::npos || t == std::string::npos) return false;
    *frames = atof(s.c_str() + f + 15);
    *ms = atof(s.c_str() + t + 9);
    return true;
}

void BM_ViewerFrame(benchmark::State& state, std::string (*file)(), bool orbit) {
    std::string scene = file();
    if (!ready(state, scene)) return;
    Scratch s;
    std::string motion = orbit ? "orbit " + std::to_string(kMeasuredFrames) + " " + std::to_string(kOrbitPixels)
                               : "frames " + std::to_string(kMeasuredFrames);
    std::string replay = s.write("run.txt", "key c\nframes " + std::to_string(kWarmFrames) + "\nstate " + s.dir +
                                                "/a.json\n" + motion + "\nstate " + s.dir + "/b.json\nquit\n");
    for (auto _ : state) {
        double f0, t0, f1, t1;
        if (runViewer(scene, replay, s.dir + "/log.txt") != 0 || !readState(s.dir + "/a.json", &f0, &t0) ||
            !readState(s.dir + "/b.json", &f1, &t1) || f1 <= f0) {
            state.SkipWithError("kvxview failed");
            return;
        }
        state.SetIterationTime((t1 - t0) / 1000.0 / (f1 - f0));
    }
}

const int kRegistered = [] {
    struct Case {
        const char* name;
        std::string (*file)();
    } cases[] = {{"largest real file", [] { return realFile(true); }},
                 {"smallest real file", [] { return realFile(false); }},
                 {"demo level01", level01}};
    for (const Case& c : cases)
        benchmark::RegisterBenchmark((std::string("Viewer/first frame: ") + c.name).c_str(), BM_ViewerFirstFrame,
                                     c.file)
            ->Iterations(1)
            ->Repetitions(kRepeats)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    for (const Case& c : {cases[0], cases[2]})
        for (bool orbit : {true, false})
            benchmark::RegisterBenchmark(
                (std::string("Viewer/") + (orbit ? "orbiting: " : "standing: ") + c.name).c_str(), BM_ViewerFrame,
                c.file, orbit)
                ->Iterations(1)
                ->Repetitions(kRepeats)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
    return 0;
}();

}  // namespace

void viewerRows(std::vector<Comparison>& rows) {
    rows.push_back({"viewer", "launch to first frame, largest real file", "Viewer/first frame: largest real file",
                    "Viewer/first frame: smallest real file", "smallest real file"});
    rows.push_back({"viewer", "launch to first frame, demo level01", "Viewer/first frame: demo level01",
                    "Viewer/first frame: smallest real file", "smallest real file"});
    rows.push_back({"viewer", "frames while orbiting, largest real file", "Viewer/orbiting: largest real file",
                    "Viewer/standing: largest real file", "standing still", 0, Shown::Rate});
    rows.push_back({"viewer", "frames while orbiting, demo level01", "Viewer/orbiting: demo level01",
                    "Viewer/standing: demo level01", "standing still", 0, Shown::Rate});
}

}  // namespace kvxbench
