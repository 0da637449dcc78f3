#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "SpatialFixtures.h"
#include "platform/Window.h"
#include "spatial/Collision.h"
#include "texture/Material.h"
#include "texture/TList.h"

namespace {

// One large floor triangle in z = 0 facing up (or down).
OGroup* floorGroup(bool up = true, float z = 0) {
    Tri t{v3(-10, -10, z), v3(10, -10, z), v3(0, 10, z)};
    if (!up) std::swap(t.b, t.c);
    return makeGroup({makeMesh({t})});
}

void allPlanes(octreeNode* n, std::vector<Plane*>& out) {
    for (Plane* p = n->planes; p; p = p->next) out.push_back(p);
    if (n->isSplit)
        for (octreeNode* c : n->children) allPlanes(c, out);
}

// A closed box corridor [-20, 20] x [-2, 2] x [0, 4], faces pointing inwards.
OGroup* corridor() {
    std::vector<Tri> t;
    auto add = [&](const std::vector<Tri>& q) { t.insert(t.end(), q.begin(), q.end()); };
    add(quad(-20, -2, 20, 2, 0, true));   // floor
    add(quad(-20, -2, 20, 2, 4, false));  // ceiling
    // Walls y = -2 (facing +y) and y = 2 (facing -y).
    t.push_back(Tri{v3(-20, -2, 0), v3(-20, -2, 4), v3(20, -2, 0)});
    t.push_back(Tri{v3(20, -2, 0), v3(-20, -2, 4), v3(20, -2, 4)});
    t.push_back(Tri{v3(-20, 2, 0), v3(20, 2, 0), v3(-20, 2, 4)});
    t.push_back(Tri{v3(20, 2, 0), v3(20, 2, 4), v3(-20, 2, 4)});
    // End caps x = -20 (facing +x) and x = 20 (facing -x).
    t.push_back(Tri{v3(-20, -2, 0), v3(-20, 2, 0), v3(-20, -2, 4)});
    t.push_back(Tri{v3(-20, 2, 0), v3(-20, 2, 4), v3(-20, -2, 4)});
    t.push_back(Tri{v3(20, -2, 0), v3(20, -2, 4), v3(20, 2, 0)});
    t.push_back(Tri{v3(20, 2, 0), v3(20, -2, 4), v3(20, 2, 4)});
    return makeGroup({makeMesh(t)});
}

}  // namespace

TEST(Collision, SphereStopsOnAFloor) {
    OGroup* g = floorGroup();
    Vertex3D pos = v3(0, 0, 0), old = v3(0, 0, 5), normal = v3(9, 9, 9);
    EXPECT_FALSE(kvxCheckCollision(&pos, &old, 1, g, false, &normal, 0));
    EXPECT_EQ(pos.z, 0.0f);
    EXPECT_EQ(normal.x, 9.0f);

    EXPECT_TRUE(kvxCheckCollision(&pos, &old, 1, g, false, &normal, 1));
    EXPECT_EQ(pos.z, 5.0f);
    EXPECT_FLOAT_EQ(normal.z, 1.0f);

    pos = v3(0, 0, 0);
    EXPECT_TRUE(kvxCheckCollision(&pos, &old, 1, g, true, &normal, 2));
    EXPECT_FLOAT_EQ(pos.x, 0.0f);
    EXPECT_FLOAT_EQ(pos.z, 5.0f);

    // Sliding keeps the sideways part of the move.
    pos = v3(3, 0, 0);
    EXPECT_TRUE(kvxCheckCollision(&pos, &old, 1, g, true, &normal, 2));
    EXPECT_FLOAT_EQ(pos.x, 3.0f);
    EXPECT_FLOAT_EQ(pos.z, 5.0f);

    // Already touching at the old position: the plane is ignored.
    Vertex3D touching = v3(0, 0, 1), down = v3(0, 0, -1);
    EXPECT_FALSE(kvxCheckCollision(&down, &touching, 1, g, false, &normal, 3));
    EXPECT_EQ(down.z, -1.0f);

    // A move that stops short of the floor is free.
    Vertex3D shortMove = v3(0, 0, 2);
    EXPECT_FALSE(kvxCheckCollision(&shortMove, &old, 1, g, false, &normal, 3));
    EXPECT_EQ(shortMove.z, 2.0f);

    // Every visited mark is cleared again.
    std::vector<Plane*> planes;
    allPlanes(g->octree, planes);
    ASSERT_FALSE(planes.empty());
    for (Plane* p : planes) EXPECT_FALSE(p->visited);

    OGroup noTree;
    EXPECT_FALSE(kvxCheckCollision(&pos, &old, 1, &noTree, true, &normal, 3));
    EXPECT_FALSE(kvxCheckCollision(&pos, &old, 1, nullptr, true, &normal, 3));
    delete g;
}

TEST(Collision, TwoSidedFacesStopFromBehind) {
    OGroup* g = floorGroup(false);  // faces down
    Vertex3D pos = v3(0, 0, 0), old = v3(0, 0, 5), normal;
    EXPECT_FALSE(kvxCheckCollision(&pos, &old, 1, g, false, &normal, 2));

    TList* list = new TList();
    Material* mat = new Material();
    mat->twoSided = true;
    list->addMaterial(mat);
    g->addTList(list);
    g->meshes[0]->faceMaterials[0] = list->getMaterialID(mat);
    pos = v3(0, 0, 0);
    EXPECT_TRUE(kvxCheckCollision(&pos, &old, 1, g, false, &normal, 2));
    EXPECT_EQ(pos.z, 5.0f);
    delete g;
}

TEST(Collision, SphereNeverLeavesACorridor) {
    OGroup* g = corridor();
    srand(1234);
    const float radius = 0.5f;
    Vertex3D pos = v3(0, 0, 2), normal;
    int hits = 0;
    for (int i = 0; i < 1000; ++i) {
        auto step = [] { return (float(rand() % 2001) / 1000.0f - 1.0f) * 0.45f; };
        Vertex3D old = pos;
        // Drift towards a wall now and then so that all of them are hit.
        Vertex3D wanted = v3(pos.x + step() + (i % 200 < 100 ? 0.1f : -0.1f), pos.y + step(), pos.z + step());
        Vertex3D result = wanted;
        if (kvxCheckCollision(&result, &old, radius, g, true, &normal, 3)) ++hits;
        pos = result;
        ASSERT_GT(pos.y, -2 + radius * 0.99f) << "move " << i;
        ASSERT_LT(pos.y, 2 - radius * 0.99f) << "move " << i;
        ASSERT_GT(pos.z, radius * 0.99f) << "move " << i;
        ASSERT_LT(pos.z, 4 - radius * 0.99f) << "move " << i;
        ASSERT_LT(std::fabs(pos.x), 20 - radius * 0.99f) << "move " << i;
    }
    EXPECT_GT(hits, 50);
    delete g;
}

TEST(Collision, HeightQueriesOverAFloor) {
    OGroup* g = floorGroup(true, -10);
    Vertex3D from = v3(0, 0, 0), to = v3(0, 0, -20);
    Vertex3D h = kvxCheckHeight(&from, &to, g);
    EXPECT_FLOAT_EQ(h.z, -10.0f);
    EXPECT_FLOAT_EQ(h.x, 0.0f);
    h = kvxCheckNegativeHeight(&from, &to, g);
    EXPECT_FLOAT_EQ(h.z, -10.0f);
    h = kvxCheckHeight2(&from, &to, g);  // -10 is not above zero
    EXPECT_EQ(h.z, 0.0f);
    // From outside the tree: a segment that misses it finds nothing, one
    // that enters it finds the floor.
    Vertex3D farAway = v3(100, 100, 100), farTo = v3(100, 100, -100);
    EXPECT_EQ(kvxCheckHeight(&farAway, &farTo, g).z, kvxNoHeight);
    EXPECT_EQ(kvxCheckNegativeHeight(&farAway, &farTo, g).z, kvxNoNegativeHeight);
    Vertex3D sky = v3(0, 0, 500), ground = v3(0, 0, -500);
    EXPECT_FLOAT_EQ(kvxCheckHeight(&sky, &ground, g).z, -10.0f);
    EXPECT_FLOAT_EQ(kvxRaySceneDistance(&sky, &ground, g), 510.0f);
    delete g;

    OGroup* down = floorGroup(false, -10);
    EXPECT_EQ(kvxCheckHeight(&from, &to, down).z, kvxNoHeight);
    delete down;

    // Two floors: the highest and the lowest are told apart; the tree-less
    // query sees the one above zero.
    Tri low{v3(-10, -10, -5), v3(10, -10, -5), v3(0, 10, -5)};
    Tri high{v3(-10, -10, 3), v3(10, -10, 3), v3(0, 10, 3)};
    OGroup* two = makeGroup({makeMesh({low, high})});
    Vertex3D top = v3(0, 0, 8), bottom = v3(0, 0, -8);
    EXPECT_FLOAT_EQ(kvxCheckHeight(&top, &bottom, two).z, 3.0f);
    EXPECT_FLOAT_EQ(kvxCheckNegativeHeight(&top, &bottom, two).z, -5.0f);
    EXPECT_FLOAT_EQ(kvxCheckHeight2(&top, &bottom, two).z, 3.0f);
    delete two;
}

TEST(Collision, RayQueries) {
    OGroup* g = floorGroup(true, -5);
    Vertex3D from = v3(0, 0, 0), to = v3(0, 0, -10);
    EXPECT_TRUE(kvxRayScene(&from, &to, 6, g));
    EXPECT_FALSE(kvxRayScene(&from, &to, 4, g));
    EXPECT_FLOAT_EQ(kvxRaySceneDistance(&from, &to, g), 5.0f);
    Vertex3D up = v3(0, 0, 10);
    EXPECT_EQ(kvxRaySceneDistance(&from, &up, g), kvxNoRayDistance);
    OGroup noTree;
    EXPECT_EQ(kvxRaySceneDistance(&from, &to, &noTree), kvxNoRayDistance);
    EXPECT_FALSE(kvxRayScene(&from, &to, 100, nullptr));

    // kvxRayBox reads world vertices and takes the first face in face order.
    Mesh* m = g->meshes[0];
    for (int v = 0; v < m->vertexCount; ++v) m->worldVertices[v] = m->vertices[v];
    Vertex3D hit;
    EXPECT_TRUE(kvxRayBox(&from, &to, m, &hit));
    EXPECT_FLOAT_EQ(hit.z, -5.0f);
    EXPECT_TRUE(kvxRayBox(&from, &to, m, nullptr));
    EXPECT_FALSE(kvxRayBox(&from, &up, m, &hit));
    Mesh empty;
    EXPECT_FALSE(kvxRayBox(&from, &to, &empty, &hit));
    delete g;
}

TEST(Collision, OpacityMappedFacesAreHitAboutHalfTheTime) {
    OGroup* g = floorGroup(true, -5);
    TList* list = new TList();
    Material* mat = new Material();
    mat->opacityTexture = reinterpret_cast<Texture*>(&mat->id);  // only tested for null
    list->addMaterial(mat);
    g->addTList(list);
    g->meshes[0]->faceMaterials[0] = list->getMaterialID(mat);
    Vertex3D from = v3(0, 0, 0), to = v3(0, 0, -10);
    srand(99);
    int accepted = 0;
    for (int i = 0; i < 1000; ++i)
        if (kvxRaySceneDistance(&from, &to, g) < 100) ++accepted;
    EXPECT_GT(accepted, 400);
    EXPECT_LT(accepted, 600);
    mat->opacityTexture = nullptr;
    delete g;
}

TEST(Collision, Utilities) {
    char* p = static_cast<char*>(malloc(16));
    kvxFree(&p);
    EXPECT_EQ(p, nullptr);
    kvxFree(&p);
    EXPECT_EQ(p, nullptr);
    float* f = static_cast<float*>(malloc(16));
    kvxFree(&f);
    EXPECT_EQ(f, nullptr);
    unsigned int start = kvxGetTickCount();
    wait(20);
    EXPECT_GE(kvxGetTickCount() - start, 20u);
}
