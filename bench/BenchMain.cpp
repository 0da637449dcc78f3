// The benchmark program: every benchmark, repeated, reported as one table of
// ratios against baselines measured in the same run.

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "Comparisons.h"
#include "RatioTable.h"
#include "TestWindow.h"

namespace {

const int kDefaultRepetitions = 5;
// Run before the rest, so that the accelerated forms can check their results against them.
const char* const kSlowBaselines = "BM_PrepareDirectScan|BM_LightingDirect";

bool hasFlag(int argc, char** argv, const char* prefix) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], prefix, std::strlen(prefix)) == 0) return true;
    return false;
}

std::string cpuModel() {
    std::ifstream in("/proc/cpuinfo");
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, 10, "model name") == 0) return line.substr(line.find(':') + 2);
    return "unknown";
}

const char* glText(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "no GL context";
}

// What the figures came from, printed above the table.
void printMachine() {
    char date[32];
    time_t now = time(nullptr);
    strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", gmtime(&now));
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    printf("Machine: %ld CPUs, %s\nGL: %s, %s\nDate: %s, load average %.1f %.1f %.1f at the start\n",
           sysconf(_SC_NPROCESSORS_ONLN), cpuModel().c_str(), glText(GL_RENDERER), glText(GL_VERSION), date, load[0],
           load[1], load[2]);
    fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    // The machine is shared: repeat everything and report medians, except the slow
    // every-face baselines (seconds to minutes a run), which run once in a first pass.
    const bool chosen = hasFlag(argc, argv, "--benchmark_filter") || hasFlag(argc, argv, "--benchmark_repetitions");
    static char repetitions[64];
    snprintf(repetitions, sizeof repetitions, "--benchmark_repetitions=%d", kDefaultRepetitions);
    std::vector<char*> args(argv, argv + argc);
    if (!hasFlag(argc, argv, "--benchmark_repetitions")) args.insert(args.begin() + 1, repetitions);
    int n = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 1;

    // One GL context for the benchmarks that draw or compile display lists; kept to the end.
    static TestWindow* window = new TestWindow();
    (void)window;
    printMachine();

    kvxbench::RatioTable table(kvxbench::comparisons());
    if (chosen) {
        benchmark::RunSpecifiedBenchmarks(&table);
    } else {
        char once[] = "--benchmark_repetitions=1";
        char* onceArgs[] = {argv[0], once, nullptr};
        int onceCount = 2;
        benchmark::Initialize(&onceCount, onceArgs);
        benchmark::RunSpecifiedBenchmarks(&table, kSlowBaselines);
        char* repeatedArgs[] = {argv[0], repetitions, nullptr};
        int repeatedCount = 2;
        benchmark::Initialize(&repeatedCount, repeatedArgs);
        benchmark::RunSpecifiedBenchmarks(&table, std::string("-") + kSlowBaselines);
    }
    table.print();
    benchmark::Shutdown();
    return 0;
}
