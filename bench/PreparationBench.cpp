// Mesh preparation, one operation at a time in the order the loader runs
// them, on a generated 20,000-face mesh with four smoothing groups; the
// baseline copies every array the operations touch into a second mesh of the
// same size (the least any pass over the mesh can cost).

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "../tests/mesh/MeshBuilders.h"
#include "scene/Mesh.h"

namespace {

const int kFaces = 20000;
const int kIterations = 30;  // every iteration rebuilds the mesh untimed

using Step = void (*)(Mesh&);

const Step kChain[] = {
    [](Mesh& m) { m.prepareSmoothing(); }, [](Mesh& m) { m.center(); },
    [](Mesh& m) { m.calcNormals(); },      [](Mesh& m) { m.originalToCalculated(); },
    [](Mesh& m) { m.calcRadius(); },       [](Mesh& m) { m.sortFacesByMaterial(); },
    [](Mesh& m) { m.calcEdgeNormals(); },  [](Mesh& m) { m.createDisplayList(); },
};
const char* const kStepNames[] = {"prepareSmoothing",     "center",           "calcNormals",
                                  "originalToCalculated", "calcRadius",       "sortFacesByMaterial",
                                  "calcEdgeNormals",      "createDisplayList"};
const int kSteps = int(sizeof kChain / sizeof kChain[0]);

Mesh* freshMesh() {
    const int side = int(std::ceil(std::sqrt(kFaces / 2.0))) + 1;
    return meshtest::makeGridMesh(side, 11, 4);
}

// Times steps [first, last) on a mesh that already went through the steps before first.
void prepare(benchmark::State& state, int first, int last) {
    int faces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Mesh> m(freshMesh());
        for (int s = 0; s < first; ++s) kChain[s](*m);
        faces = m->faceCount;
        state.ResumeTiming();
        for (int s = first; s < last; ++s) kChain[s](*m);
        benchmark::DoNotOptimize(m->normals);
    }
    state.counters["faces"] = faces;
}

template <class T>
void copyArray(T* to, const T* from, int n) {
    if (to && from) std::memcpy(to, from, sizeof(T) * size_t(n));
}

void copyMesh(benchmark::State& state) {
    std::unique_ptr<Mesh> from(freshMesh());
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Mesh> to(new Mesh());
        to->createVertices(from->vertexCount);
        to->createFaces(from->faceCount);
        state.ResumeTiming();
        const int v = from->vertexCount, f = from->faceCount;
        copyArray(to->originalVertices, from->originalVertices, v);
        copyArray(to->vertices, from->vertices, v);
        copyArray(to->textureCoords, from->textureCoords, v);
        copyArray(to->originalNormals, from->originalNormals, v);
        copyArray(to->normals, from->normals, v);
        copyArray(to->originalColors, from->originalColors, v);
        copyArray(to->colors, from->colors, v);
        copyArray(to->faces, from->faces, f);
        copyArray(to->faceMaterials, from->faceMaterials, f);
        copyArray(to->smoothingGroups, from->smoothingGroups, f);
        copyArray(to->faceFlags, from->faceFlags, f);
        copyArray(to->edgeNormals, from->edgeNormals, f);
        benchmark::ClobberMemory();
    }
    state.counters["faces"] = from->faceCount;
}

const int kRegistered = [] {
    for (int s = 0; s < kSteps; ++s)
        benchmark::RegisterBenchmark((std::string("Prepare/") + kStepNames[s]).c_str(),
                                     [s](benchmark::State& st) { prepare(st, s, s + 1); })
            ->Iterations(kIterations)
            ->Unit(benchmark::kMicrosecond)
            ->UseRealTime();
    benchmark::RegisterBenchmark("Prepare/whole chain", [](benchmark::State& st) { prepare(st, 0, kSteps); })
        ->Iterations(kIterations)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark("Prepare/plain copy", copyMesh)
        ->Iterations(kIterations)
        ->Unit(benchmark::kMicrosecond)
        ->UseRealTime();
    return 0;
}();

}  // namespace
