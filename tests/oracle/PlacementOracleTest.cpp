// Where every object of every real .3DS file stands, against two independent
// readers: lib3ds (frame 0 and every frame that is an exact key of an object's
// tracks and its ancestors' tracks, where linear and spline agree) and Assimp
// (frame 0). The demo's generated scenes go through the same loop.
#include <gtest/gtest.h>

#include <assimp/cimport.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <lib3ds/file.h>
#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "Korvex3D.h"
#include "TestWindow.h"
#include "Writer3ds.h"

namespace {

namespace fs = std::filesystem;

// Geometry, hierarchy and animation; no materials, so no texture is needed.
const int kFlags = kvxLoadMeshes | kvxLoadLights | kvxLoadCameras | kvxLoadKeyframer;
const double kTolerance = 1e-4;  // of the scene's bounding-box diagonal

struct Vec {
    double x, y, z;
};

double distance(const Vec& a, const Vec& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

// One drawn copy of a mesh, or a dummy node (then the points are probes
// placed by the node's matrix).
struct Placement {
    std::string name;
    Lib3dsNode* node = nullptr;  // null: a mesh drawn where it is stored
    Lib3dsMesh* mesh = nullptr;  // null: a dummy
    std::vector<Vec> points;
    std::set<int> keyFrames;  // exact keys of the node and its ancestors
};

Vec apply(Lib3dsMatrix m, const Vec& v) {
    return Vec{m[0][0] * v.x + m[1][0] * v.y + m[2][0] * v.z + m[3][0],
               m[0][1] * v.x + m[1][1] * v.y + m[2][1] * v.z + m[3][1],
               m[0][2] * v.x + m[1][2] * v.y + m[2][2] * v.z + m[3][2]};
}

std::vector<Vec> probes(double size) { return {{0, 0, 0}, {size, 0, 0}, {0, size, 0}, {0, 0, size}}; }

// Frames of a track's keys; empty when the track holds fewer than two
// (a constant track agrees at every frame).
template <class K>
std::set<int> trackFrames(K* key) {
    std::set<int> frames;
    for (; key; key = key->next) frames.insert(key->tcb.frame);
    if (frames.size() < 2) frames.clear();
    return frames;
}

std::set<int> nodeKeyFrames(Lib3dsNode* node) {
    std::vector<std::set<int>> tracks;
    for (Lib3dsNode* n = node; n; n = n->parent) {
        if (n->type != LIB3DS_OBJECT_NODE) continue;
        Lib3dsObjectData& d = n->data.object;
        for (const std::set<int>& s :
             {trackFrames(d.pos_track.keyL), trackFrames(d.rot_track.keyL), trackFrames(d.scl_track.keyL)})
            if (!s.empty()) tracks.push_back(s);
    }
    std::set<int> frames;
    if (tracks.empty()) return frames;
    frames = tracks[0];
    for (size_t i = 1; i < tracks.size(); ++i) {
        std::set<int> both;
        std::set_intersection(frames.begin(), frames.end(), tracks[i].begin(), tracks[i].end(),
                              std::inserter(both, both.begin()));
        frames = both;
    }
    frames.erase(0);
    return frames;
}

// lib3ds's placement of a node's mesh: node matrix, minus the pivot, inverse
// mesh matrix, stored vertices (lib3ds mirrors them at load when the mesh
// matrix is mirrored).
void placeByLib3ds(Placement& p, double probeSize) {
    p.points.clear();
    if (!p.node) {
        for (Lib3dsDword i = 0; i < p.mesh->points; ++i) {
            const float* v = p.mesh->pointL[i].pos;
            p.points.push_back(Vec{v[0], v[1], v[2]});
        }
        return;
    }
    Lib3dsMatrix m;
    lib3ds_matrix_copy(m, p.node->matrix);
    const float* pivot = p.node->data.object.pivot;
    lib3ds_matrix_translate_xyz(m, -pivot[0], -pivot[1], -pivot[2]);
    if (!p.mesh) {
        for (const Vec& v : probes(probeSize)) p.points.push_back(apply(m, v));
        return;
    }
    Lib3dsMatrix inverse;
    lib3ds_matrix_copy(inverse, p.mesh->matrix);
    lib3ds_matrix_inv(inverse);
    if (p.mesh->points == 0) p.points.push_back(apply(m, apply(inverse, Vec{0, 0, 0})));  // an empty mesh: its origin
    for (Lib3dsDword i = 0; i < p.mesh->points; ++i) {
        const float* v = p.mesh->pointL[i].pos;
        p.points.push_back(apply(m, apply(inverse, Vec{v[0], v[1], v[2]})));
    }
}

void collectNodes(Lib3dsFile* f, Lib3dsNode* node, std::vector<Placement>& out, std::set<std::string>& drawn) {
    for (; node; node = node->next) {
        if (node->type == LIB3DS_OBJECT_NODE) {
            Placement p;
            p.node = node;
            p.mesh = lib3ds_file_mesh_by_name(f, node->name);
            p.name = node->data.object.instance[0] ? node->data.object.instance : node->name;
            p.keyFrames = nodeKeyFrames(node);
            if (p.mesh) drawn.insert(p.mesh->name);
            out.push_back(p);
        }
        collectNodes(f, node->childs, out, drawn);
    }
}

std::vector<Placement> lib3dsPlacements(Lib3dsFile* f) {
    std::vector<Placement> out;
    std::set<std::string> drawn;
    collectNodes(f, f->nodes, out, drawn);
    for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
        if (drawn.count(m->name)) continue;
        Placement p;
        p.mesh = m;
        p.name = m->name;
        out.push_back(p);
    }
    return out;
}

double diagonal(const std::vector<Placement>& all) {
    Vec lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
    for (const Placement& p : all)
        if (p.mesh)
            for (const Vec& v : p.points) {
                lo = Vec{std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
                hi = Vec{std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
            }
    return lo.x > hi.x ? 1.0 : distance(lo, hi);
}

// The engine's world-space points of one of its meshes: vertices through
// transformVertices, or probes through the animated matrix for an object
// without vertices.
std::vector<Vec> enginePoints(OGroup& g, Mesh* m, double probeSize) {
    std::vector<Vec> out;
    if (m->vertexCount == 0) {
        float matrix[16];
        g.getObjectAnimatedMatrix(m, matrix);
        for (const Vec& v : probes(probeSize))
            out.push_back(Vec{matrix[0] * v.x + matrix[4] * v.y + matrix[8] * v.z + matrix[12],
                              matrix[1] * v.x + matrix[5] * v.y + matrix[9] * v.z + matrix[13],
                              matrix[2] * v.x + matrix[6] * v.y + matrix[10] * v.z + matrix[14]});
        return out;
    }
    g.transformVertices(m);
    for (int i = 0; i < m->vertexCount; ++i)
        out.push_back(Vec{m->worldVertices[i].x, m->worldVertices[i].y, m->worldVertices[i].z});
    return out;
}

// Engine points against a placement; an object without vertices gives four
// probes, of which an empty mesh's placement compares the origin only.
double largestGap(const std::vector<Vec>& engine, const std::vector<Vec>& oracle) {
    bool originOnly = engine.size() == 4 && oracle.size() == 1;
    if (engine.size() != oracle.size() && !originOnly) return 1e300;
    double gap = 0;
    for (size_t i = 0; i < oracle.size(); ++i) gap = std::max(gap, distance(engine[i], oracle[i]));
    return gap;
}

struct FileResult {
    double frame0 = 0;  // largest gap at frame 0, as a share of the diagonal
    double keys = 0;    // the same over the key frames
    int keyFramesChecked = 0;
    int unmatched = 0;  // placements without an engine object, and the reverse
    std::string worst;
};

// Pairs every placement with a distinct engine mesh of the same point count,
// nearest first; returns the engine mesh of each placement (null: none left).
std::vector<Mesh*> match(OGroup& g, const std::vector<Placement>& all, double probeSize) {
    std::vector<std::vector<Vec>> engine;
    for (int i = 0; i < g.meshCount; ++i) engine.push_back(enginePoints(g, g.meshes[i], probeSize));
    std::vector<bool> taken(engine.size(), false);
    std::vector<Mesh*> out;
    for (const Placement& p : all) {
        int best = -1;
        double bestGap = 1e300;
        for (size_t i = 0; i < engine.size(); ++i) {
            if (taken[i] || largestGap(engine[i], p.points) >= 1e300) continue;
            bool sameName = p.name == g.meshes[i]->name || (p.mesh && std::string(p.mesh->name) == g.meshes[i]->name);
            double gap = largestGap(engine[i], p.points) * (sameName ? 0.5 : 1.0);
            if (best < 0 || gap < bestGap) best = static_cast<int>(i), bestGap = gap;
        }
        if (best >= 0) taken[static_cast<size_t>(best)] = true;
        out.push_back(best >= 0 ? g.meshes[best] : nullptr);
    }
    return out;
}

FileResult compareWithLib3ds(const std::string& path, OGroup& g) {
    FileResult r;
    Lib3dsFile* f = lib3ds_file_load(path.c_str());
    if (!f) return r;
    lib3ds_file_eval(f, 0);
    std::vector<Placement> all = lib3dsPlacements(f);
    double probeSize = 1.0;
    for (Placement& p : all) placeByLib3ds(p, probeSize);
    double diag = diagonal(all);
    probeSize = 0.1 * diag;
    for (Placement& p : all) placeByLib3ds(p, probeSize);
    g.currentFrame = 0;
    std::vector<Mesh*> engine = match(g, all, probeSize);
    r.unmatched = g.meshCount - static_cast<int>(all.size());
    std::map<int, std::vector<size_t>> byFrame;
    for (size_t i = 0; i < all.size(); ++i) {
        if (!engine[i]) {
            ++r.unmatched;
            r.worst = all[i].name + " (no engine object)";
            continue;
        }
        double gap = largestGap(enginePoints(g, engine[i], probeSize), all[i].points) / diag;
        if (gap > r.frame0) r.frame0 = gap, r.worst = all[i].name + " @0";
        for (int frame : all[i].keyFrames) byFrame[frame].push_back(i);
    }
    for (const auto& entry : byFrame) {
        lib3ds_file_eval(f, static_cast<float>(entry.first));
        g.currentFrame = entry.first;
        for (size_t i : entry.second) {
            placeByLib3ds(all[i], probeSize);
            double gap = largestGap(enginePoints(g, engine[i], probeSize), all[i].points) / diag;
            if (gap > r.keys) r.keys = gap, r.worst = all[i].name + " @" + std::to_string(entry.first);
        }
        ++r.keyFramesChecked;
    }
    g.currentFrame = 0;
    lib3ds_file_free(f);
    return r;
}

// --- Assimp at frame 0: both point sets must cover each other -------------

struct Grid {
    double cell;
    std::unordered_map<long long, std::vector<Vec>> cells;
    static long long key(long long x, long long y, long long z) {
        return (x * 73856093LL) ^ (y * 19349663LL) ^ (z * 83492791LL);
    }
    long long index(double v) const { return static_cast<long long>(std::floor(v / cell)); }
    void add(const Vec& v) { cells[key(index(v.x), index(v.y), index(v.z))].push_back(v); }
    bool near(const Vec& v) const {
        for (long long dx = -1; dx <= 1; ++dx)
            for (long long dy = -1; dy <= 1; ++dy)
                for (long long dz = -1; dz <= 1; ++dz) {
                    auto it = cells.find(key(index(v.x) + dx, index(v.y) + dy, index(v.z) + dz));
                    if (it == cells.end()) continue;
                    for (const Vec& w : it->second)
                        if (distance(v, w) <= cell) return true;
                }
        return false;
    }
};

void assimpPoints(const aiScene* s, const aiNode* node, aiMatrix4x4 parent, std::vector<Vec>& out) {
    aiMatrix4x4 m = parent * node->mTransformation;
    for (unsigned k = 0; k < node->mNumMeshes; ++k) {
        const aiMesh* mesh = s->mMeshes[node->mMeshes[k]];
        for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
            aiVector3D v = m * mesh->mVertices[i];
            out.push_back(Vec{v.x, -v.z, v.y});  // Assimp turns the scene to y up
        }
    }
    for (unsigned c = 0; c < node->mNumChildren; ++c) assimpPoints(s, node->mChildren[c], m, out);
}

std::vector<Vec> engineFacePoints(OGroup& g) {
    std::vector<Vec> out;
    g.currentFrame = 0;
    for (int i = 0; i < g.meshCount; ++i) {
        Mesh* m = g.meshes[i];
        g.transformVertices(m);
        for (int f = 0; f < m->faceCount; ++f)
            for (uint16_t v : {m->faces[f].a, m->faces[f].b, m->faces[f].c})
                out.push_back(Vec{m->worldVertices[v].x, m->worldVertices[v].y, m->worldVertices[v].z});
    }
    return out;
}

// Points of one set farther than the tolerance from every point of the other.
int uncovered(const std::vector<Vec>& points, const std::vector<Vec>& by, double tolerance) {
    Grid grid{tolerance, {}};
    for (const Vec& v : by) grid.add(v);
    int missing = 0;
    for (const Vec& v : points) missing += grid.near(v) ? 0 : 1;
    return missing;
}

int compareWithAssimp(const std::string& path, OGroup& g, double& diag) {
    const aiScene* s = aiImportFile(path.c_str(), 0);
    if (!s) return -1;
    std::vector<Vec> theirs;
    assimpPoints(s, s->mRootNode, aiMatrix4x4(), theirs);
    aiReleaseImport(s);
    std::vector<Vec> ours = engineFacePoints(g);
    Vec lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
    for (const Vec& v : theirs) {
        lo = Vec{std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
        hi = Vec{std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
    }
    diag = theirs.empty() ? 1.0 : distance(lo, hi);
    double tolerance = kTolerance * diag;
    return uncovered(theirs, ours, tolerance) + uncovered(ours, theirs, tolerance);
}

bool is3ds(const fs::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    return ext == ".3ds";
}

std::vector<std::string> realFiles() {
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(std::string(KVX_SOURCE_DIR) + "/tests/data"))
        if (e.is_regular_file() && is3ds(e.path())) files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// The show's three scenes, written by the data generator.
std::vector<std::string> generatedScenes() {
    std::string dir = TestWindow::outputPath("oracle-scenes");
    std::string command = std::string(KVX_DATAGEN) + " " + dir + " scenes > /dev/null";
    if (std::system(command.c_str()) != 0) return {};
    return {dir + "/level01.dat", dir + "/level02.dat", dir + "/level03.dat"};
}

TEST(PlacementOracle, EveryFileStandsWhereLib3dsAndAssimpPutIt) {
    static TestWindow window;
    std::vector<std::string> files = realFiles();
    ASSERT_GE(files.size(), 24u);
    std::vector<std::string> scenes = generatedScenes();
    ASSERT_EQ(scenes.size(), 3u);
    files.insert(files.end(), scenes.begin(), scenes.end());
    std::printf("%-60s %10s %10s %5s %5s %6s\n", "file", "frame0", "keys", "kf", "miss", "assimp");
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        OGroup g;
        int loaded = load3ds(path.c_str(), &g, "", kFlags, nullptr, nullptr);
        Lib3dsFile* probe = lib3ds_file_load(path.c_str());
        if (!probe) {
            EXPECT_NE(loaded, 0) << "lib3ds refuses the file, the engine took it";
            continue;
        }
        lib3ds_file_free(probe);
        ASSERT_EQ(loaded, 0);
        FileResult r = compareWithLib3ds(path, g);
        double diag = 1;
        int assimpMisses = compareWithAssimp(path, g, diag);
        std::string shortName = path.substr(path.find_last_of('/') + 1);
        std::printf("%-60s %10.2e %10.2e %5d %5d %6d %s\n", shortName.c_str(), r.frame0, r.keys, r.keyFramesChecked,
                    r.unmatched, assimpMisses, r.worst.c_str());
        EXPECT_EQ(r.unmatched, 0) << r.worst;
        EXPECT_LE(r.frame0, kTolerance) << r.worst;
        EXPECT_LE(r.keys, kTolerance) << r.worst;
        EXPECT_EQ(assimpMisses, 0);
    }
}

// --- one small file per placement rule, written with the project's writer ---

k3ds::Vec3 v3(float x, float y, float z) { return k3ds::Vec3{x, y, z}; }

// A box of the given size with its corner at `at`, faces wound outwards,
// every vertex mapped by `place` (identity when null).
k3ds::Mesh box(const std::string& name, k3ds::Vec3 at, k3ds::Vec3 size, const float* axes = nullptr) {
    k3ds::Mesh m;
    m.name = name;
    for (int i = 0; i < 8; ++i) {
        float x = (i == 1 || i == 2 || i == 5 || i == 6) ? size.x : 0;
        float y = (i == 2 || i == 3 || i == 6 || i == 7) ? size.y : 0;
        float z = i >= 4 ? size.z : 0;
        k3ds::Vec3 v = v3(at.x + x, at.y + y, at.z + z);
        if (axes)  // stored = axes * local
            v = v3(axes[0] * v.x + axes[3] * v.y + axes[6] * v.z + axes[9],
                   axes[1] * v.x + axes[4] * v.y + axes[7] * v.z + axes[10],
                   axes[2] * v.x + axes[5] * v.y + axes[8] * v.z + axes[11]);
        m.vertices.push_back(v);
    }
    const uint16_t f[12][3] = {{0, 2, 1}, {0, 3, 2}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                               {3, 7, 6}, {3, 6, 2}, {0, 4, 7}, {0, 7, 3}, {1, 2, 6}, {1, 6, 5}};
    for (const auto& t : f) m.faces.push_back(k3ds::Face{t[0], t[1], t[2], 7});
    if (axes)
        for (int i = 0; i < 12; ++i) m.axes[i] = axes[i];
    return m;
}

// A node moving between frames 0 and 10 (turning and, when asked, scaling).
k3ds::Node movingNode(const std::string& name, int id, int parent, k3ds::Vec3 from, k3ds::Vec3 to,
                      bool scaled = false) {
    k3ds::Node n;
    n.name = name;
    n.id = id;
    n.parent = parent;
    n.pivot = v3(0.25f, 0.5f, 0);
    n.position = {{0, from}, {10, to}};
    n.rotation = {{0, 0.3f, v3(0, 0, 1)}, {10, 0.5f, v3(1, 0, 0)}};
    if (scaled) n.scale = {{0, v3(1, 1, 1)}, {10, v3(2, 1, 0.5f)}};
    return n;
}

k3ds::Scene scene(std::vector<k3ds::Mesh> meshes, std::vector<k3ds::Node> nodes) {
    k3ds::Scene s;
    s.segmentEnd = 20;
    s.meshes = std::move(meshes);
    s.nodes = std::move(nodes);
    return s;
}

const float kTurned[12] = {0.8f, 0.6f, 0, -0.6f, 0.8f, 0, 0, 0, 1, 5, 1, 2};  // 36.87 degrees about z
const float kMirrored[12] = {-1, 0, 0, 0, 1, 0, 0, 0, 1, 2.5f, 0.5f, 0.5f};   // x flipped

Mesh* meshNamed(OGroup& g, const char* name) {
    Object* o = g.findObject(name);
    for (int i = 0; i < g.meshCount; ++i)
        if (g.meshes[i] == o) return g.meshes[i];
    return nullptr;
}

// Every face of the mesh, in the group's space, faces away from its centre.
void expectFacingOut(OGroup& g, Mesh* m) {
    std::vector<Vec> w = enginePoints(g, m, 1.0);
    Vec c{0, 0, 0};
    for (const Vec& v : w) c = Vec{c.x + v.x / w.size(), c.y + v.y / w.size(), c.z + v.z / w.size()};
    auto sub = [](const Vec& a, const Vec& b) { return Vec{a.x - b.x, a.y - b.y, a.z - b.z}; };
    for (int f = 0; f < m->faceCount; ++f) {
        const Vec& a = w[m->faces[f].a];
        Vec u = sub(w[m->faces[f].b], a), v = sub(w[m->faces[f].c], a);
        Vec n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
        Vec out = sub(a, c);
        EXPECT_GT(n.x * out.x + n.y * out.y + n.z * out.z, 0.0) << "face " << f;
    }
}

struct Fixture {
    const char* rule;
    k3ds::Scene scene;
    void (*check)(OGroup&);
};

std::vector<Fixture> fixtures() {
    std::vector<Fixture> out;
    out.push_back({"mesh matrix",
                   scene({box("Turned", v3(0, 0, 0), v3(2, 1, 1), kTurned)},
                         {movingNode("Turned", 0, -1, v3(3, 4, 5), v3(6, 4, 5))}),
                   [](OGroup&) {}});
    out.push_back({"mirrored matrix",
                   scene({box("Mirror", v3(2, 0, 0), v3(1, 1, 1), kMirrored)},
                         {movingNode("Mirror", 0, -1, v3(1, 1, 1), v3(1, 2, 1))}),
                   [](OGroup& g) { expectFacingOut(g, meshNamed(g, "Mirror")); }});
    out.push_back({"scale keys",
                   scene({box("Scaled", v3(1, 1, 1), v3(1, 2, 3))},
                         {movingNode("Scaled", 0, -1, v3(0, 0, 0), v3(1, 0, 0), true)}),
                   [](OGroup& g) { EXPECT_NE(g.activePathList->paths[2]->track, 0); }});
    out.push_back({"mesh without node",
                   scene({box("Moved", v3(0, 0, 0), v3(1, 1, 1)), box("Still", v3(4, 4, 4), v3(1, 1, 1))},
                         {movingNode("Moved", 0, -1, v3(0, 0, 0), v3(0, 0, 2))}),
                   [](OGroup& g) { EXPECT_TRUE(g.animated); }});
    {
        k3ds::Node dummy = movingNode("$$$DUMMY", 0, -1, v3(1, 0, 0), v3(1, 3, 0), true);
        dummy.instance = "Group";
        out.push_back({"dummy node",
                       scene({box("Child", v3(0, 0, 0), v3(1, 1, 1))},
                             {dummy, movingNode("Child", 1, 0, v3(0, 1, 0), v3(0, 1, 1))}),
                       [](OGroup& g) {
                           Mesh* dummy = meshNamed(g, "Group");
                           ASSERT_NE(dummy, nullptr);
                           EXPECT_FALSE(dummy->visible);
                           EXPECT_EQ(dummy->vertexCount, 0);
                           EXPECT_EQ(meshNamed(g, "Child")->parent, dummy);
                       }});
    }
    {
        std::vector<k3ds::Node> nodes;
        const char* names[] = {"First", "Second", "Third"};
        for (int i = 0; i < 3; ++i) {
            nodes.push_back(movingNode("Cube", i, -1, v3(3.0f * i, 0, 0), v3(3.0f * i, 1, 0)));
            nodes.back().instance = names[i];
        }
        out.push_back({"instances", scene({box("Cube", v3(0, 0, 0), v3(1, 1, 1))}, nodes), [](OGroup& g) {
                           ASSERT_EQ(g.meshCount, 3);
                           EXPECT_NE(meshNamed(g, "Cube"), nullptr);
                           EXPECT_NE(meshNamed(g, "Second"), nullptr);
                           EXPECT_NE(meshNamed(g, "Third"), nullptr);
                       }});
    }
    {
        // No node-id chunks: nodes are numbered in file order, the camera's
        // two nodes first, so the child's parent is node 3.
        k3ds::Scene s = scene(
            {box("Parent", v3(0, 0, 0), v3(1, 1, 1)), box("Kid", v3(2, 0, 0), v3(1, 1, 1))},
            {movingNode("Parent", 2, -1, v3(0, 0, 0), v3(0, 0, 3)), movingNode("Kid", 3, 2, v3(2, 0, 0), v3(2, 1, 0))});
        k3ds::Camera cam;
        cam.name = "Eye";
        cam.eye = v3(0, -10, 0);
        s.cameras.push_back(cam);
        k3ds::Node eye, target;
        eye.kind = k3ds::NodeKind::Camera;
        target.kind = k3ds::NodeKind::Target;
        eye.name = target.name = "Eye";
        eye.position = {{0, cam.eye}};
        target.position = {{0, v3(0, 0, 0)}};
        s.nodes.insert(s.nodes.begin(), {eye, target});
        for (k3ds::Node& n : s.nodes) n.writeId = false;
        out.push_back({"parents by node number", s, [](OGroup& g) {
                           EXPECT_EQ(meshNamed(g, "Kid")->parent, meshNamed(g, "Parent"));
                           EXPECT_EQ(meshNamed(g, "Parent")->parent, nullptr);
                       }});
    }
    return out;
}

TEST(PlacementOracle, EachPlacementRuleOnItsOwnFile) {
    static TestWindow window;
    std::vector<Fixture> all = fixtures();
    for (size_t i = 0; i < all.size(); ++i) {
        const Fixture& f = all[i];
        SCOPED_TRACE(f.rule);
        std::string path = TestWindow::outputPath("rule-" + std::to_string(i) + ".3ds");
        std::string error;
        ASSERT_TRUE(k3ds::saveScene(f.scene, path, &error)) << error;
        OGroup g;
        ASSERT_EQ(load3ds(path.c_str(), &g, "", kFlags, nullptr, nullptr), 0);
        FileResult r = compareWithLib3ds(path, g);
        EXPECT_EQ(r.unmatched, 0) << r.worst;
        EXPECT_LE(r.frame0, kTolerance) << r.worst;
        EXPECT_LE(r.keys, kTolerance) << r.worst;
        f.check(g);
    }
}

}  // namespace
