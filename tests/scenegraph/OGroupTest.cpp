// Containers, lookups, removal, sharing and whole-group edits.

#include <cmath>
#include <vector>

#include "GroupTestSupport.h"
#include "scene/SceneMessages.h"

using namespace kvxtest;

namespace {

TEST(OGroup, ContainersRefuseAdditionsWhenFull) {
    kvxtest::LogCapture log("ogroup-full.log");
    OGroup g;
    for (int i = 0; i < OGroup::maxMeshs; ++i) ASSERT_EQ(g.addMesh(new Mesh()), 0);
    Mesh extra;
    EXPECT_EQ(g.addMesh(&extra), kCodeMeshListFull);
    EXPECT_EQ(g.meshCount, 4096);
    EXPECT_TRUE(log.contains("MeshList is full (OGroup) create another OGroup or increase number of maxMeshs"));
    for (int i = 0; i < OGroup::maxCameras; ++i) ASSERT_EQ(g.addCamera(new Camera()), 0);
    Camera spare;
    EXPECT_EQ(g.addCamera(&spare), kCodeCameraListFull);
    for (int i = 0; i < OGroup::maxLights; ++i) ASSERT_EQ(g.addLight(new Light()), 0);
    Light lamp;
    EXPECT_EQ(g.addLight(&lamp), kCodeLightListFull);
    for (int i = 0; i < OGroup::maxTLists; ++i) ASSERT_EQ(g.addTList(new TList()), 0);
    TList list;
    EXPECT_EQ(g.addTList(&list), kCodeTListListFull);
    for (int i = 0; i < OGroup::maxPathLists; ++i) ASSERT_EQ(g.addPathList(new PathList()), 0);
    PathList paths;
    EXPECT_EQ(g.addPathList(&paths), kCodePathListFull);
    g.clear();
    EXPECT_EQ(g.meshCount + g.cameraCount + g.lightCount + g.tlistCount + g.pathListCount, 0);
    EXPECT_EQ(g.meshes[0], nullptr);
}

TEST(OGroup, FirstAdditionsBecomeActive) {
    OGroup g;
    Camera* a = new Camera();
    Camera* b = new Camera();
    g.addCamera(a);
    g.addCamera(b);
    EXPECT_EQ(g.activeCamera, a);
    TList* t1 = new TList();
    g.addTList(t1);
    g.addTList(new TList());
    EXPECT_EQ(g.activeTList, t1);
    PathList* p1 = new PathList();
    g.addPathList(p1);
    g.addPathList(new PathList());
    EXPECT_EQ(g.activePathList, p1);

    EXPECT_EQ(g.setActiveCamera(1), 0);
    EXPECT_EQ(g.activeCamera, b);
    EXPECT_EQ(g.setActiveCamera(2), kCodeCamListNull);
    EXPECT_EQ(g.setActiveCamera(-1), kCodeCamListNull);
    EXPECT_EQ(g.setActiveCamera(1000), kCodeCamListNull);
    EXPECT_EQ(g.setActiveTList(5), kCodeTListNull);
    EXPECT_EQ(g.setActivePathList(64), kCodePathListNull);

    // Activating a path list takes its frame range and gives out its pivots.
    Mesh* m = unitTriangle("m");
    g.addMesh(m);
    PathList* p2 = g.pathLists[1];
    p2->startFrame = 10;
    p2->endFrame = 50;
    p2->frameCount = 40;
    p2->clampFrames = true;
    p2->initPivots(1);
    Vertex3D pivot{1, 2, 3};
    p2->addPivotPoint(m, &pivot);
    EXPECT_EQ(g.setActivePathList(1), 0);
    EXPECT_EQ(g.frameCount, 40);
    EXPECT_EQ(g.startFrame, 10);
    EXPECT_TRUE(g.clampFrames);
    EXPECT_FLOAT_EQ(m->pivot.z, 3.0f);
}

TEST(OGroup, FindObjectSearchesMeshesThenLightsThenCameras) {
    OGroup g;
    Camera* c = new Camera();
    c->setName("x");
    c->id = 7;
    g.addCamera(c);
    Light* l = new Light();
    l->setName("x");
    l->id = 7;
    g.addLight(l);
    EXPECT_EQ(g.findObject("x"), l);
    EXPECT_EQ(g.findObject(7), l);
    Mesh* m = unitTriangle("x");
    m->id = 7;
    g.addMesh(m);
    EXPECT_EQ(g.findObject("x"), m);
    EXPECT_EQ(g.findObject(7), m);
    EXPECT_EQ(g.findObject("X"), nullptr);
    m->id = -1;
    EXPECT_EQ(g.findObject(-1), nullptr);
    EXPECT_EQ(g.findObject(8), nullptr);
}

TEST(OGroup, DelMeshDropsItsPathsAndPivots) {
    kvxtest::window();
    OGroup g;
    Mesh* a = unitTriangle("a");
    Mesh* b = unitTriangle("b");
    Mesh* c = unitTriangle("c");
    g.addMesh(a);
    g.addMesh(b);
    g.addMesh(c);
    PathList* list = animate(g, 100);
    list->addPath(xPath(b, {{0, 1.0f}}));
    list->addPath(xPath(c, {{0, 2.0f}}));
    list->addPath(zTurns(b, {{0, 30.0f}}));
    list->initPivots(3);
    list->addPivotPoint(a, &a->pivot);
    list->addPivotPoint(b, &b->pivot);
    list->addPivotPoint(c, &c->pivot);

    EXPECT_EQ(g.delMesh(b), 0);
    EXPECT_EQ(g.meshCount, 2);
    EXPECT_EQ(g.meshes[0], a);
    EXPECT_EQ(g.meshes[1], c);
    EXPECT_EQ(g.meshes[2], nullptr);
    ASSERT_EQ(list->pathCount, 1);
    EXPECT_EQ(list->paths[0]->object, c);
    EXPECT_EQ(list->pivotCount, 2);
    EXPECT_EQ(g.setActivePathList(0), 0);  // must not write through the freed mesh

    Mesh stranger;
    EXPECT_EQ(g.delMesh(&stranger), kCodeObjectNotFound);
    EXPECT_EQ(g.delMesh(nullptr), kCodeObjectNull);
}

TEST(OGroup, CopyMaterialFaceStructuresSharesListsDestroyedOnce) {
    kvxtest::LogCapture log("copy-materials.log");
    OGroup* source = new OGroup();
    OGroup* target = new OGroup();
    Mesh* s = unitTriangle("tri");
    s->faceMaterials[0] = 3;
    s->sortFacesByMaterial();
    source->addMesh(s);
    source->addTList(new TList());
    target->addMesh(unitTriangle("tri"));
    target->addTList(new TList());
    EXPECT_EQ(source->copyMaterialFaceStructures(nullptr), kCodeGroupNull);
    ASSERT_EQ(source->copyMaterialFaceStructures(target), 0);
    EXPECT_EQ(target->meshes[0]->faceMaterials[0], 3);
    ASSERT_NE(target->meshes[0]->materialGroups, nullptr);
    EXPECT_NE(target->meshes[0]->materialGroups, s->materialGroups);
    EXPECT_EQ(target->tlistCount, 1);
    EXPECT_EQ(target->tlists[0], source->tlists[0]);
    EXPECT_EQ(target->activeTList, source->tlists[0]);
    // Copying again keeps the one shared list alive in both.
    ASSERT_EQ(source->copyMaterialFaceStructures(target), 0);
    delete source;
    ASSERT_NE(target->activeTList->head, nullptr);
    EXPECT_STREQ(target->activeTList->head->name, "KVXDefault");
    delete target;

    OGroup a, b;
    a.addMesh(unitTriangle("only-in-a"));
    EXPECT_EQ(a.copyMaterialFaceStructures(&b), kCodeObjectNull);
    b.addMesh(triangleMesh("only-in-a", {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0, 1, 0, 1}));
    EXPECT_EQ(a.copyMaterialFaceStructures(&b), kCodeSceneStructure);
    EXPECT_TRUE(log.contains("Fatal! Engine internal structure copy failed!"));
}

TEST(OGroup, AttachMergesMarkedMeshes) {
    OGroup g;
    Mesh* a = unitTriangle("a");
    Mesh* b = triangleMesh("b", {5, 5, 5, 6, 5, 5, 5, 6, 5});
    Mesh* keep = unitTriangle("keep");
    g.addMesh(a);
    g.addMesh(keep);
    g.addMesh(b);
    g.markAttach(false, keep);
    g.markAttach(true, nullptr);
    g.attach();
    ASSERT_EQ(g.meshCount, 2);
    EXPECT_EQ(g.meshes[0], keep);
    Mesh* merged = g.meshes[1];
    EXPECT_STREQ(merged->name, "AttachedObject");
    EXPECT_EQ(merged->vertexCount, 6);
    ASSERT_EQ(merged->faceCount, 2);
    EXPECT_EQ(merged->faces[1].a, 3);
    EXPECT_EQ(merged->faces[1].b, 4);
    EXPECT_EQ(merged->faces[1].c, 5);
    EXPECT_FLOAT_EQ(merged->vertices[3].x, 5.0f);
    EXPECT_EQ(merged->smoothingGroups[1], 0);  // b's own group, not the merged face index
    EXPECT_EQ(g.octree, nullptr);
}

TEST(OGroup, AdjustSizeScalesEverythingByTheReference) {
    kvxtest::window();
    OGroup g;
    Mesh* cube = triangleMesh("ref", {0, 0, 0, 1, 0, 0, 0, 1, 1});
    Mesh* m = unitTriangle("m");
    m->position = Vertex3D{1, 2, 3};
    m->pivot = Vertex3D{1, 0, 0};
    m->radius = 2.0f;
    g.addMesh(cube);
    g.addMesh(m);
    Light* l = new Light();
    l->location = Vertex3D{0, 0, 4};
    g.addLight(l);
    Camera* c = new Camera();
    c->eye = Vertex3D{1, 1, 1};
    c->target = Vertex3D{2, 2, 2};
    g.addCamera(c);
    PathList* list = animate(g, 10);
    list->addPath(xPath(m, {{0, 1.0f}, {5, 2.0f}}));
    list->initPivots(1);
    Vertex3D pivot{0, 3, 0};
    list->addPivotPoint(m, &pivot);

    g.adjustSize(cube, 10.0f);
    EXPECT_FALSE(cube->visible);
    EXPECT_FLOAT_EQ(m->vertices[1].x, 10.0f);
    EXPECT_FLOAT_EQ(m->position.z, 30.0f);
    EXPECT_FLOAT_EQ(m->pivot.x, 10.0f);
    EXPECT_FLOAT_EQ(m->radius, 20.0f);
    EXPECT_FLOAT_EQ(m->originalVertices[1].x, 1.0f);
    EXPECT_FLOAT_EQ(list->paths[0]->keys[1].position.x, 20.0f);
    EXPECT_FLOAT_EQ(list->paths[0]->keys[2].position.x, 20.0f);  // closing key too
    EXPECT_FLOAT_EQ(list->pivots[0].point.y, 30.0f);
    EXPECT_FLOAT_EQ(l->location.z, 40.0f);
    EXPECT_FLOAT_EQ(c->eye.x, 10.0f);
    EXPECT_FLOAT_EQ(c->target.x, 2.0f);

    // A flat reference gives no factor and changes nothing.
    Mesh* flat = triangleMesh("flat", {1, 1, 1, 1, 1, 1, 1, 1, 1});
    g.addMesh(flat);
    g.adjustSize(flat, 5.0f);
    EXPECT_FLOAT_EQ(m->vertices[1].x, 10.0f);
}

TEST(OGroup, CloseCombineWeldsWithinTheTolerance) {
    OGroup g;
    Mesh* m = triangleMesh("m", {0, 0, 0, 100, 0, 0, 0.5f, 0.5f, 0.5f, 100, 100, 100, 99.2f, 100, 100, 0, 50, 0});
    g.addMesh(m);
    g.closeCombine(1.0f);  // 1 % of 100 units
    EXPECT_FLOAT_EQ(m->originalVertices[2].x, 0.0f);
    EXPECT_FLOAT_EQ(m->originalVertices[4].x, 100.0f);
    EXPECT_FLOAT_EQ(m->originalVertices[5].y, 50.0f);
}

// The pairwise rule, in index order, on a cloud with many close points.
TEST(OGroup, CloseCombineEqualsComparingEveryPairInOrder) {
    const int n = 600;
    std::vector<Vertex3D> pts(n);
    unsigned seed = 12345;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return static_cast<float>((seed >> 8) % 2000) * 0.05f;  // 0 .. 100 in steps of 0.05
    };
    for (Vertex3D& p : pts) p = Vertex3D{next(), next() * 0.02f, next() * 0.02f};
    const float t = 100.0f * 1.5f * 0.01f;
    OGroup g;
    Mesh* m = new Mesh();
    m->createVertices(n);
    for (int i = 0; i < n; ++i) m->originalVertices[i] = pts[i];
    m->originalVertices[0] = Vertex3D{0, 0, 0};
    m->originalVertices[1] = Vertex3D{100, 0, 0};
    std::vector<Vertex3D> want(m->originalVertices, m->originalVertices + n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (std::fabs(want[j].x - want[i].x) < t && std::fabs(want[j].y - want[i].y) < t &&
                std::fabs(want[j].z - want[i].z) < t)
                want[j] = want[i];
    g.addMesh(m);
    g.closeCombine(1.5f);
    int moved = 0;
    for (int i = 0; i < n; ++i) {
        EXPECT_FLOAT_EQ(m->originalVertices[i].x, want[i].x) << i;
        EXPECT_FLOAT_EQ(m->originalVertices[i].y, want[i].y) << i;
        EXPECT_FLOAT_EQ(m->originalVertices[i].z, want[i].z) << i;
        moved += pts[i].x != want[i].x;
    }
    EXPECT_GT(moved, 100);

    // Many identical vertices weld at once instead of pair by pair.
    Mesh* same = new Mesh();
    same->createVertices(65535);
    same->originalVertices[65534] = Vertex3D{1, 1, 1};
    OGroup h;
    h.addMesh(same);
    h.closeCombine(150.0f);
    EXPECT_FLOAT_EQ(same->originalVertices[65534].x, 0.0f);
}

// Coordinates near the float limits: the neighbourhood of a point must stay
// a few cells wide instead of spanning every cell of an axis.
TEST(OGroup, CloseCombineNearTheFloatLimits) {
    const float top = 3.4e38f, low = 1.8e38f, mid = 2.5e38f;  // top + t overflows to infinity
    const std::vector<Vertex3D> pts = {{top, top, top},           {low, low, low}, {top, low, top},
                                       {top * 0.9999f, top, top}, {mid, mid, mid}, {top, top * 0.99f, top * 0.9999f}};
    Mesh* m = new Mesh();
    m->createVertices(int(pts.size()));
    for (size_t i = 0; i < pts.size(); ++i) m->originalVertices[i] = pts[i];
    OGroup g;
    g.addMesh(m);
    g.closeCombine(0.5f);  // t is 0.5 % of an extent near the float limit
    const float t = (top - low) * 0.5f * 0.01f;
    std::vector<Vertex3D> want = pts;
    for (size_t i = 0; i < want.size(); ++i)
        for (size_t j = 0; j < want.size(); ++j)
            if (std::fabs(want[j].x - want[i].x) < t && std::fabs(want[j].y - want[i].y) < t &&
                std::fabs(want[j].z - want[i].z) < t)
                want[j] = want[i];
    for (size_t i = 0; i < pts.size(); ++i) {
        EXPECT_EQ(m->originalVertices[i].x, want[i].x) << i;
        EXPECT_EQ(m->originalVertices[i].y, want[i].y) << i;
        EXPECT_EQ(m->originalVertices[i].z, want[i].z) << i;
    }
    EXPECT_EQ(m->originalVertices[3].x, top);          // pulled onto vertex 0
    EXPECT_EQ(m->originalVertices[5].y, top * 0.99f);  // stays: y differs by more than t
    EXPECT_EQ(m->originalVertices[2].y, low);
}

TEST(OGroup, LoadClearsWithBitOneAndLeavesAStillFileUnanimated) {
    kvxtest::window();
    OGroup g;
    g.load(kvxtest::dataFile("RotatingCube.3DS").c_str(), kvxLoadScene, "");
    EXPECT_TRUE(g.animated);
    EXPECT_EQ(g.meshCount, 1);
    g.load(kvxtest::dataFile("fels.3ds").c_str(), kvxLoadScene, "");
    EXPECT_EQ(g.meshCount, 2);
    g.clear();
    EXPECT_FALSE(g.animated);
    EXPECT_EQ(g.load(kvxtest::dataFile("fels.3ds").c_str(), 0x11FD, ""), 0);
    EXPECT_EQ(g.meshCount, 1);
    EXPECT_FALSE(g.animated);
    EXPECT_EQ(g.load("/missing.3ds", 0x11FD, ""), 0);
    EXPECT_EQ(g.meshCount, 0);
    EXPECT_EQ(g.constructOctree(), 44);
}

}  // namespace
