// The tree and planes built through the faster paths against the plain
// every-pair build: same nodes, same face lists in the same order, same
// planes, bit for bit.

#include <gtest/gtest.h>

#include <dirent.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SpatialFixtures.h"
#include "core/VectorOps.h"
#include "import3ds/Import3DS.h"

namespace {

const int kLargeFaces = 5000;
const int kImportFlags = kvxLoadMeshes | kvxLoadLights | kvxLoadCameras | kvxLoadKeyframer | kvxLoadSmoothing;

template <class T>
void put(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// Every field of every node in pre-order, with its polygons and planes.
void describe(const octreeNode* n, std::string& out) {
    put(out, n->isSplit);
    put(out, n->depth);
    put(out, n->radiusSquared);
    for (int a = 0; a < 3; ++a) {
        put(out, n->boxMin[a]);
        put(out, n->boxMax[a]);
    }
    put(out, n->polygons.size());
    for (int i = 0; i < n->polygons.size(); ++i) {
        put(out, n->polygons[i].mesh);
        put(out, n->polygons[i].face);
    }
    for (const Plane* p = n->planes; p; p = p->next) {
        put(out, p->planeId);
        put(out, p->normal);
        put(out, p->origin);
        put(out, p->count);
        for (int i = 0; i < p->count; ++i) {
            put(out, p->points[i].face);
            put(out, p->points[i].mesh);
        }
    }
    put(out, -1);
    if (n->isSplit)
        for (const octreeNode* c : n->children) describe(c, out);
}

std::string treeOf(OGroup* g, bool fast) {
    kvxOctreeFastBuild = fast;
    g->constructOctree();
    kvxOctreeFastBuild = true;
    std::string out;
    if (g->octree) describe(g->octree, out);
    return out;
}

void expectSameTrees(OGroup* g, const std::string& what) {
    const std::string plain = treeOf(g, false), fast = treeOf(g, true);
    EXPECT_GT(plain.size(), 0u) << what;
    EXPECT_TRUE(plain == fast) << what << ": the trees differ from byte "
                               << std::mismatch(plain.begin(), plain.end(), fast.begin(), fast.end()).first -
                                      plain.begin();
}

void large3dsFiles(const std::string& dir, std::vector<std::string>& out) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name, path = dir + "/" + name;
        if (name == "." || name == "..") continue;
        if (e->d_type == DT_DIR)
            large3dsFiles(path, out);
        else if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".3ds") == 0)
            out.push_back(path);
    }
    closedir(d);
}

int faceCount(const OGroup* g) {
    int n = 0;
    for (int i = 0; i < g->meshCount; ++i) n += g->meshes[i]->faceCount;
    return n;
}

}  // namespace

TEST(OctreeEquivalence, RealFilesBuildTheSameTree) {
    std::vector<std::string> files;
    large3dsFiles(std::string(KVX_TESTDATA_DIR) + "/3ds", files);
    int large = 0;
    for (const std::string& f : files) {
        OGroup* g = new OGroup();
        ASSERT_EQ(load3ds(f.c_str(), g, "", kImportFlags, nullptr, ""), 0) << f;
        if (faceCount(g) > kLargeFaces) {
            ++large;
            expectSameTrees(g, f);
        }
        delete g;
    }
    EXPECT_GE(large, 4);
}

// The planes of one unsplit leaf of the given meshes; its cube, when given
// (lowest corner and size), replaces the one around them.
std::string planesOfOneLeaf(const std::vector<Mesh*>& meshes, bool fast, const float* cube = nullptr) {
    kvxOctreeFastBuild = fast;
    octreeNode root;
    for (Mesh* m : meshes)
        for (int f = 0; f < m->faceCount; ++f) root.insert(m, f, true);
    root.adjustSize();
    for (int a = 0; cube != nullptr && a < 3; ++a) octreeNodeAccess::setBounds(root, a, cube[a], cube[a] + cube[3]);
    root.makePlanes(0.001f);
    kvxOctreeFastBuild = true;
    std::string out;
    describe(&root, out);
    return out;
}

// One crowded leaf with back-to-back partners just inside and just outside
// the tolerance, far from the origin, and degenerate faces: the indexed
// partner search must find what the scan finds, also when the leaf is far
// larger than what it holds (as a stray vertex makes the deepest leaves).
TEST(OctreeEquivalence, CrowdedLeafWithPartners) {
    std::vector<Tri> tris;
    const float far = 250000.0f;
    for (int i = 0; i < 1500; ++i) {
        const float x = far + float(i % 5) * 0.25f, y = float(i / 5 % 8) * 0.25f;
        const float lift = (i % 4 == 0) ? 0.0005f : (i % 4 == 1 ? 0.00099f : (i % 4 == 2 ? 0.00101f : 0.0f));
        tris.push_back(Tri{v3(x, y, 0), v3(x + 1, y, 0), v3(x, y + 1, 0)});
        tris.push_back(Tri{v3(x, y, lift), v3(x, y + 1, lift), v3(x + 1, y, lift)});  // facing down
        tris.push_back(Tri{v3(x, y, 0), v3(x + 1, y, 0.0004f), v3(x, y + 1, -0.0004f)});
        if (i % 97 == 0) tris.push_back(Tri{v3(x, y, 0), v3(x, y, 0), v3(x, y, 0)});
    }
    std::vector<Mesh*> meshes = {makeMesh(tris, 0), makeMesh(tris, 1)};
    EXPECT_TRUE(planesOfOneLeaf(meshes, false) == planesOfOneLeaf(meshes, true));
    const float stretched[4] = {far - 30000.0f, -30000.0f, -60000.0f, 40000.0f};
    EXPECT_TRUE(planesOfOneLeaf(meshes, false, stretched) == planesOfOneLeaf(meshes, true, stretched));
    for (Mesh* m : meshes) delete m;
}

// Back-to-back pairs in planes of every direction, three materials in one
// leaf: the partner search's groups of material and normal cell must list
// what the scan finds, also in a leaf far larger than what it holds.
TEST(OctreeEquivalence, TiltedPartnersOfSeveralMaterials) {
    std::vector<Tri> tris;
    srand(7);
    auto r = [] { return float(rand() % 2001 - 1000) / 1000.0f; };
    for (int i = 0; i < 600; ++i) {
        Vertex3D n = v3(r(), r(), r());
        if (kvx_vector::length(n) < 0.1f) continue;
        n = kvx_vector::mul(n, 1.0f / kvx_vector::length(n));
        const Vertex3D helper = std::fabs(n.x) < 0.9f ? v3(1, 0, 0) : v3(0, 1, 0);
        const Vertex3D u = kvx_vector::cross(n, helper), w = kvx_vector::cross(n, u);
        const Vertex3D p = v3(r() * 10.0f, r() * 10.0f, r() * 10.0f);
        const Vertex3D q = kvx_vector::add(p, kvx_vector::mul(n, float(i % 3) * 0.0007f));
        tris.push_back(Tri{p, kvx_vector::add(p, u), kvx_vector::add(p, w)});
        // Facing away, tilted by up to the tolerance across the triangle.
        const Vertex3D tilt = kvx_vector::mul(n, float(i % 5) * 0.0001f);
        tris.push_back(
            Tri{q, kvx_vector::add(kvx_vector::add(q, w), tilt), kvx_vector::sub(kvx_vector::add(q, u), tilt)});
    }
    std::vector<Mesh*> meshes = {makeMesh(tris, 0), makeMesh(tris, 1), makeMesh(tris, 2)};
    EXPECT_TRUE(planesOfOneLeaf(meshes, false) == planesOfOneLeaf(meshes, true));
    const float stretched[4] = {-500.0f, 40.0f, -500.0f, 1000.0f};  // a leaf far past what it holds
    EXPECT_TRUE(planesOfOneLeaf(meshes, false, stretched) == planesOfOneLeaf(meshes, true, stretched));
    for (Mesh* m : meshes) delete m;
}

// Large random triangles overlap most children at every level, so the split
// runs into the reference cap while the root's children are divided on two
// threads: the tree must still be the one the walk in order gives.
TEST(OctreeEquivalence, CappedSplitOnTwoThreads) {
    Mesh* m = makeMesh(randomTriangles(5, 5000));
    std::string trees[2];
    for (bool fast : {false, true}) {
        kvxOctreeFastBuild = fast;
        octreeNode root;
        for (int f = 0; f < m->faceCount; ++f) root.insert(m, f, true);
        root.adjustSize();
        root.split(5, 5, nullptr);
        kvxOctreeFastBuild = true;
        describe(&root, trees[fast]);
    }
    EXPECT_TRUE(trees[0] == trees[1]);
    delete m;
}
