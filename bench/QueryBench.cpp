// Collision, ray and height queries through the octree, each against the same
// question answered by trying every face of the scene (corners precomputed,
// the engine's own ray-triangle test; for height, the engine's tree-less
// kvxCheckHeight2). Scene: an 80,000-face rolling terrain in four meshes.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "spatial/Collision.h"
#include "spatial/RayTriangle.h"

namespace {

const int kSide = 200;  // cells per side: 80,000 faces
const int kStrips = 4;
const int kQueries = 1024;  // inputs cycled through
const float kRadius = 0.5f;

float ground(float x, float y) { return 2.5f * std::sin(x * 0.19f) * std::cos(y * 0.23f) + std::sin((x - y) * 0.37f); }

struct Corners {
    Vertex3D a, b, c;
};

struct Terrain {
    OGroup* group = new OGroup();
    std::vector<Corners> faces;

    Terrain() {
        const int rows = kSide / kStrips, cols = kSide + 1;
        for (int part = 0; part < kStrips; ++part) {
            Mesh* m = new Mesh();
            m->createVertices(cols * (rows + 1));
            m->createFaces(kSide * rows * 2);
            for (int j = 0; j <= rows; ++j)
                for (int i = 0; i < cols; ++i) {
                    float x = float(i), y = float(part * rows + j);
                    int v = j * cols + i;
                    m->originalVertices[v] = m->vertices[v] = m->worldVertices[v] = Vertex3D{x, y, ground(x, y)};
                    m->normals[v] = Vertex3D{0, 0, 1};
                }
            int f = 0;
            for (int j = 0; j < rows; ++j)
                for (int i = 0; i < kSide; ++i) {
                    uint16_t a = uint16_t(j * cols + i), b = uint16_t(a + 1), c = uint16_t(a + cols),
                             d = uint16_t(c + 1);
                    m->faces[f++] = Facelist{a, b, d};
                    m->faces[f++] = Facelist{a, d, c};
                }
            m->calcEdgeNormals();
            for (int k = 0; k < m->faceCount; ++k) {
                const Facelist& q = m->faces[k];
                faces.push_back(Corners{m->vertices[q.a], m->vertices[q.b], m->vertices[q.c]});
            }
            group->addMesh(m);
        }
        group->constructOctree();
    }
};

Terrain& terrain() {
    static Terrain* t = new Terrain();
    return *t;
}

struct Segment {
    Vertex3D from, to;
};

// Short slanted rays that start above the ground and end below it.
std::vector<Segment> slantedRays() {
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> at(5.0f, kSide - 25.0f);
    std::vector<Segment> rays;
    for (int i = 0; i < kQueries; ++i) {
        float x = at(rng), y = at(rng);
        rays.push_back(Segment{{x, y, 9}, {x + 16, y + 9, -9}});
    }
    return rays;
}

std::vector<Segment> verticalRays() {
    std::vector<Segment> rays = slantedRays();
    for (Segment& r : rays) r = Segment{{r.from.x, r.from.y, 50}, {r.from.x, r.from.y, -50}};
    return rays;
}

// A sphere dropping into the ground: from where it was to where it would be.
std::vector<Segment> moves() {
    std::vector<Segment> m = slantedRays();
    for (Segment& s : m) {
        float x = s.from.x, y = s.from.y;
        s = Segment{{x, y, ground(x, y) + 1.2f}, {x + 0.3f, y + 0.2f, ground(x, y) + 0.2f}};
    }
    return m;
}

// Nearest parameter along the segment of a front-face hit, or -1.
float nearestHit(const std::vector<Corners>& faces, Segment s) {
    float best = -1;
    for (Corners c : faces) {
        float t = intersect2(&s.from, &s.to, &c.a, &c.b, &c.c);
        if (t >= 0 && t <= 1 && (best < 0 || t < best)) best = t;
    }
    return best;
}

bool anyHit(const std::vector<Corners>& faces, Segment s) {
    for (Corners c : faces) {
        float t = intersect2(&s.from, &s.to, &c.a, &c.b, &c.c);
        if (t >= 0 && t <= 1) return true;
    }
    return false;
}

Vertex3D closestOnTriangle(const Vertex3D& p, const Corners& t) {
    auto sub = [](Vertex3D u, Vertex3D v) { return Vertex3D{u.x - v.x, u.y - v.y, u.z - v.z}; };
    auto dot = [](Vertex3D u, Vertex3D v) { return u.x * v.x + u.y * v.y + u.z * v.z; };
    auto along = [](Vertex3D o, Vertex3D d, float k) { return Vertex3D{o.x + d.x * k, o.y + d.y * k, o.z + d.z * k}; };
    const Vertex3D ab = sub(t.b, t.a), ac = sub(t.c, t.a), ap = sub(p, t.a);
    float d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0) return t.a;
    const Vertex3D bp = sub(p, t.b);
    float d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3) return t.b;
    float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0) return along(t.a, ab, d1 / (d1 - d3));
    const Vertex3D cp = sub(p, t.c);
    float d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6) return t.c;
    float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0) return along(t.a, ac, d2 / (d2 - d6));
    float va = d3 * d6 - d5 * d4;
    if (va <= 0 && d4 - d3 >= 0 && d5 - d6 >= 0) return along(t.b, sub(t.c, t.b), (d4 - d3) / ((d4 - d3) + (d5 - d6)));
    float denom = 1 / (va + vb + vc);
    return along(along(t.a, ab, vb * denom), ac, vc * denom);
}

// Faces the sphere touches at its new position: one pass over every face.
int touchedFaces(const std::vector<Corners>& faces, Segment move) {
    int n = 0;
    for (const Corners& c : faces) {
        Vertex3D q = closestOnTriangle(move.to, c);
        float dx = q.x - move.to.x, dy = q.y - move.to.y, dz = q.z - move.to.z;
        if (dx * dx + dy * dy + dz * dz < kRadius * kRadius) ++n;
    }
    return n;
}

template <class Query>
void run(benchmark::State& state, const std::vector<Segment>& inputs, Query query) {
    Terrain& t = terrain();
    size_t i = 0;
    for (auto _ : state) {
        Segment s = inputs[i++ % inputs.size()];
        query(t, s);
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["faces"] = double(t.faces.size());
}

void BM_QueryCollision(benchmark::State& state) {
    run(state, moves(), [](Terrain& t, Segment s) {
        Vertex3D normal;
        benchmark::DoNotOptimize(kvxCheckCollision(&s.to, &s.from, kRadius, t.group, true, &normal, 3));
    });
}
void BM_QueryCollisionEveryFace(benchmark::State& state) {
    run(state, moves(), [](Terrain& t, Segment s) { benchmark::DoNotOptimize(touchedFaces(t.faces, s)); });
}

void BM_QueryRayDistance(benchmark::State& state) {
    run(state, slantedRays(),
        [](Terrain& t, Segment s) { benchmark::DoNotOptimize(kvxRaySceneDistance(&s.from, &s.to, t.group)); });
}
void BM_QueryRayDistanceEveryFace(benchmark::State& state) {
    run(state, slantedRays(), [](Terrain& t, Segment s) { benchmark::DoNotOptimize(nearestHit(t.faces, s)); });
}

void BM_QueryRayAnyHit(benchmark::State& state) {
    run(state, slantedRays(),
        [](Terrain& t, Segment s) { benchmark::DoNotOptimize(kvxRayScene(&s.from, &s.to, 1e30f, t.group)); });
}
void BM_QueryRayAnyHitEveryFace(benchmark::State& state) {
    run(state, slantedRays(), [](Terrain& t, Segment s) { benchmark::DoNotOptimize(anyHit(t.faces, s)); });
}

void BM_QueryHeight(benchmark::State& state) {
    run(state, verticalRays(),
        [](Terrain& t, Segment s) { benchmark::DoNotOptimize(kvxCheckHeight(&s.from, &s.to, t.group)); });
}
void BM_QueryHeightEveryFace(benchmark::State& state) {
    run(state, verticalRays(),
        [](Terrain& t, Segment s) { benchmark::DoNotOptimize(kvxCheckHeight2(&s.from, &s.to, t.group)); });
}

}  // namespace

BENCHMARK(BM_QueryCollision);
BENCHMARK(BM_QueryCollisionEveryFace);
BENCHMARK(BM_QueryRayDistance);
BENCHMARK(BM_QueryRayDistanceEveryFace);
BENCHMARK(BM_QueryRayAnyHit);
BENCHMARK(BM_QueryRayAnyHitEveryFace);
BENCHMARK(BM_QueryHeight);
BENCHMARK(BM_QueryHeightEveryFace);
