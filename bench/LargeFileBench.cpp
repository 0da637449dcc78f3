// Large real files, one at a time: load3ds against lib3ds and Assimp on each
// file over kLargeFaces faces, and the octree of each (OGroup::constructOctree:
// insertion, split and collision planes) against that file's own import and
// against the plain every-pair build of the same tree; and the heap blocks
// the finished tree owns, allocated and freed alone, against the import:
// a floor that no build of the same tree and planes can go below.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ImportReaders.h"
#include "LargeFiles.h"
#include "core/Types.h"
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

// The sizes of what a built tree allocates: one block per node, one list
// per leaf, and per plane the plane and its array of faces.
struct TreeBlocks {
    int nodes = 0;
    std::vector<int> leafLists;
    std::vector<int> planeFaces;

    void collect(const octreeNode* n) {
        ++nodes;
        if (n->isSplit) {
            for (const octreeNode* c : n->children) collect(c);
            return;
        }
        leafLists.push_back(n->polygons.size());
        for (const Plane* p = n->planes; p != nullptr; p = p->next) planeFaces.push_back(p->count);
    }
};

void treeBlocksOne(benchmark::State& state, const std::string& file) {
    OGroup* g = new OGroup();
    if (load3ds(file.c_str(), g, "", kvxbench::kImportFlags, nullptr, "") != 0 || g->constructOctree() != 0) {
        delete g;
        state.SkipWithError(("cannot read " + file).c_str());
        return;
    }
    TreeBlocks blocks;
    blocks.collect(g->octree);
    delete g;
    std::vector<octreeNode*> nodes(size_t(blocks.nodes));
    std::vector<Plane*> planes(blocks.planeFaces.size());
    for (auto _ : state) {
        for (octreeNode*& n : nodes) n = new octreeNode();
        for (size_t k = 0; k < blocks.leafLists.size(); ++k) nodes[k]->polygons.reserve(blocks.leafLists[k]);
        for (size_t k = 0; k < planes.size(); ++k) {
            planes[k] = new Plane();
            planes[k]->create(blocks.planeFaces[k]);
        }
        benchmark::DoNotOptimize(planes.data());
        for (Plane* p : planes) delete p;
        for (octreeNode* n : nodes) delete n;
    }
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
        benchmark::RegisterBenchmark(("OctreeBlocks/" + f.name).c_str(), [path](benchmark::State& s) {
            treeBlocksOne(s, path);
        })->Unit(benchmark::kMillisecond);
    }
    return 0;
}

const int kRegistered = registerAll();

}  // namespace
