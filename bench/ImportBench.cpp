// .3DS import: load3ds against two outside readers on the same files. Each
// reader takes the file to its in-memory scene with vertex normals: load3ds
// with meshes, lights, cameras, keyframer and smoothing (its built-in mesh
// preparation included), lib3ds with lib3ds_mesh_calculate_normals on every
// mesh, Assimp with aiProcess_GenSmoothNormals. Textures are not loaded.

#include <benchmark/benchmark.h>
#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchPaths.h"
#include "ImportReaders.h"

namespace {

using kvxbench::has3dsExtension;
using kvxbench::readWithEngine;
#ifdef KVX_HAVE_LIB3DS
using kvxbench::readWithLib3ds;
#endif
#ifdef KVX_HAVE_ASSIMP
using kvxbench::readWithAssimp;
#endif

std::vector<std::string> realWorldFiles() {
    std::vector<std::string> files;
    const std::string dir = std::string(KVX_TESTDATA_DIR) + "/3ds/assimp";
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (has3dsExtension(e->d_name)) files.push_back(dir + "/" + e->d_name);
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> demoLevels() {
    std::vector<std::string> files;
    for (const char* name : {"level01.dat", "level02.dat", "level03.dat"}) {
        std::string path = kvxbench::dataDir() + "/" + name;
        if (kvxbench::fileExists(path)) files.push_back(path);
    }
    return files;
}

long totalBytes(const std::vector<std::string>& files) {
    long n = 0;
    for (const std::string& f : files) n += kvxbench::fileSize(f);
    return n;
}

// Runs read(file) over the whole set per iteration; read answers false on failure.
template <class Read>
void importSet(benchmark::State& state, const std::vector<std::string>& files, Read read) {
    if (files.empty()) {
        state.SkipWithError("no files");
        return;
    }
    for (auto _ : state)
        for (const std::string& f : files)
            if (!read(f)) {
                state.SkipWithError(("cannot read " + f).c_str());
                return;
            }
    state.counters["files"] = double(files.size());
    state.SetBytesProcessed(int64_t(state.iterations()) * totalBytes(files));
}

void registerSet(const std::string& setName, std::vector<std::string> (*files)()) {
    benchmark::RegisterBenchmark(("Import/load3ds/" + setName).c_str(), [files](benchmark::State& s) {
        importSet(s, files(), readWithEngine);
    })->Unit(benchmark::kMillisecond);
#ifdef KVX_HAVE_LIB3DS
    benchmark::RegisterBenchmark(("Import/lib3ds/" + setName).c_str(), [files](benchmark::State& s) {
        importSet(s, files(), readWithLib3ds);
    })->Unit(benchmark::kMillisecond);
#else
    benchmark::RegisterBenchmark(("Import/lib3ds/" + setName).c_str(),
                                 [](benchmark::State& s) { s.SkipWithError("lib3ds not installed"); });
#endif
#ifdef KVX_HAVE_ASSIMP
    benchmark::RegisterBenchmark(("Import/assimp/" + setName).c_str(), [files](benchmark::State& s) {
        importSet(s, files(), readWithAssimp);
    })->Unit(benchmark::kMillisecond);
#else
    benchmark::RegisterBenchmark(("Import/assimp/" + setName).c_str(),
                                 [](benchmark::State& s) { s.SkipWithError("Assimp not installed"); });
#endif
}

const int kRegistered = (registerSet("real-world", realWorldFiles), registerSet("demo-levels", demoLevels), 0);

}  // namespace
