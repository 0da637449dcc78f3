#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "SpatialFixtures.h"
#include "spatial/CubeOverlap.h"
#include "spatial/SpatialMessages.h"

namespace {

const float kLargest = 3.4028235e38f;
const float kSmallestNormal = 1.1754944e-38f;

octreeNode* treeOf(Mesh* m) {
    octreeNode* root = new octreeNode();
    for (int f = 0; f < m->faceCount; ++f) root->insert(m, f, true);
    root->adjustSize();
    return root;
}

// Box [lo, hi]^3 as an unsplit node.
void setCube(octreeNode& n, float lo, float hi) {
    for (int i = 0; i < 3; ++i) octreeNodeAccess::setBounds(n, i, lo, hi);
}

std::vector<int> progressCalls;
void recordProgress(int i) { progressCalls.push_back(i); }

}  // namespace

TEST(Octree, InitialStateAndBounds) {
    octreeNode n;
    EXPECT_EQ(n.boxMin[0], kLargest);
    EXPECT_EQ(n.boxMax[2], kSmallestNormal);
    EXPECT_FALSE(n.isSplit);
    EXPECT_EQ(n.planes, nullptr);
    EXPECT_EQ(n.insert(static_cast<OTPolyData*>(nullptr), true), kCodeOctreeArgument);
    EXPECT_EQ(n.insert(static_cast<Mesh*>(nullptr), 0, true), kCodeOctreeArgument);
    EXPECT_EQ(octreeNodeAccess::checkBounds(n, nullptr), kCodeOctreeArgument);
    EXPECT_EQ(octreeNodeAccess::setBounds(n, 3, 0, 1), kCodeOctreeArgument);

    // Corners all negative in z leave the upper z bound at the smallest float.
    Mesh* m = makeMesh({{v3(-1, -2, -3), v3(2, -1, -5), v3(0, 1, -4)}});
    n.insert(m, 0, true);
    EXPECT_EQ(n.boxMax[2], kSmallestNormal);
    EXPECT_EQ(n.boxMin[2], -5.0f);
    EXPECT_EQ(n.boxMin[0], -1.0f);
    EXPECT_EQ(n.boxMax[0], 2.0f);
    // Positions are added to the corners.
    Mesh* moved = makeMesh({{v3(0, 0, 0), v3(1, 0, 0), v3(0, 1, 0)}});
    moved->position = v3(10, 0, 0);
    n.insert(moved, 0, true);
    EXPECT_EQ(n.boxMax[0], 11.0f);
    EXPECT_EQ(n.polygons.size(), 2);
    delete m;
    delete moved;
}

TEST(Octree, AdjustSizeMakesTheSmallestCube) {
    octreeNode n;
    octreeNodeAccess::setBounds(n, 0, -1, 3);
    octreeNodeAccess::setBounds(n, 1, 0, 2);
    octreeNodeAccess::setBounds(n, 2, 0.5f, 1.5f);
    n.adjustSize();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(n.boxMin[i], -1.0f);
        EXPECT_FLOAT_EQ(n.boxMax[i], 3.0f);
    }
    EXPECT_FLOAT_EQ(n.radiusSquared, 12.0f);
}

TEST(Octree, MaximumKeepsTheEarlierOnTies) {
    EXPECT_EQ(maximum(1, -3, 2), -3.0f);
    EXPECT_EQ(maximum(-2, 2, 1), -2.0f);
    EXPECT_EQ(maximum(1, 1, -1), 1.0f);
    EXPECT_EQ(maximum(0, 0, -0.5f), -0.5f);
}

TEST(Octree, TriangleCubeOverlapWithMargin) {
    octreeNode n;
    setCube(n, 0, 1);
    // Inside, crossing, and a large triangle cutting through with no corner inside.
    Vertex3D inside[3] = {v3(0.2f, 0.2f, 0.5f), v3(0.8f, 0.2f, 0.5f), v3(0.5f, 0.8f, 0.5f)};
    Vertex3D through[3] = {v3(-10, -10, 0.5f), v3(10, -10, 0.5f), v3(0, 20, 0.5f)};
    Vertex3D beside[3] = {v3(2, 2, 2), v3(3, 2, 2), v3(2, 3, 2)};
    EXPECT_TRUE(octreeNodeAccess::polyInside(n, inside));
    EXPECT_TRUE(octreeNodeAccess::polyInside(n, through));
    EXPECT_FALSE(octreeNodeAccess::polyInside(n, beside));
    // Within the 1 % margin (0.005 of the extent beyond a face) counts, beyond it not.
    Vertex3D nearFace[3] = {v3(1.004f, 0.2f, 0.2f), v3(1.004f, 0.8f, 0.2f), v3(1.004f, 0.5f, 0.8f)};
    Vertex3D pastMargin[3] = {v3(1.006f, 0.2f, 0.2f), v3(1.006f, 0.8f, 0.2f), v3(1.006f, 0.5f, 0.8f)};
    EXPECT_TRUE(octreeNodeAccess::polyInside(n, nearFace));
    EXPECT_FALSE(octreeNodeAccess::polyInside(n, pastMargin));
    // A plane cutting just past a corner misses; a zero-extent box meets nothing.
    Vertex3D corner[3] = {v3(2.9f, 0, 0), v3(0, 2.9f, 0), v3(0, 0, 2.9f)};  // only the tip inside
    EXPECT_TRUE(octreeNodeAccess::polyInside(n, corner));
    Vertex3D pastCorner[3] = {v3(3.2f, 0.05f, 0.05f), v3(0.05f, 3.2f, 0.05f), v3(0.05f, 0.05f, 3.2f)};
    EXPECT_FALSE(octreeNodeAccess::polyInside(n, pastCorner));
    octreeNode flat;
    setCube(flat, 0, 0);
    EXPECT_FALSE(octreeNodeAccess::polyInside(flat, inside));
}

TEST(Octree, SegmentTestAgainstUnitCube) {
    using kvx_spatial::segmentMeetsUnitCube;
    EXPECT_TRUE(segmentMeetsUnitCube(v3(-1, 0, 0), v3(1, 0, 0)));
    EXPECT_TRUE(segmentMeetsUnitCube(v3(0, 0, 0), v3(0.1f, 0, 0)));
    EXPECT_FALSE(segmentMeetsUnitCube(v3(0.6f, -1, 0), v3(0.6f, 1, 0)));
    EXPECT_FALSE(segmentMeetsUnitCube(v3(0, 1.2f, 0), v3(1.2f, 0, 0)));  // passes the corner
    EXPECT_TRUE(segmentMeetsUnitCube(v3(0, 0.9f, 0), v3(0.9f, 0, 0)));
    EXPECT_FALSE(segmentMeetsUnitCube(v3(0.3f, 0.4f, 0.8f), v3(0.8f, 0.3f, 0.4f)));  // 3D corner
    EXPECT_TRUE(segmentMeetsUnitCube(v3(0.3f, 0.3f, 0.6f), v3(0.6f, 0.3f, 0.3f)));
    EXPECT_FALSE(segmentMeetsUnitCube(v3(1, 1, 1), v3(2, 2, 2)));
}

TEST(Octree, SplitLimitsAndProgress) {
    // Four triangles stay in the root.
    Mesh* four = makeMesh({{v3(0, 0, 0), v3(1, 0, 0), v3(0, 1, 0)},
                           {v3(5, 5, 5), v3(6, 5, 5), v3(5, 6, 5)},
                           {v3(9, 9, 9), v3(8, 9, 9), v3(9, 8, 9)},
                           {v3(0, 9, 0), v3(1, 9, 0), v3(0, 8, 0)}});
    octreeNode* root = treeOf(four);
    EXPECT_EQ(root->split(0, 5, nullptr), kCodeOctreeArgument);
    EXPECT_EQ(root->split(5, 0, nullptr), kCodeOctreeArgument);
    EXPECT_EQ(root->split(5, 5, nullptr), 0);
    EXPECT_FALSE(root->isSplit);
    EXPECT_EQ(root->polygons.size(), 4);
    delete root;

    // Six identical triangles cannot be separated: divided down to depth 6.
    std::vector<Tri> same(6, Tri{v3(0.1f, 0.1f, 0.1f), v3(0.2f, 0.1f, 0.1f), v3(0.1f, 0.2f, 0.1f)});
    same.push_back(Tri{v3(9, 9, 9), v3(9.5f, 9, 9), v3(9, 9.5f, 9)});
    Mesh* stack = makeMesh(same);
    root = treeOf(stack);
    progressCalls.clear();
    EXPECT_EQ(root->split(5, 5, recordProgress), 0);
    EXPECT_EQ(progressCalls, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(root->maxDepth, 5);
    std::vector<octreeNode*> leaves;
    collectLeaves(root, leaves);
    int deepest = 0;
    for (octreeNode* l : leaves) {
        deepest = std::max(deepest, int(l->depth));
        if (l->polygons.size() > 5) {
            EXPECT_EQ(l->depth, 6);
        }
    }
    EXPECT_EQ(deepest, 6);
    EXPECT_TRUE(root->polygons.empty());
    delete root;
    delete four;
    delete stack;
}

TEST(Octree, EveryFaceLandsInEveryLeafItOverlaps) {
    srand(7);
    std::vector<Tri> tris;
    auto r = [] { return float(rand() % 8000) / 100.0f; };
    // Two specks fix the root box at [0, 100]^3.
    tris.push_back(Tri{v3(0, 0, 0), v3(0.1f, 0, 0), v3(0, 0.1f, 0)});
    tris.push_back(Tri{v3(100, 100, 100), v3(99.9f, 100, 100), v3(100, 99.9f, 100)});
    for (int i = 0; i < 300; ++i) {
        Vertex3D a = v3(r(), r(), r());
        tris.push_back(Tri{a, v3(a.x + r() / 10, a.y + r() / 20, a.z), v3(a.x, a.y + r() / 10, a.z + r() / 20)});
    }
    // A triangle lying exactly on the plane between children.
    tris.push_back(Tri{v3(10, 10, 50), v3(90, 10, 50), v3(50, 90, 50)});
    Mesh* m = makeMesh(tris);
    octreeNode* root = treeOf(m);
    root->split(5, 5, nullptr);
    std::vector<octreeNode*> leaves;
    collectLeaves(root, leaves);
    ASSERT_GT(leaves.size(), 8u);
    for (octreeNode* leaf : leaves) {
        std::set<int> held;
        for (int p = 0; p < leaf->polygons.size(); ++p) held.insert(leaf->polygons[p].face);
        for (int f = 0; f < m->faceCount; ++f) {
            Vertex3D c[3] = {tris[f].a, tris[f].b, tris[f].c};
            EXPECT_EQ(held.count(f) == 1, octreeNodeAccess::polyInside(*leaf, c)) << "face " << f;
        }
        // Children are cubes when the root is one.
        EXPECT_NEAR(leaf->boxMax[0] - leaf->boxMin[0], leaf->boxMax[2] - leaf->boxMin[2], 1e-4);
    }
    // The face on the centre plane z = 50 sits on both sides of it.
    int below = 0, above = 0;
    for (octreeNode* leaf : leaves)
        for (int p = 0; p < leaf->polygons.size(); ++p)
            if (leaf->polygons[p].face == int(tris.size()) - 1) (leaf->boxMax[2] <= 50.001f ? below : above)++;
    EXPECT_GT(below, 0);
    EXPECT_GT(above, 0);
    delete root;
    delete m;
}

TEST(Octree, OverlappingFacesAreCopiedWithinACap) {
    // Large random triangles cross most children at every level; uncapped they
    // would be copied into hundreds of thousands of leaves.
    const std::vector<Tri> tris = randomTriangles(11, 600);
    Mesh* m = makeMesh(tris);
    octreeNode* root = treeOf(m);
    EXPECT_EQ(root->split(5, 5, nullptr), 0);
    EXPECT_TRUE(root->isSplit);
    std::vector<octreeNode*> leaves;
    collectLeaves(root, leaves);
    long references = 0;
    for (octreeNode* leaf : leaves) references += leaf->polygons.size();
    EXPECT_LE(references, 65536);
    EXPECT_GT(references, 8 * 600 / 2);
    // A leaf left whole by the cap still holds every face that reaches it.
    for (size_t i = 0; i < leaves.size(); i += 7) {
        std::set<int> held;
        for (int p = 0; p < leaves[i]->polygons.size(); ++p) held.insert(leaves[i]->polygons[p].face);
        for (int f = 0; f < m->faceCount; ++f) {
            Vertex3D c[3] = {tris[f].a, tris[f].b, tris[f].c};
            ASSERT_EQ(held.count(f) == 1, octreeNodeAccess::polyInside(*leaves[i], c)) << "face " << f;
        }
    }
    delete root;
    delete m;
}

TEST(Octree, EmptyTreeFindsNothing) {
    octreeNode root;
    root.adjustSize();
    root.split(5, 5, nullptr);
    Vertex3D p = v3(0, 0, 0), q = v3(1, 1, 1);
    octreeNode* out[27];
    EXPECT_EQ(root.traverse(&p), nullptr);
    EXPECT_EQ(root.traverseRay(&p, &q, out, 27), 0);
    EXPECT_EQ(root.traverseSphere(&p, 1, out, 27), 0);
    EXPECT_EQ(root.traverseNearest(&p, 1, out, 27), 0);
}

TEST(Octree, LogWriteAppendsWithoutLineEnds) {
    char dir[] = "/tmp/kvx-octree-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir), 0);
    octreeNode n;
    n.logWrite("one");
    n.logWrite("two\n");
    n.logWrite(nullptr);
    std::ifstream in("octree.log", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "onetwo\n");
    std::remove("octree.log");
    ASSERT_EQ(chdir(cwd), 0);
    rmdir(dir);
}
