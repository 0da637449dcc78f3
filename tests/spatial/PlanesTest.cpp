#include <gtest/gtest.h>

#include <vector>

#include "SpatialFixtures.h"

namespace {

// A root holding the faces of the meshes without splitting, with planes.
octreeNode* leafOf(const std::vector<Mesh*>& meshes) {
    octreeNode* root = new octreeNode();
    for (Mesh* m : meshes)
        for (int f = 0; f < m->faceCount; ++f) root->insert(m, f, true);
    root->adjustSize();
    root->makePlanes(0.001f);
    return root;
}

int planeCount(const octreeNode* n) {
    int c = 0;
    for (Plane* p = n->planes; p; p = p->next) ++c;
    return c;
}

const Tri kUp{v3(0, 0, 0), v3(1, 0, 0), v3(0, 1, 0)};
const Tri kUp2{v3(1, 1, 0), v3(0, 1, 0), v3(1, 0, 0)};
const Tri kDown{v3(1, 1, 0), v3(1, 0, 0), v3(0, 1, 0)};

}  // namespace

TEST(CollisionPlanes, OneTriangleGivesOnePlane) {
    Mesh* m = makeMesh({Tri{v3(1, 2, 3), v3(2, 2, 3), v3(1, 3, 3)}});
    octreeNode* root = leafOf({m});
    ASSERT_NE(root->planes, nullptr);
    EXPECT_EQ(root->planes->count, 1);
    EXPECT_EQ(root->planes->origin.x, 1.0f);
    EXPECT_EQ(root->planes->origin.z, 3.0f);
    EXPECT_FLOAT_EQ(root->planes->normal.z, 1.0f);
    EXPECT_EQ(root->planes->points[0].face, 0);
    EXPECT_EQ(root->planes->points[0].mesh, m);
    EXPECT_FALSE(root->planes->visited);
    delete root;
    delete m;
}

TEST(CollisionPlanes, GroupingFollowsFacingAndMaterial) {
    Mesh* same = makeMesh({kUp, kUp2});
    octreeNode* a = leafOf({same});
    EXPECT_EQ(planeCount(a), 2);  // coplanar, same facing: separate planes

    Mesh* backToBack = makeMesh({kUp, kDown});
    octreeNode* b = leafOf({backToBack});
    ASSERT_EQ(planeCount(b), 1);
    EXPECT_EQ(b->planes->count, 2);
    EXPECT_EQ(b->planes->points[1].face, 1);

    Mesh* up = makeMesh({kUp}, 1);
    Mesh* down = makeMesh({kDown}, 2);
    octreeNode* c = leafOf({up, down});
    EXPECT_EQ(planeCount(c), 2);  // different materials never join
    delete a;
    delete b;
    delete c;
    delete same;
    delete backToBack;
    delete up;
    delete down;
}

TEST(CollisionPlanes, ToleranceOfThePlaneDistance) {
    auto offBy = [](float dz) { return Tri{v3(1, 1, dz), v3(1, 0, dz), v3(0, 1, dz)}; };
    Mesh* close = makeMesh({kUp, offBy(0.0005f)});
    Mesh* far = makeMesh({kUp, offBy(0.0011f)});
    octreeNode* a = leafOf({close});
    octreeNode* b = leafOf({far});
    EXPECT_EQ(planeCount(a), 1);
    EXPECT_EQ(planeCount(b), 2);
    delete a;
    delete b;
    delete close;
    delete far;
}

TEST(CollisionPlanes, NumberingFollowsPreOrderAndRebuildReplaces) {
    // Spread faces so the root splits, then check ids are 0, 1, 2 ... in pre-order.
    std::vector<Tri> tris;
    for (int i = 0; i < 24; ++i) {
        float x = float(i % 4) * 3, y = float(i / 4 % 3) * 3, z = float(i / 12) * 5;
        tris.push_back(Tri{v3(x, y, z), v3(x + 1, y, z), v3(x, y + 1, z)});
    }
    Mesh* m = makeMesh(tris);
    octreeNode* root = leafOf({m});
    root->split(5, 5, nullptr);
    root->makePlanes(0.001f);
    std::vector<octreeNode*> leaves;
    collectLeaves(root, leaves);
    int expected = 0;
    for (octreeNode* leaf : leaves)
        for (Plane* p = leaf->planes; p; p = p->next) EXPECT_EQ(p->planeId, expected++);
    EXPECT_GE(expected, 24);
    EXPECT_EQ(root->planes, nullptr);  // split nodes keep no polygons, so no planes
    // A second build frees and replaces the lists (checked under the sanitizers).
    root->makePlanes(0.001f);
    expected = 0;
    for (octreeNode* leaf : leaves)
        for (Plane* p = leaf->planes; p; p = p->next) EXPECT_EQ(p->planeId, expected++);
    octreeNode empty;
    EXPECT_EQ(empty.destroyPlanes(), 0);
    EXPECT_EQ(leaves[0]->destroyPlanes(), 0);
    EXPECT_EQ(leaves[0]->planes, nullptr);
    delete root;
    delete m;
}

TEST(CollisionPlanes, CombineRenumbersMatchingPlanes) {
    Mesh* m1 = makeMesh({kUp});
    Mesh* m2 = makeMesh({kDown, Tri{v3(0, 0, 5), v3(0, 1, 5), v3(1, 0, 5)}});
    octreeNode* a = leafOf({m1});
    octreeNode* b = leafOf({m2});
    // b's planes: the down triangle (id 0) and the one at z = 5 (id 1); give b distinct ids.
    b->planes->planeId = 7;
    b->planes->next->planeId = 8;
    octreeNodeAccess::combinePlanes(*a, b, 0.001f);
    EXPECT_EQ(a->planes->planeId, 7);  // facing away and in the same plane
    delete a;
    delete b;
    delete m1;
    delete m2;
}
