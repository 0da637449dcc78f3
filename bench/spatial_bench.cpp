// Static lighting with shadows: the every-face loop against the face
// hierarchy on generated terrains, with a check that both give the same
// colours bit for bit; and the collision and nearest-hit queries on the
// largest terrain.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "core/Math.h"
#include "render/Engine.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "spatial/Collision.h"
#include "spatial/LightingTerms.h"
#include "spatial/ShadowIndex.h"

namespace {

const int kTerrainMeshes = 4;
const float kCell = 1.0f;

float height(float x, float y) {
    return 3.0f * std::sin(x * 0.21f) * std::cos(y * 0.17f) + 1.5f * std::sin((x + y) * 0.43f);
}

Vertex3D terrainNormal(float x, float y) {
    const float e = 0.01f;
    Vertex3D n{-(height(x + e, y) - height(x - e, y)) / (2 * e), -(height(x, y + e) - height(x, y - e)) / (2 * e), 1};
    n.normalize();
    return n;
}

// A height field of about `faces` triangles in kTerrainMeshes strips, and
// floating slabs above it that cast long shadows.
OGroup* terrain(int faces) {
    const int side = int(std::sqrt(faces / 2.0));
    const int rows = side / kTerrainMeshes;
    OGroup* g = new OGroup();
    for (int part = 0; part < kTerrainMeshes; ++part) {
        Mesh* m = new Mesh();
        const int cols = side + 1, lines = rows + 1;
        m->createVertices(cols * lines);
        m->createFaces(side * rows * 2);
        for (int j = 0; j < lines; ++j)
            for (int i = 0; i < cols; ++i) {
                float x = i * kCell, y = (part * rows + j) * kCell;
                m->vertices[j * cols + i] = Vertex3D{x, y, height(x, y)};
                m->normals[j * cols + i] = terrainNormal(x, y);
            }
        int f = 0;
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < side; ++i) {
                uint16_t a = uint16_t(j * cols + i), b = uint16_t(a + 1), c = uint16_t(a + cols), d = uint16_t(c + 1);
                m->faces[f++] = Facelist{a, b, d};
                m->faces[f++] = Facelist{a, d, c};
            }
        for (int v = 0; v < m->vertexCount; ++v) m->originalVertices[v] = m->vertices[v];
        m->calcEdgeNormals();
        g->addMesh(m);
    }
    // Slabs facing up towards the lights.
    Mesh* slabs = new Mesh();
    const int slabCount = 24;
    slabs->createVertices(slabCount * 4);
    slabs->createFaces(slabCount * 2);
    srand(5);
    for (int s = 0; s < slabCount; ++s) {
        float x = float(rand() % (side - 4)) + 0.37f, y = float(rand() % (side - 4)) + 0.61f, z = 7.3f + s % 3;
        float w = 1.5f + float(rand() % 300) / 100.0f;
        Vertex3D* v = slabs->vertices + s * 4;
        v[0] = Vertex3D{x, y, z};
        v[1] = Vertex3D{x + w, y, z};
        v[2] = Vertex3D{x + w, y + w, z};
        v[3] = Vertex3D{x, y + w, z};
        for (int k = 0; k < 4; ++k) slabs->normals[s * 4 + k] = Vertex3D{0, 0, 1};
        uint16_t b = uint16_t(s * 4);
        slabs->faces[s * 2] = Facelist{b, uint16_t(b + 1), uint16_t(b + 2)};
        slabs->faces[s * 2 + 1] = Facelist{b, uint16_t(b + 2), uint16_t(b + 3)};
    }
    slabs->calcEdgeNormals();
    g->addMesh(slabs);
    const float mid = side * kCell * 0.5f, reach = side * kCell;
    const Vertex3D at[4] = {
        {mid, mid, 30}, {mid * 0.3f, mid * 0.4f, 18}, {mid * 1.6f, mid * 0.5f, 22}, {mid, mid * 1.7f, 12}};
    for (const Vertex3D& p : at) {
        Light* l = new Light();
        l->location = p;
        l->color = Color{0.6f, 0.55f, 0.5f, 1};
        l->innerRange = reach * 0.2f;
        l->outerRange = reach * 1.2f;
        g->addLight(l);
    }
    return g;
}

int faceCount(OGroup* g) {
    int n = 0;
    for (int i = 0; i < g->meshCount; ++i) n += g->meshes[i]->faceCount;
    return n;
}

std::vector<Color> colours(OGroup* g) {
    std::vector<Color> all;
    for (int i = 0; i < g->meshCount; ++i)
        all.insert(all.end(), g->meshes[i]->originalColors, g->meshes[i]->originalColors + g->meshes[i]->vertexCount);
    return all;
}

// The lighting exactly as specified: every vertex asks checkRay, which tries every face.
void literalLight(OGroup* g, Light* light, int flags) {
    using namespace kvx_spatial;
    for (int i = 0; i < g->meshCount; ++i) {
        Mesh* m = g->meshes[i];
        if (flags & kLightReset) resetColors(m);
        for (int v = 0; v < m->vertexCount; ++v) {
            if ((flags & kLightShadows) && !g->checkRay(light, &m->vertices[v], &m->position)) continue;
            const Vertex3D p = lightingPoint(m->vertices[v], m->position);
            m->originalColors[v] =
                withLight(m->originalColors[v], light, lightIntensity(light, p, m->normals[v], flags), true);
        }
    }
}

void literalLights(OGroup* g, int flags) {
    literalLight(g, g->lights[0], flags | kvx_spatial::kLightReset);
    for (int i = 1; i < g->lightCount; ++i) literalLight(g, g->lights[i], 0);
    g->applyLights();
}

struct Reference {
    std::vector<Color> colours;
    double seconds;
};
std::map<int, Reference> references;

void BM_LightingDirect(benchmark::State& state) {
    OGroup* g = terrain(int(state.range(0)));
    double seconds = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        literalLights(g, 2);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    references[int(state.range(0))] = Reference{colours(g), seconds};
    state.counters["faces"] = faceCount(g);
    delete g;
}

void BM_LightingIndexed(benchmark::State& state) {
    OGroup* g = terrain(int(state.range(0)));
    kvxShadowIndexEnabled = true;
    double seconds = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        g->calcDynamicLights(2);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["faces"] = faceCount(g);
    auto ref = references.find(int(state.range(0)));
    if (ref != references.end()) {
        std::vector<Color> mine = colours(g);
        bool same = mine.size() == ref->second.colours.size() &&
                    std::memcmp(mine.data(), ref->second.colours.data(), mine.size() * sizeof(Color)) == 0;
        state.counters["identical"] = same ? 1 : 0;
        state.counters["speedup"] = ref->second.seconds / seconds;
    }
    delete g;
}

OGroup* bigScene() {
    static OGroup* g = nullptr;
    if (g == nullptr) {
        g = terrain(80000);
        g->constructOctree();
    }
    return g;
}

void BM_CheckCollision(benchmark::State& state) {
    OGroup* g = bigScene();
    srand(3);
    const float side = std::sqrt(80000 / 2.0f);
    for (auto _ : state) {
        float x = float(rand() % 1000) / 1000.0f * (side - 2) + 1, y = float(rand() % 1000) / 1000.0f * (side - 2) + 1;
        Vertex3D old{x, y, height(x, y) + 1.2f}, pos{x + 0.3f, y + 0.2f, height(x, y) + 0.2f}, normal;
        benchmark::DoNotOptimize(kvxCheckCollision(&pos, &old, 0.5f, g, true, &normal, 3));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RaySceneDistance(benchmark::State& state) {
    OGroup* g = bigScene();
    srand(4);
    const float side = std::sqrt(80000 / 2.0f);
    for (auto _ : state) {
        float x = float(rand() % 1000) / 1000.0f * (side - 2) + 1, y = float(rand() % 1000) / 1000.0f * (side - 2) + 1;
        Vertex3D from{x, y, 9}, to{x + 20, y + 10, -10};
        benchmark::DoNotOptimize(kvxRaySceneDistance(&from, &to, g));
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_LightingDirect)->Arg(5000)->Arg(20000)->Arg(80000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LightingIndexed)->Arg(5000)->Arg(20000)->Arg(80000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckCollision);
BENCHMARK(BM_RaySceneDistance);
