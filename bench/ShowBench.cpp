// The demo program itself, run as a child process and timed on the wall
// clock: the whole show captured to a video (ffmpeg encoding included), and
// the time from launch to the first frame written (three scenes loaded with
// static lighting, overlays, particles, tunnel table; process exit included).
// The same loading and first frame are also timed inside this process, on
// its own GL context, without the program's start and exit.

#include "ShowBench.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchPaths.h"
#include "Korvex3D.h"
#include "RatioTable.h"

#ifdef KVX_HAVE_DEMO
#include <GL/gl.h>

#include "Audio.h"
#include "DemoSettings.h"
#include "Show.h"
#endif

namespace kvxbench {

namespace {

const int kStartupRepeats = 3;

// Runs the program with its output into log; the exit status, or -1.
int runProgram(const std::vector<std::string>& args, const std::string& log) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string scratchDir() {
    char name[] = "/tmp/kvx-bench-XXXXXX";
    return mkdtemp(name) ? name : "/tmp";
}

bool showReady(benchmark::State& state) {
    if (!fileExists(demoProgram())) {
        state.SkipWithError("demo program not built");
        return false;
    }
    if (!fileExists(dataDir() + "/level01.dat")) {
        state.SkipWithError("no generated data (make data)");
        return false;
    }
    return true;
}

// Times one run per iteration; a failed run skips the benchmark and keeps its log.
void timeRuns(benchmark::State& state, const std::vector<std::string>& args, const std::string& dir,
              const std::string& expectedFile) {
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        int rc = runProgram(args, dir + "/demo.log");
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (rc != 0 || !fileExists(expectedFile)) {
            state.SkipWithError(("demo failed, see " + dir + "/demo.log").c_str());
            return;
        }
        state.SetIterationTime(seconds);
        remove(expectedFile.c_str());
    }
    remove((dir + "/demo.log").c_str());
    rmdir(dir.c_str());
}

void BM_ShowCapture(benchmark::State& state) {
    if (!showReady(state)) return;
    if (system("command -v ffmpeg >/dev/null 2>&1") != 0) {
        state.SkipWithError("ffmpeg not installed");
        return;
    }
    const std::string dir = scratchDir(), video = dir + "/show.mp4";
    std::vector<std::string> args = {demoProgram(), "--capture", video};
    if (showLengthMs() < kShowLengthMs) args.insert(args.end(), {"--until", std::to_string(showLengthMs())});
    timeRuns(state, args, dir, video);
    state.counters["show_s"] = showLengthMs() / 1000.0;
}

#ifdef KVX_HAVE_DEMO
// The capture's frames against the frames it read back: one run writes both
// the video and, for kExcerptMs of show from kExcerptStartMs on, every frame
// as PNG; ffmpeg's psnr filter compares the two in the video's pixel format.
const int kExcerptStartMs = 60000;
const int kExcerptMs = 20000;

std::string excerptMoments(int firstFrame, int frames) {
    std::string at;
    for (int f = firstFrame; f < firstFrame + frames; ++f)
        at += (at.empty() ? "" : ",") + std::to_string(f * demo::kStepMs);
    return at;
}

// The average PSNR that ffmpeg prints, or a negative number.
double psnrOf(const std::string& video, const std::string& frames, int skipFrames, const std::string& log) {
    const std::string cmd = "ffmpeg -nostdin -loglevel info -i '" + video + "' -framerate 1000/" +
                            std::to_string(demo::kStepMs) + " -pattern_type glob -i '" + frames +
                            "/*.png' -lavfi '[0:v]trim=start_frame=" + std::to_string(skipFrames) +
                            ",setpts=PTS-STARTPTS,format=yuv420p[a];[1:v]format=yuv420p[b];[a][b]psnr' -f null - 2>&1 "
                            "| tee '" +
                            log + "' | sed -n 's/.*PSNR.* average:\\([0-9.]*\\).*/\\1/p'";
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return -1;
    double db = -1;
    if (fscanf(p, "%lf", &db) != 1) db = -1;
    pclose(p);
    return db;
}

void BM_ShowCaptureQuality(benchmark::State& state) {
    if (!showReady(state)) return;
    const std::string dir = scratchDir(), video = dir + "/excerpt.mp4", frames = dir + "/frames";
    const int firstFrame = kExcerptStartMs / demo::kStepMs + 1, count = kExcerptMs / demo::kStepMs;
    const int untilMs = (firstFrame + count) * demo::kStepMs;
    for (auto _ : state) {
        std::vector<std::string> args = {demoProgram(),
                                         "--capture",
                                         video,
                                         "--capture-frames",
                                         frames,
                                         "--at",
                                         excerptMoments(firstFrame, count),
                                         "--until",
                                         std::to_string(untilMs)};
        if (runProgram(args, dir + "/demo.log") != 0) {
            state.SkipWithError(("demo failed, see " + dir + "/demo.log").c_str());
            return;
        }
        const double db = psnrOf(video, frames, firstFrame - 1, dir + "/psnr.log");
        if (db < 0) {
            state.SkipWithError(("no PSNR, see " + dir + "/psnr.log").c_str());
            return;
        }
        state.counters[kDecibelCounter] = db;
        state.SetIterationTime(1);
    }
    if (system(("rm -rf '" + dir + "'").c_str()) != 0) perror("rm");
}
#endif

void BM_ShowFirstFrame(benchmark::State& state) {
    if (!showReady(state)) return;
    const std::string dir = scratchDir();
    timeRuns(state, {demoProgram(), "--capture-frames", dir, "--at", "0"}, dir, dir + "/frame_000000.png");
}

#ifdef KVX_HAVE_DEMO
// The show changes engine-wide settings; the benchmarks after it get them back.
struct EngineSettings {
    float gamma = kvxGamma;
    Viewport viewport = kvxViewport;
    ~EngineSettings() {
        kvxSetGamma(gamma);
        kvxViewport = viewport;
        glDisable(GL_FOG);
    }
};

void BM_ShowLoadInProcess(benchmark::State& state) {
    if (!showReady(state)) return;
    EngineSettings saved;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd) || chdir(KVX_BINARY_DIR) != 0) {
        state.SkipWithError("cannot enter the build directory");
        return;
    }
    for (auto _ : state) {
        // Like the program, the show's objects are kept for the life of the process.
        demo::Show* show = new demo::Show(new demo::Audio(), 0, 0);
        show->engineSetup();
        if (const char* error = show->loadContent()) {
            state.SkipWithError(error);
            break;
        }
        show->startClock(0);
        show->pass(demo::kStepMs, demo::kStepMs);
        glFinish();
    }
    if (chdir(cwd) != 0) perror("chdir");
}
#endif

int repeatsFromEnvironment() {
    const char* text = getenv("KVX_BENCH_SHOW_REPEATS");
    int n = text ? atoi(text) : 1;
    return n > 0 ? n : 1;
}

const int kRegistered = [] {
    benchmark::RegisterBenchmark("Show/capture", BM_ShowCapture)
        ->Iterations(1)
        ->Repetitions(repeatsFromEnvironment())
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
#ifdef KVX_HAVE_DEMO
    benchmark::RegisterBenchmark("Show/capture quality", BM_ShowCaptureQuality)
        ->Iterations(1)
        ->Repetitions(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
#endif
    benchmark::RegisterBenchmark("Show/first frame", BM_ShowFirstFrame)
        ->Iterations(1)
        ->Repetitions(kStartupRepeats)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
#ifdef KVX_HAVE_DEMO
    benchmark::RegisterBenchmark("Show/load and first frame in process", BM_ShowLoadInProcess)
        ->Iterations(1)
        ->Repetitions(kStartupRepeats)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
#endif
    return 0;
}();

}  // namespace

int showLengthMs() {
    const char* text = getenv("KVX_BENCH_SHOW_MS");
    int ms = text ? atoi(text) : kShowLengthMs;
    return ms > 0 && ms < kShowLengthMs ? ms : kShowLengthMs;
}

}  // namespace kvxbench
