#include <gtest/gtest.h>

#include <vector>

#include "SpatialFixtures.h"

namespace {

// A tree over scattered small triangles in [0, 64]^3, split to several levels.
struct ScatterTree {
    Mesh* mesh;
    octreeNode* root;

    ScatterTree() {
        std::vector<Tri> tris;
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y)
                for (int z = 0; z < 8; ++z) {
                    float bx = x * 8.0f + 2, by = y * 8.0f + 2, bz = z * 8.0f + 2;
                    tris.push_back(Tri{v3(bx, by, bz), v3(bx + 1, by, bz), v3(bx, by + 1, bz)});
                }
        tris.push_back(Tri{v3(0, 0, 0), v3(0.1f, 0, 0), v3(0, 0.1f, 0)});
        tris.push_back(Tri{v3(64, 64, 64), v3(63.9f, 64, 64), v3(64, 63.9f, 64)});
        mesh = makeMesh(tris);
        root = new octreeNode();
        for (int f = 0; f < mesh->faceCount; ++f) root->insert(mesh, f, true);
        root->adjustSize();
        root->split(5, 5, nullptr);
    }
    ~ScatterTree() {
        delete root;
        delete mesh;
    }
};

// Guard entries after the capacity must stay untouched.
struct GuardedArray {
    static const int kSize = 4096;
    octreeNode* slots[kSize];
    octreeNode* const guard = reinterpret_cast<octreeNode*>(0x1);
    GuardedArray() {
        for (octreeNode*& s : slots) s = guard;
    }
    bool untouchedFrom(int i) const {
        for (; i < kSize; ++i)
            if (slots[i] != guard) return false;
        return true;
    }
};

}  // namespace

TEST(OctreeQueries, TraverseFindsTheHoldingLeaf) {
    ScatterTree t;
    Vertex3D outside = v3(-1, 5, 5), inside = v3(10.5f, 18.5f, 42.1f), corner = v3(0, 0, 0);
    EXPECT_EQ(t.root->traverse(&outside), nullptr);
    EXPECT_EQ(t.root->traverse(nullptr), nullptr);
    octreeNode* leaf = t.root->traverse(&inside);
    ASSERT_NE(leaf, nullptr);
    EXPECT_FALSE(leaf->isSplit);
    for (int i = 0; i < 3; ++i) {
        const float p[3] = {inside.x, inside.y, inside.z};
        EXPECT_GE(p[i], leaf->boxMin[i]);
        EXPECT_LE(p[i], leaf->boxMax[i]);
    }
    EXPECT_NE(t.root->traverse(&corner), nullptr);  // faces and corners are inside
    // On the centre boundary the lower-numbered child wins.
    Vertex3D centre = v3(32, 32, 32);
    octreeNode* c = t.root->traverse(&centre);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->boxMax[0], 32.0f);
    EXPECT_EQ(c->boxMax[2], 32.0f);
}

TEST(OctreeQueries, RayWalkStaysWithinCapacity) {
    ScatterTree t;
    Vertex3D from = v3(0.5f, 0.5f, 0.5f), to = v3(63.5f, 63.5f, 63.5f);
    GuardedArray all;
    int n = t.root->traverseRay(&from, &to, all.slots, 1024);
    ASSERT_GT(n, 3);
    EXPECT_TRUE(all.untouchedFrom(n));
    // Every leaf once, in tree order; capacity 1 gives the first of them.
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) EXPECT_NE(all.slots[i], all.slots[j]);
    GuardedArray one;
    EXPECT_EQ(t.root->traverseRay(&from, &to, one.slots, 1), 1);
    EXPECT_EQ(one.slots[0], all.slots[0]);
    EXPECT_TRUE(one.untouchedFrom(1));
    GuardedArray some;
    EXPECT_EQ(t.root->traverseRay(&from, &to, some.slots, 3), 3);
    EXPECT_TRUE(some.untouchedFrom(3));
    // Start outside the root: the leaves the segment crosses inside it, the
    // same as from where it enters; nothing for a segment that misses.
    Vertex3D outside = v3(-10, 32, 32), beyond = v3(80, 32, 32), entry = v3(0, 32, 32);
    GuardedArray clipped;
    const int crossed = t.root->traverseRay(&outside, &beyond, all.slots, 1024);
    EXPECT_GT(crossed, 0);
    EXPECT_EQ(t.root->traverseRay(&entry, &beyond, clipped.slots, 1024), crossed);
    for (int i = 0; i < crossed; ++i) EXPECT_EQ(all.slots[i], clipped.slots[i]);
    Vertex3D above = v3(-10, 32, 200), aboveBeyond = v3(80, 32, 200);
    EXPECT_EQ(t.root->traverseRay(&above, &aboveBeyond, all.slots, 1024), 0);
    EXPECT_EQ(t.root->traverseRay(&from, &to, all.slots, 0), 0);
    // The end point may lie outside.
    Vertex3D start = v3(32, 32, 32);
    EXPECT_GT(t.root->traverseRay(&start, &beyond, all.slots, 1024), 0);
}

TEST(OctreeQueries, SphereAndNearest) {
    ScatterTree t;
    Vertex3D p = v3(20, 20, 20);
    GuardedArray out;
    EXPECT_EQ(t.root->traverseSphere(&p, 0, out.slots, 64), 0);
    int n = t.root->traverseSphere(&p, 10, out.slots, 4096);
    EXPECT_GT(n, 1);
    EXPECT_TRUE(out.untouchedFrom(n));
    GuardedArray two;
    EXPECT_EQ(t.root->traverseSphere(&p, 10, two.slots, 2), 2);
    EXPECT_TRUE(two.untouchedFrom(2));

    GuardedArray near;
    EXPECT_EQ(t.root->traverseNearest(&p, 1, near.slots, 26), 0);
    EXPECT_TRUE(near.untouchedFrom(0));
    EXPECT_EQ(t.root->traverseNearest(&p, 0, near.slots, 27), 1);
    EXPECT_EQ(near.slots[0], t.root->traverse(&p));
    Vertex3D edge = v3(23, 23, 20);  // the samples reach the neighbouring leaves
    n = t.root->traverseNearest(&edge, 3, near.slots, 27);
    EXPECT_GT(n, 1);
    EXPECT_LE(n, 27);
    EXPECT_TRUE(near.untouchedFrom(n));
    for (int i = 1; i < n; ++i) EXPECT_NE(near.slots[i], near.slots[i - 1]);

    // Unsplit root: the sphere query answers the root itself.
    Mesh* m = makeMesh({{v3(0, 0, 0), v3(1, 0, 0), v3(0, 1, 0)}});
    octreeNode single;
    single.insert(m, 0, true);
    single.adjustSize();
    Vertex3D q = v3(0.2f, 0.2f, 0.2f);
    octreeNode* res[1];
    EXPECT_EQ(single.traverseSphere(&q, 0.1f, res, 1), 1);
    EXPECT_EQ(res[0], &single);
    EXPECT_EQ(single.traverse(&q), &single);
    delete m;
}

TEST(OctreeQueries, NearestListsRepeatsSeparatedByOtherLeaves) {
    ScatterTree t;
    // Near a leaf corner the samples alternate between leaves along z.
    Vertex3D p = v3(31.9f, 31.9f, 31.9f);
    octreeNode* out[27];
    int n = t.root->traverseNearest(&p, 0.2f, out, 27);
    int repeats = 0;
    for (int i = 0; i < n; ++i)
        for (int j = i + 2; j < n; ++j)
            if (out[i] == out[j]) ++repeats;
    EXPECT_GT(repeats, 0);
}

TEST(OctreeQueries, OldRayWalkSamplesBothEndsInside) {
    ScatterTree t;
    Vertex3D from = v3(1, 1, 1), to = v3(60, 1, 1), outside = v3(70, 1, 1);
    GuardedArray out;
    int n = t.root->traverseRayOLD(&from, &to, out.slots, 4096);
    EXPECT_GT(n, 3);
    EXPECT_TRUE(out.untouchedFrom(n));
    EXPECT_EQ(out.slots[0], t.root->traverse(&from));
    EXPECT_EQ(out.slots[n - 1], t.root->traverse(&to));
    EXPECT_EQ(t.root->traverseRayOLD(&from, &outside, out.slots, 4096), 0);
    EXPECT_EQ(t.root->traverseRayOLD(&from, &from, out.slots, 4096), 0);
    GuardedArray two;
    EXPECT_EQ(t.root->traverseRayOLD(&from, &to, two.slots, 2), 2);
    EXPECT_TRUE(two.untouchedFrom(2));
}
