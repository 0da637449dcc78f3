// Mesh rendering and preparation. Rendering: one 50,000-face textured mesh
// per frame through vertex arrays, immediate mode and a replayed display list
// (compare the fps counters). Preparation: prepareSmoothing + calcNormals on
// 10k, 20k and 40k faces, the engine's adjacency walk against a direct scan of
// every face per vertex (same results, compare the times).

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <memory>

#include "../tests/mesh/MeshBuilders.h"
#include "../tests/mesh/ReferencePreparation.h"
#include "TestWindow.h"
#include "render/RenderState.h"
#include "scene/Mesh.h"
#include "scene/RenderFlags.h"
#include "texture/Material.h"
#include "texture/TList.h"

namespace {

TestWindow& window() {
    static TestWindow* w = new TestWindow();
    return *w;
}

// Grid side giving about the requested number of faces (two per cell).
int gridSide(int faces) {
    int n = 2;
    while (2 * (n - 1) * (n - 1) < faces) ++n;
    return n;
}

struct TexturedScene {
    TList materials;
    std::unique_ptr<Mesh> mesh;

    TexturedScene() {
        window();
        uint8_t texels[8 * 8 * 4];
        for (int i = 0; i < 64; ++i) {
            texels[4 * i] = uint8_t(i * 4);
            texels[4 * i + 1] = 128;
            texels[4 * i + 2] = uint8_t(255 - i * 4);
            texels[4 * i + 3] = 255;
        }
        for (int id = 1; id <= 3; ++id) {
            Material* m = new Material();
            m->addFirstTexture(meshtest::makeTexture(8, 8, texels));
            materials.addMaterial(m);
        }
        mesh.reset(meshtest::makeGridMesh(gridSide(50000), 7, 1));
        // Three materials over three bands of the mesh, as a loaded model has them.
        for (int f = 0; f < mesh->faceCount; ++f) mesh->faceMaterials[f] = 1 + 3 * f / mesh->faceCount;
        mesh->center();
        mesh->calcNormals();
        mesh->originalToCalculated();
        mesh->sortFacesByMaterial();
        for (int i = 0; i < mesh->vertexCount; ++i) mesh->colors[i] = Color{1, 1, 1, 1};
        mesh->createDisplayList();
        mesh->render(kvxRenderOpaque | kvxRenderImmediate | kvxRenderRecord, &materials);
    }

    void frame(int flags) {
        meshtest::pixelProjection();
        glTranslatef(320, 240, 0);
        glScalef(2.8f, 2.8f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        mesh->render(flags, &materials);
        glFinish();
    }
};

TexturedScene& scene() {
    static TexturedScene* s = new TexturedScene();
    return *s;
}

void renderFrames(benchmark::State& state, int flags) {
    TexturedScene& s = scene();
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    for (auto _ : state) s.frame(flags);
    state.counters["faces"] = double(s.mesh->faceCount);
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_RenderVertexArrays(benchmark::State& state) { renderFrames(state, kvxRenderOpaque); }
void BM_RenderImmediateMode(benchmark::State& state) { renderFrames(state, kvxRenderOpaque | kvxRenderImmediate); }
void BM_RenderDisplayList(benchmark::State& state) { renderFrames(state, kvxRenderOpaque | kvxRenderReplay); }

BENCHMARK(BM_RenderVertexArrays)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderImmediateMode)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderDisplayList)->Unit(benchmark::kMillisecond)->UseRealTime();

template <class Prepare>
void prepareMesh(benchmark::State& state, Prepare prepare) {
    const int side = gridSide(int(state.range(0)));
    int faces = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Mesh> m(meshtest::makeGridMesh(side, 11, 4));
        faces = m->faceCount;
        state.ResumeTiming();
        prepare(*m);
        benchmark::DoNotOptimize(m->originalNormals[0]);
    }
    state.counters["faces"] = double(faces);
}

void BM_PrepareAdjacency(benchmark::State& state) {
    prepareMesh(state, [](Mesh& m) {
        m.prepareSmoothing();
        m.calcNormals();
    });
}

void BM_PrepareDirectScan(benchmark::State& state) {
    prepareMesh(state, [](Mesh& m) {
        meshref::prepareSmoothing(m);
        meshref::calcNormals(m);
    });
}

BENCHMARK(BM_PrepareAdjacency)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrepareDirectScan)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
