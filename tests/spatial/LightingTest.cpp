#include <gtest/gtest.h>

#include <unistd.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "SpatialFixtures.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "scene/Scene.h"
#include "spatial/ShadowIndex.h"
#include "texture/Material.h"
#include "texture/TList.h"

namespace {

const Color kOrange{1.0f, 0.5f, 0.0f, 1.0f};

// One triangle whose first corner sits at the origin with normal +z.
OGroup* pointGroup(Vertex3D normal = v3(0, 0, 1)) {
    Mesh* m = makeMesh({Tri{v3(0, 0, 0), v3(1, 0, 0), v3(0, 1, 0)}});
    m->normals[0] = normal;
    return makeGroup({m}, false);
}

Color first(OGroup* g) { return g->meshes[0]->originalColors[0]; }

std::string tempPath(const char* name) {
    return std::string("/tmp/kvx-spatial-") + std::to_string(getpid()) + "-" + name;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A floor grid of quads at z = 0 (normals up) with a small occluding
// triangle above the vertex at the origin; its coordinates line up with no
// floor vertex.
std::vector<Tri> floorGrid() {
    std::vector<Tri> t;
    for (int x = -2; x < 2; ++x)
        for (int y = -2; y < 2; ++y) {
            std::vector<Tri> q = quad(float(x), float(y), float(x + 1), float(y + 1), 0);
            t.insert(t.end(), q.begin(), q.end());
        }
    return t;
}
const Tri kOccluder{v3(-0.35f, -0.45f, 2.5f), v3(0.55f, -0.35f, 2.5f), v3(0.15f, 0.65f, 2.5f)};

bool bitwiseEqual(OGroup* a, OGroup* b) {
    if (a->meshCount != b->meshCount) return false;
    for (int i = 0; i < a->meshCount; ++i)
        if (std::memcmp(a->meshes[i]->originalColors, b->meshes[i]->originalColors,
                        sizeof(Color) * size_t(a->meshes[i]->vertexCount)) != 0)
            return false;
    return true;
}

// Random triangles with random vertex normals, in a few meshes with positions.
OGroup* randomScene(unsigned seed, int faces) {
    srand(seed);
    auto r = [](float span) { return (float(rand() % 100001) / 100000.0f - 0.5f) * span; };
    std::vector<Mesh*> meshes;
    for (int k = 0; k < 3; ++k) {
        std::vector<Tri> t;
        for (int i = 0; i < faces / 3; ++i) {
            Vertex3D a = v3(r(20), r(20), r(20));
            t.push_back(Tri{a, v3(a.x + r(3), a.y + r(3), a.z + r(3)), v3(a.x + r(3), a.y + r(3), a.z + r(3))});
        }
        Mesh* m = makeMesh(t);
        m->position = v3(r(2), r(2), r(2));
        for (int v = 0; v < m->vertexCount; ++v) {
            Vertex3D n = v3(r(2), r(2), r(2));
            n.normalize();
            m->normals[v] = n;
        }
        meshes.push_back(m);
    }
    OGroup* g = makeGroup(meshes, false);
    g->addLight(makeLight(v3(0, 0, 14), Color{0.9f, 0.7f, 0.4f, 1}, 5, 40));
    g->addLight(makeLight(v3(12, -3, 2), Color{0.3f, 0.6f, 0.9f, 1}, 0, 30));
    g->addLight(makeLight(v3(-2, 1, -1), Color{0.5f, 0.5f, 0.5f, 1}, 2, 12));
    return g;
}

struct GammaGuard {
    ~GammaGuard() { kvxSetGamma(1.0f); }
};

}  // namespace

TEST(Lighting, DistanceFallOffAndAngle) {
    OGroup* g = pointGroup();
    Light at5 = lightValue(v3(0, 0, 5), kOrange, 0, 10);
    g->calcDynamicLight(&at5, 1);
    EXPECT_FLOAT_EQ(first(g).r, 0.5f);
    EXPECT_FLOAT_EQ(first(g).g, 0.25f);
    EXPECT_EQ(first(g).b, 0.0f);
    EXPECT_EQ(first(g).a, 0.0f);

    Light at12 = lightValue(v3(0, 0, 12), kOrange, 0, 10);
    g->calcDynamicLight(&at12, 1);
    EXPECT_EQ(first(g).r, 0.0f);

    Light near = lightValue(v3(0, 0, 3), kOrange, 4, 10);
    g->calcDynamicLight(&near, 1);
    EXPECT_FLOAT_EQ(first(g).r, 1.0f);
    EXPECT_FLOAT_EQ(first(g).g, 0.5f);
    // Adding more clamps at 1.
    g->calcDynamicLight(&near, 0);
    EXPECT_FLOAT_EQ(first(g).r, 1.0f);
    EXPECT_FLOAT_EQ(first(g).g, 1.0f);
    // Subtracting takes it away again.
    g->calcDynamicLight(&near, 4);
    EXPECT_FLOAT_EQ(first(g).r, 0.0f);
    EXPECT_FLOAT_EQ(first(g).g, 0.5f);
    delete g;

    // A normal facing away gets nothing, and with subtraction loses nothing.
    OGroup* away = pointGroup(v3(0, 0, -1));
    away->calcDynamicLight(&at5, 1);
    EXPECT_EQ(first(away).r, 0.0f);
    away->meshes[0]->originalColors[0] = Color{0.3f, 0.3f, 0.3f, 1};
    away->calcDynamicLight(&at5, 4);
    EXPECT_FLOAT_EQ(first(away).r, 0.3f);
    EXPECT_EQ(first(away).a, 1.0f);
    delete away;
}

TEST(Lighting, SelfIlluminationAndGamma) {
    GammaGuard guard;
    OGroup* g = pointGroup();
    TList* list = new TList();
    Material* glow = new Material();
    glow->selfIllumination = 0.3f;
    list->addMaterial(glow);
    g->addTList(list);
    g->meshes[0]->faceMaterials[0] = list->getMaterialID(glow);
    Light far = lightValue(v3(0, 0, 50), kOrange, 0, 10);
    g->calcDynamicLight(&far, 1);
    for (int v = 0; v < 3; ++v) {
        EXPECT_FLOAT_EQ(g->meshes[0]->originalColors[v].r, 0.3f);
        EXPECT_FLOAT_EQ(g->meshes[0]->originalColors[v].b, 0.3f);
        EXPECT_EQ(g->meshes[0]->originalColors[v].a, 0.0f);
    }
    // A missing material contributes nothing.
    g->meshes[0]->faceMaterials[0] = 999;
    g->calcDynamicLight(&far, 1);
    EXPECT_EQ(first(g).r, 0.0f);

    // Gamma 2 turns 0.25 into 0.5 and keeps the drawn alpha.
    kvxSetGamma(2.0f);
    g->meshes[0]->originalColors[0] = Color{0.25f, 0.25f, 4.0f, 0.0f};
    g->meshes[0]->colors[0].a = 0.75f;
    g->applyLights();
    EXPECT_FLOAT_EQ(g->meshes[0]->colors[0].r, 0.5f);
    EXPECT_FLOAT_EQ(g->meshes[0]->colors[0].b, 1.0f);  // clamped
    EXPECT_EQ(g->meshes[0]->colors[0].a, 0.75f);

    // Without lights calcDynamicLights only applies the colours.
    g->meshes[0]->originalColors[0].r = 0.64f;
    g->calcDynamicLights(1);
    EXPECT_FLOAT_EQ(first(g).r, 0.64f);
    EXPECT_FLOAT_EQ(g->meshes[0]->colors[0].r, 0.8f);
    delete g;
}

TEST(Lighting, OccluderShadowsTheVertexBelowIt) {
    for (bool indexed : {true, false}) {
        kvxShadowIndexEnabled = indexed;
        Mesh* floor = makeMesh(floorGrid());
        Mesh* wall = makeMesh({kOccluder});
        OGroup* g = makeGroup({floor, wall}, false);
        g->addLight(makeLight(v3(0, 0, 5), Color{1, 1, 1, 1}, 0, 20));
        g->calcDynamicLights(2);
        int shadowed = 0, lit = 0;
        for (int v = 0; v < floor->vertexCount; ++v) {
            const Vertex3D& p = floor->vertices[v];
            float r = floor->originalColors[v].r;
            if (p.x == 0 && p.y == 0) {
                EXPECT_EQ(r, 0.0f) << "indexed " << indexed;
                ++shadowed;
            } else {
                EXPECT_GT(r, 0.5f) << "vertex " << v << " indexed " << indexed;
                ++lit;
            }
        }
        EXPECT_GT(shadowed, 0);
        EXPECT_GT(lit, 0);
        // checkRay itself: the light's way to the origin is blocked, elsewhere it is free.
        Vertex3D origin = v3(0, 0, 0), aside = v3(1.5f, 1.5f, 0), none = v3(0, 0, 0);
        EXPECT_FALSE(g->checkRay(g->lights[0], &origin, &none));
        EXPECT_TRUE(g->checkRay(g->lights[0], &aside, &none));
        // Without the shadow bit every vertex is lit.
        g->calcDynamicLights(0);
        for (int v = 0; v < floor->vertexCount; ++v) EXPECT_GT(floor->originalColors[v].r, 0.5f);
        delete g;
    }
    kvxShadowIndexEnabled = true;
}

TEST(Lighting, FacesThroughTheVertexNeverShadowIt) {
    // A grazing light: every floor face lies along the way, but each vertex's own faces are exempt.
    Mesh* floor = makeMesh(floorGrid());
    OGroup* g = makeGroup({floor}, false);
    g->addLight(makeLight(v3(0.3f, 0.2f, 6), Color{1, 1, 1, 1}, 0, 50));
    g->calcDynamicLights(2);
    OGroup* ref = makeGroup({makeMesh(floorGrid())}, false);
    ref->addLight(makeLight(v3(0.3f, 0.2f, 6), Color{1, 1, 1, 1}, 0, 50));
    ref->calcDynamicLights(0);
    EXPECT_TRUE(bitwiseEqual(g, ref));
    delete g;
    delete ref;
}

TEST(Lighting, IndexGivesTheDirectLoopsColoursBitForBit) {
    for (unsigned seed : {1u, 2u, 3u}) {
        OGroup* fast = randomScene(seed, 900);
        OGroup* slow = randomScene(seed, 900);
        kvxShadowIndexEnabled = true;
        fast->calcDynamicLights(2);
        kvxShadowIndexEnabled = false;
        slow->calcDynamicLights(2);
        kvxShadowIndexEnabled = true;
        EXPECT_TRUE(bitwiseEqual(fast, slow)) << "seed " << seed;
        // And the shadows made a difference at all.
        OGroup* open = randomScene(seed, 900);
        open->calcDynamicLights(0);
        EXPECT_FALSE(bitwiseEqual(fast, open));
        delete fast;
        delete slow;
        delete open;
    }
}

TEST(Lighting, LightsFileRoundTripAndBadFiles) {
    Mesh* a = new Mesh();
    a->createVertices(3);
    Mesh* b = new Mesh();
    b->createVertices(5);
    OGroup* g = makeGroup({a, b}, false);
    for (int v = 0; v < 3; ++v) a->originalColors[v] = Color{0.1f * v, 0.2f, 0.3f, 1};
    for (int v = 0; v < 5; ++v) b->originalColors[v] = Color{0.5f, 0.05f * v, -1.0f, 0};
    const std::string path = tempPath("lights.bin");
    g->saveLights(path.c_str());
    std::string bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 128u);
    float r1;
    std::memcpy(&r1, bytes.data() + 16, 4);  // red of the second vertex, little-endian
    EXPECT_FLOAT_EQ(r1, 0.1f);

    std::vector<Color> before(b->originalColors, b->originalColors + 5);
    for (int v = 0; v < 3; ++v) a->originalColors[v] = Color{9, 9, 9, 9};
    for (int v = 0; v < 5; ++v) b->originalColors[v] = Color{9, 9, 9, 9};
    g->loadLights(path.c_str());
    EXPECT_FLOAT_EQ(a->originalColors[2].r, 0.2f);
    EXPECT_EQ(std::memcmp(before.data(), b->originalColors, sizeof(Color) * 5), 0);

    // Missing and short files are logged and change nothing.
    const std::string log = tempPath("error.log");
    kvxInitErrorLog(log.c_str());
    const std::string shortPath = tempPath("short.bin");
    {
        std::ofstream out(shortPath, std::ios::binary);
        out.write(bytes.data(), 100);
    }
    for (int v = 0; v < 5; ++v) b->originalColors[v] = Color{7, 7, 7, 7};
    g->loadLights(tempPath("missing.bin").c_str());
    g->loadLights(shortPath.c_str());
    EXPECT_EQ(a->originalColors[0].g, 0.2f);
    EXPECT_EQ(b->originalColors[4].r, 7.0f);
    std::string logged = readAll(log);
    EXPECT_NE(logged.find("Cannot open lights file!"), std::string::npos);
    EXPECT_NE(logged.find("Lights file is shorter"), std::string::npos);
    kvxInitErrorLog(kvxLogToNowhere);
    std::remove(path.c_str());
    std::remove(shortPath.c_str());
    std::remove(log.c_str());
    delete g;
}

TEST(SceneLighting, GroupsShadowEachOtherAndPassesRun) {
    GammaGuard guard;
    Scene scene;
    OGroup* floorGroup = makeGroup({makeMesh(floorGrid())}, false);
    OGroup* wallGroup = makeGroup({makeMesh({kOccluder})}, false);
    floorGroup->addLight(makeLight(v3(0, 0, 5), Color{0.5f, 0.5f, 0.5f, 1}, 0, 20));
    scene.groups[scene.groupCount++] = floorGroup;
    scene.groups[scene.groupCount++] = wallGroup;
    Mesh* floor = floorGroup->meshes[0];

    Vertex3D origin = v3(0, 0, 0), none = v3(0, 0, 0), aside = v3(1.5f, 1.5f, 0);
    EXPECT_FALSE(scene.checkRay(floorGroup->lights[0], &origin, &none));
    EXPECT_TRUE(scene.checkRay(floorGroup->lights[0], &aside, &none));
    EXPECT_TRUE(floorGroup->checkRay(floorGroup->lights[0], &origin, &none));  // the wall is elsewhere

    scene.calcDynamicLight(floorGroup->lights[0], 1 | 2);
    float litValue = 0;
    for (int v = 0; v < floor->vertexCount; ++v) {
        const Vertex3D& p = floor->vertices[v];
        if (p.x == 0 && p.y == 0)
            EXPECT_EQ(floor->originalColors[v].r, 0.0f);
        else
            EXPECT_GT(litValue = floor->originalColors[v].r, 0.0f);
    }
    // Scene sums are not clamped.
    Light strong = lightValue(v3(0, 0, 1), Color{5, 5, 5, 1}, 2, 20);
    scene.calcDynamicLight(&strong, 1);
    EXPECT_GT(floor->originalColors[0].r, 1.0f);

    // Self-illumination blends towards white; gamma raises to the gamma itself.
    for (int v = 0; v < floor->vertexCount; ++v) floor->originalColors[v] = Color{0.5f, 0.5f, 0.5f, 1};
    TList* list = new TList();
    Material* glow = new Material();
    glow->selfIllumination = 0.3f;
    list->addMaterial(glow);
    floorGroup->addTList(list);
    for (int f = 0; f < floor->faceCount; ++f) floor->faceMaterials[f] = f == 0 ? list->getMaterialID(glow) : 999;
    scene.calcDynamicLight(nullptr, 8);
    EXPECT_FLOAT_EQ(floor->originalColors[0].r, 0.65f);
    EXPECT_EQ(floor->originalColors[0].a, 0.0f);
    EXPECT_FLOAT_EQ(floor->originalColors[3].r, 0.5f);
    kvxSetGamma(2.0f);
    scene.calcDynamicLight(nullptr, 16);
    EXPECT_FLOAT_EQ(floor->originalColors[3].r, 0.25f);

    // calcDynamicLights with the gamma bit still lights with the first light, then applies gamma once.
    for (int f = 0; f < floor->faceCount; ++f) floor->faceMaterials[f] = 999;
    scene.calcDynamicLights(1 | 16);
    Scene plain;
    OGroup* ref = makeGroup({makeMesh(floorGrid())}, false);
    ref->addLight(makeLight(v3(0, 0, 5), Color{0.5f, 0.5f, 0.5f, 1}, 0, 20));
    plain.groups[plain.groupCount++] = ref;
    plain.calcDynamicLights(1);
    for (int v = 0; v < floor->vertexCount; ++v)
        EXPECT_FLOAT_EQ(floor->originalColors[v].r, std::pow(ref->meshes[0]->originalColors[v].r, 2.0f));
    EXPECT_GT(litValue, 0.0f);
}
