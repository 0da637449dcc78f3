// Large real files, one at a time: load3ds against lib3ds and Assimp on each
// file over kLargeFaces faces, and the octree of each (OGroup::constructOctree:
// insertion, split and collision planes) against that file's own import and
// against the plain every-pair build of the same tree.

#include <benchmark/benchmark.h>

#include <string>

#include "ImportReaders.h"
#include "LargeFiles.h"
#include "import3ds/Import3DS.h"
#include "scene/OGroup.h"
#include "spatial/Octree.h"

namespace {

void importOne(benchmark::State& state, const std::string& file, bool (*read)(const std::string&)) {
    for (auto _ : state)
        if (!read(file)) {
            state.SkipWithError(("cannot read " + file).c_str());
            return;
        }
}

void octreeOne(benchmark::State& state, const std::string& file, bool fast) {
    kvxOctreeFastBuild = fast;
    OGroup* g = new OGroup();
    if (load3ds(file.c_str(), g, "", kvxbench::kImportFlags, nullptr, "") != 0) {
        delete g;
        state.SkipWithError(("cannot read " + file).c_str());
        return;
    }
    for (auto _ : state) {
        g->constructOctree();
        benchmark::DoNotOptimize(g->octree);
    }
    delete g;
    kvxOctreeFastBuild = true;
}

int registerAll() {
    for (const kvxbench::LargeFile& f : kvxbench::largeFiles()) {
        const std::string path = f.path;
        benchmark::RegisterBenchmark(("Import/load3ds/" + f.name).c_str(), [path](benchmark::State& s) {
            importOne(s, path, kvxbench::readWithEngine);
        })->Unit(benchmark::kMillisecond);
#ifdef KVX_HAVE_LIB3DS
        benchmark::RegisterBenchmark(("Import/lib3ds/" + f.name).c_str(), [path](benchmark::State& s) {
            importOne(s, path, kvxbench::readWithLib3ds);
        })->Unit(benchmark::kMillisecond);
#endif
#ifdef KVX_HAVE_ASSIMP
        benchmark::RegisterBenchmark(("Import/assimp/" + f.name).c_str(), [path](benchmark::State& s) {
            importOne(s, path, kvxbench::readWithAssimp);
        })->Unit(benchmark::kMillisecond);
#endif
        benchmark::RegisterBenchmark(("Octree/" + f.name).c_str(), [path](benchmark::State& s) {
            octreeOne(s, path, true);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("OctreePlain/" + f.name).c_str(), [path](benchmark::State& s) {
            octreeOne(s, path, false);
        })->Unit(benchmark::kMillisecond);
    }
    return 0;
}

const int kRegistered = registerAll();

}  // namespace
