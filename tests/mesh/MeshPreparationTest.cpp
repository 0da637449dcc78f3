#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "MeshBuilders.h"
#include "ReferencePreparation.h"
#include "render/ErrorLog.h"
#include "scene/Mesh.h"

using meshtest::makeGridMesh;
using meshtest::makeMesh;

namespace {

void expectNear(const Vertex3D& v, float x, float y, float z, float eps = 1e-5f) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

bool sameBits(const Vertex3D& a, const Vertex3D& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Two triangles sharing the edge 1-2 of a unit square.
std::unique_ptr<Mesh> twoTriangles(int groupA, int groupB) {
    std::unique_ptr<Mesh> m(makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {5, 5, 5}}, {{0, 1, 2}, {1, 3, 2}}));
    m->smoothingGroups[0] = groupA;
    m->smoothingGroups[1] = groupB;
    m->textureCoords[1] = Vertex2D{0.25f, 0.75f};
    return m;
}

}  // namespace

TEST(MeshArrays, CreateExpandAndMinimize) {
    Mesh m;
    EXPECT_TRUE(m.attached);
    EXPECT_FALSE(m.facesCamera);
    EXPECT_TRUE(m.visible);
    EXPECT_EQ(m.materialGroups, nullptr);

    m.createVertices(3);
    m.createFaces(4);
    EXPECT_EQ(m.vertexCount, 3);
    EXPECT_EQ(m.faceCount, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(m.smoothingGroups[i], i);
    EXPECT_EQ(m.colors[2].a, 0.0f);

    m.originalVertices[2] = Vertex3D{7, 8, 9};
    m.faces[3] = Facelist{0, 1, 2};
    m.faceMaterials[3] = 5;
    m.faceFlags[3] = 6;
    m.expandObject(6, 5);
    EXPECT_EQ(m.vertexCount, 6);
    EXPECT_EQ(m.faceCount, 5);
    expectNear(m.originalVertices[2], 7, 8, 9);
    expectNear(m.originalVertices[5], 0, 0, 0);
    EXPECT_EQ(m.faces[3].c, 2);
    EXPECT_EQ(m.faceMaterials[3], 5);
    EXPECT_EQ(m.faceFlags[3], 6);
    EXPECT_EQ(m.smoothingGroups[3], 3);
    EXPECT_EQ(m.smoothingGroups[4], 0);
    EXPECT_EQ(m.faces[4].a + m.faces[4].b + m.faces[4].c, 0);

    m.expandObject(2, 2);  // smaller: nothing changes
    EXPECT_EQ(m.vertexCount, 6);
    EXPECT_EQ(m.faceCount, 5);

    m.minimizeVirtualTriangleCount();  // capacities are 0: nothing to do
    EXPECT_EQ(m.vertexCount, 6);
    m.vertexCapacity = 10;
    m.faceCapacity = 9;
    m.minimizeVirtualTriangleCount();
    EXPECT_EQ(m.vertexCapacity, 6);
    EXPECT_EQ(m.faceCapacity, 5);
    expectNear(m.originalVertices[2], 7, 8, 9);

    // Recreating the faces replaces every per-face array, the flags included.
    m.createFaces(2);
    EXPECT_EQ(m.faceFlags[1], 0);
}

TEST(MeshPreparation, SmoothingSplitsAlongGroupBorders) {
    auto same = twoTriangles(4, 4);
    same->prepareSmoothing();
    EXPECT_EQ(same->vertexCount, 5);

    auto split = twoTriangles(4, 9);
    split->prepareSmoothing();
    ASSERT_EQ(split->vertexCount, 7);  // one new vertex per shared corner
    EXPECT_EQ(split->faces[0].a, 0);
    EXPECT_EQ(split->faces[0].b, 1);
    EXPECT_EQ(split->faces[0].c, 2);
    // Vertex 1 is split first (index order), then vertex 2.
    EXPECT_EQ(split->faces[1].a, 5);
    EXPECT_EQ(split->faces[1].b, 3);
    EXPECT_EQ(split->faces[1].c, 6);
    expectNear(split->originalVertices[5], 1, 0, 0);
    expectNear(split->originalVertices[6], 0, 1, 0);
    EXPECT_EQ(split->textureCoords[5].x, 0.25f);
    EXPECT_EQ(split->textureCoords[5].y, 0.75f);
    // The unused vertex 4 is neither split nor removed.
    expectNear(split->originalVertices[4], 5, 5, 5);
}

TEST(MeshPreparation, SmoothingWithoutFileDataSeparatesEveryTriangle) {
    std::unique_ptr<Mesh> m(makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {1, 3, 2}, {0, 3, 1}}));
    m->prepareSmoothing();  // groups 0, 1, 2 as createFaces set them
    ASSERT_EQ(m->vertexCount, 9);
    bool seen[9] = {};
    for (int f = 0; f < 3; ++f)
        for (uint16_t v : {m->faces[f].a, m->faces[f].b, m->faces[f].c}) {
            ASSERT_LT(v, 9);
            EXPECT_FALSE(seen[v]) << "vertex " << v << " still shared";
            seen[v] = true;
        }
}

TEST(MeshPreparation, SmoothingGivesUpOnVerticesWithTooManyFaces) {
    const int fanFaces = Mesh::kMaxFacesPerVertex + 1;
    Mesh m;
    m.createVertices(fanFaces + 1);
    m.createFaces(fanFaces);
    for (int f = 0; f < fanFaces; ++f) m.faces[f] = Facelist{0, uint16_t(f + 1), uint16_t((f + 1) % fanFaces + 1)};
    m.prepareSmoothing();
    EXPECT_EQ(m.vertexCount, fanFaces + 1);
    EXPECT_EQ(m.faces[10].a, 0);

    // At exactly the limit the split goes ahead.
    m.faceCount = Mesh::kMaxFacesPerVertex;
    m.prepareSmoothing();
    EXPECT_GT(m.vertexCount, fanFaces + 1);
}

TEST(MeshPreparation, SmoothingNeverAddressesPastSixteenBitIndices) {
    const int faceCount = 40000;
    Mesh m;
    m.createVertices(3);
    m.createFaces(faceCount);
    for (int f = 0; f < faceCount; ++f) m.faces[f] = Facelist{0, 1, 2};
    // Three vertices shared by 40,000 faces exceed the per-vertex limit: unchanged.
    m.prepareSmoothing();
    EXPECT_EQ(m.vertexCount, 3);

    // A strip of 40,000 faces in groups of their own would need about 120,000
    // vertices; splitting stops when 16-bit indices run out, and every face
    // still has the corner positions it was loaded with.
    Mesh big;
    big.createVertices(faceCount + 2);
    big.createFaces(faceCount);
    for (int v = 0; v < faceCount + 2; ++v) big.originalVertices[v] = Vertex3D{float(v), 0, 0};
    for (int f = 0; f < faceCount; ++f) big.faces[f] = Facelist{uint16_t(f), uint16_t(f + 1), uint16_t(f + 2)};
    big.prepareSmoothing();
    EXPECT_EQ(big.vertexCount, Mesh::kMaxVertices);
    for (int f = 0; f < faceCount; ++f) {
        ASSERT_EQ(big.originalVertices[big.faces[f].a].x, float(f)) << f;
        ASSERT_EQ(big.originalVertices[big.faces[f].b].x, float(f + 1)) << f;
        ASSERT_EQ(big.originalVertices[big.faces[f].c].x, float(f + 2)) << f;
    }
}

TEST(MeshPreparation, CentreAndRestore) {
    std::unique_ptr<Mesh> m(makeMesh({{2, -1, 0}, {4, 1, 10}, {3, 0, 2}}, {{0, 1, 2}}));
    m->center();
    expectNear(m->position, 3, 0, 5);
    expectNear(m->originalVertices[0], -1, -1, -5);
    expectNear(m->originalVertices[1], 1, 1, 5);
    m->originalToCalculated();
    m->restoreToWorldCoordinates();
    expectNear(m->position, 0, 0, 0);
    expectNear(m->originalVertices[0], 2, -1, 0);
    expectNear(m->vertices[1], 4, 1, 10);

    Mesh empty;
    empty.position = Vertex3D{1, 2, 3};
    empty.center();
    expectNear(empty.position, 0, 0, 0);
}

TEST(MeshPreparation, NormalsAndRadius) {
    std::unique_ptr<Mesh> m(makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {9, 9, 9}}, {{0, 1, 2}, {0, 3, 1}}));
    m->originalNormals[4] = Vertex3D{0.5f, 0.25f, 0.125f};
    m->calcNormals();
    expectNear(m->originalNormals[2], 0, 0, 1);
    expectNear(m->originalNormals[3], 0, 1, 0);
    const float h = 0.70710678f;
    expectNear(m->originalNormals[0], 0, h, h);              // mean of both faces, renormalized
    expectNear(m->originalNormals[4], 0.5f, 0.25f, 0.125f);  // unused: kept

    m->originalToCalculated();
    expectNear(m->normals[1], 0, h, h);
    m->calcRadius();
    EXPECT_NEAR(m->radius, std::sqrt(243.0f), 1e-4f);

    Mesh empty;
    empty.calcRadius();
    EXPECT_EQ(empty.radius, 1.1754944e-38f);
}

TEST(MeshPreparation, AdjacencyResultsMatchTheDirectScanExactly) {
    for (unsigned seed : {1u, 2u, 3u}) {
        std::unique_ptr<Mesh> fast(makeGridMesh(24, seed, 3));
        std::unique_ptr<Mesh> slow(makeGridMesh(24, seed, 3));
        fast->prepareSmoothing();
        meshref::prepareSmoothing(*slow);
        ASSERT_EQ(fast->vertexCount, slow->vertexCount);
        for (int f = 0; f < fast->faceCount; ++f) {
            ASSERT_EQ(fast->faces[f].a, slow->faces[f].a) << f;
            ASSERT_EQ(fast->faces[f].b, slow->faces[f].b) << f;
            ASSERT_EQ(fast->faces[f].c, slow->faces[f].c) << f;
        }
        fast->calcNormals();
        meshref::calcNormals(*slow);
        for (int v = 0; v < fast->vertexCount; ++v)
            ASSERT_TRUE(sameBits(fast->originalNormals[v], slow->originalNormals[v])) << v;
    }
}

TEST(MeshPreparation, SortByMaterialKeepsEachFaceWithItsData) {
    Mesh m;
    m.createVertices(15);
    m.createFaces(5);
    const int materials[5] = {2, 0, 2, 1, 0};
    for (int f = 0; f < 5; ++f) {
        m.faces[f] = Facelist{uint16_t(3 * f), uint16_t(3 * f + 1), uint16_t(3 * f + 2)};
        m.faceMaterials[f] = materials[f];
        m.faceFlags[f] = char(f + 1);
        m.smoothingGroups[f] = 100 + f;
    }
    m.sortFacesByMaterial();
    const int order[5] = {0, 2, 1, 4, 3};
    for (int f = 0; f < 5; ++f) {
        EXPECT_EQ(m.faces[f].a, 3 * order[f]);
        EXPECT_EQ(m.faceMaterials[f], materials[order[f]]);
        EXPECT_EQ(m.faceFlags[f], order[f] + 1);
        EXPECT_EQ(m.smoothingGroups[f], 100 + order[f]);
    }
    ASSERT_NE(m.materialGroups, nullptr);
    ASSERT_EQ(m.materialGroups->count, 3);
    EXPECT_EQ(m.materialGroups->ranges[0].first, 0);
    EXPECT_EQ(m.materialGroups->ranges[0].last, 1);
    EXPECT_EQ(m.materialGroups->ranges[1].first, 2);
    EXPECT_EQ(m.materialGroups->ranges[1].last, 3);
    EXPECT_EQ(m.materialGroups->ranges[2].first, 4);
    EXPECT_EQ(m.materialGroups->ranges[2].last, 4);

    // Sorting again replaces the runs.
    m.sortFacesByMaterial();
    EXPECT_EQ(m.materialGroups->count, 3);

    Mesh noFaces;
    noFaces.sortFacesByMaterial();
    EXPECT_EQ(noFaces.materialGroups, nullptr);
}

TEST(MeshPreparation, EdgeNormalsOfPlacedFaces) {
    std::unique_ptr<Mesh> m(makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}));
    m->calcEdgeNormals();
    const float h = 0.70710678f;
    const EdgeNormal& e = m->edgeNormals[0];
    expectNear(e.n[0], 0, -1, 0);
    expectNear(e.n[1], h, h, 0);
    expectNear(e.n[2], -1, 0, 0);
    expectNear(e.n[3], 0.92387953f, -0.38268343f, 0);  // corner at B
    expectNear(e.n[4], -0.38268343f, 0.92387953f, 0);  // corner at C
    expectNear(e.n[5], -h, -h, 0);                     // corner at A

    // A quarter turn about z turns the in-plane normals with the face.
    m->rotation = Vertex3D{0, 0, 90};
    m->position = Vertex3D{10, 0, 0};
    m->calcEdgeNormals();
    expectNear(m->edgeNormals[0].n[0], 1, 0, 0);
    expectNear(m->edgeNormals[0].n[2], 0, -1, 0);

    // A degenerate face gets zero vectors, not NaNs.
    std::unique_ptr<Mesh> flat(makeMesh({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, {{0, 1, 2}}));
    flat->calcEdgeNormals();
    for (const Vertex3D& v : flat->edgeNormals[0].n) expectNear(v, 0, 0, 0);
}

TEST(MeshPreparation, StaticTransformPlacesVerticesAndNormals) {
    std::unique_ptr<Mesh> m(makeMesh({{1, 0, 0}}, {}));
    m->normals[0] = Vertex3D{1, 0, 0};
    m->position = Vertex3D{0, 0, 5};
    m->pivot = Vertex3D{1, 0, 0};
    m->rotation = Vertex3D{0, 0, 90};
    // Moved by the pivot to (2,0,0), turned to (0,2,0), moved back by -pivot and up by position.
    Vertex3D v = m->calculatedVertex(0);
    expectNear(v, -1, 2, 5);
    Vertex3D placed{}, normal{};
    m->calculatedVertex(0, &placed, &normal);
    expectNear(placed, -1, 2, 5);
    expectNear(normal, 0, 1, 0);                  // turned, not moved
    expectNear(m->calculatedVertex(7), 0, 0, 0);  // outside the array
}

TEST(MeshPreparation, FacesPastTheVertexArrayAreIgnored) {
    std::unique_ptr<Mesh> m(makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}, {0, 1, 60000}, {2, 40, 1}}));
    m->smoothingGroups[0] = 1;
    m->smoothingGroups[1] = 2;
    m->smoothingGroups[2] = 3;
    EXPECT_TRUE(m->isFaceValid(0));
    EXPECT_FALSE(m->isFaceValid(1));
    EXPECT_FALSE(m->isFaceValid(2));
    EXPECT_FALSE(m->isFaceValid(3));
    m->prepareSmoothing();
    EXPECT_EQ(m->vertexCount, 3);  // only one usable face: nothing to split
    m->calcNormals();
    expectNear(m->originalNormals[0], 0, 0, 1);
    m->calcEdgeNormals();
    expectNear(m->edgeNormals[1].n[0], 0, 0, 0);
    m->sortFacesByMaterial();
    EXPECT_EQ(m->faces[1].c, 60000);  // kept as loaded, never used as an index
}

TEST(MeshPreparation, CopyHasItsOwnArraysAndLeavesTheSourceAlone) {
    std::unique_ptr<Mesh> m(makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}}));
    m->setName("box");
    m->faceMaterials[0] = 3;
    m->smoothingGroups[0] = 42;
    m->edgeNormals[0].n[0] = Vertex3D{1, 1, 1};
    m->worldVertices[1] = Vertex3D{4, 4, 4};
    m->sortFacesByMaterial();
    m->radius = 2.5f;
    m->position = Vertex3D{1, 2, 3};

    std::unique_ptr<Mesh> c(static_cast<Mesh*>(m->copyObject()));
    EXPECT_NE(c->vertices, m->vertices);
    EXPECT_NE(c->faces, m->faces);
    EXPECT_NE(c->materialGroups, m->materialGroups);
    EXPECT_EQ(c->materialGroups->count, 1);
    EXPECT_STREQ(c->name, "box");
    expectNear(c->position, 1, 2, 3);
    EXPECT_EQ(c->radius, 2.5f);
    expectNear(c->vertices[1], 1, 0, 0);
    EXPECT_EQ(c->faceMaterials[0], 3);
    EXPECT_EQ(c->smoothingGroups[0], 0);  // fresh, as createFaces leaves them
    expectNear(c->edgeNormals[0].n[0], 0, 0, 0);
    expectNear(c->worldVertices[1], 0, 0, 0);

    c->vertices[1].x = 99;
    EXPECT_EQ(m->vertices[1].x, 1.0f);
    c.reset();
    EXPECT_EQ(m->materialGroups->count, 1);
    EXPECT_EQ(m->smoothingGroups[0], 42);
}
