// Every real file's prepared meshes, bit for bit: a digest of all their
// arrays, paths and hierarchy against the digests recorded in mesh-digests.txt. A faster import
// must give the same floats. After an intended change of the geometry,
// KVX_WRITE_MESH_DIGESTS=1 rewrites the file. The digests are those of an
// optimized build: the compiler's optimizer keeps some intermediate doubles
// that unoptimized code rounds to float, so their last bits differ.

#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "ImportTestSupport.h"

namespace {

const int kPrepared = kvxLoadMeshes | kvxLoadLights | kvxLoadCameras | kvxLoadKeyframer;
const int kFlagWords[] = {kPrepared, kPrepared | kvxLoadSmoothing};

std::string digestFile() { return std::string(KVX_SOURCE_DIR) + "/tests/import3ds/mesh-digests.txt"; }

// FNV-1a over raw bytes.
struct Digest {
    uint64_t h = 1469598103934665603ull;
    void bytes(const void* p, size_t n) {
        const unsigned char* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    }
    template <class T>
    void array(const T* p, int n) {
        bytes(&n, sizeof n);
        if (p && n > 0) bytes(p, sizeof(T) * size_t(n));
    }
    template <class T>
    void value(const T& v) {
        bytes(&v, sizeof v);
    }
};

// An object of the group by its place: meshes, then lights, then cameras; -1 for none.
int placeOf(const OGroup& g, const Object* o) {
    for (int i = 0; i < g.meshCount; ++i)
        if (g.meshes[i] == o) return i;
    for (int i = 0; i < g.lightCount; ++i)
        if (g.lights[i] == o) return g.meshCount + i;
    for (int i = 0; i < g.cameraCount; ++i)
        if (g.cameras[i] == o) return g.meshCount + g.lightCount + i;
    return -1;
}

// The keyframer's paths and pivots and the objects' hierarchy.
void digestAnimation(const OGroup& g, Digest& d) {
    d.value(g.animated);
    d.value(g.startFrame);
    d.value(g.endFrame);
    for (int i = 0; i < g.meshCount; ++i) {
        d.value(placeOf(g, g.meshes[i]->parent));
        d.value(g.meshes[i]->id);
        d.value(g.meshes[i]->parentId);
    }
    for (int l = 0; l < g.pathListCount; ++l) {
        const PathList* list = g.pathLists[l];
        for (int p = 0; p < list->pathCount; ++p) {
            const KVXPath* path = list->paths[p];
            d.value(path->nodeType);
            d.value(path->track);
            d.value(placeOf(g, path->object));
            d.array(path->keys, path->keyCount);
        }
        for (int p = 0; list->pivots && p < list->pivotCount; ++p) {
            d.value(list->pivots[p].point);
            d.value(placeOf(g, list->pivots[p].object));
        }
    }
}

uint64_t digestOf(const OGroup& g) {
    Digest d;
    digestAnimation(g, d);
    for (int i = 0; i < g.meshCount; ++i) {
        const Mesh* m = g.meshes[i];
        d.bytes(m->name ? m->name : "", m->name ? std::strlen(m->name) : 0);
        const int v = m->vertexCount, f = m->faceCount;
        d.array(m->originalVertices, v);
        d.array(m->vertices, v);
        d.array(m->textureCoords, v);
        d.array(m->originalNormals, v);
        d.array(m->normals, v);
        d.array(m->edgeNormals, f);
        d.array(m->faces, f);
        d.array(m->faceMaterials, f);
        d.array(m->smoothingGroups, f);
        d.array(m->faceFlags, f);
        if (m->materialGroups) d.array(m->materialGroups->ranges, m->materialGroups->count);
        d.value(m->position);
        d.value(m->pivot);
        d.value(m->radius);
        d.value(m->visible);
    }
    return d.h;
}

void collect(const std::string& dir, const std::string& relative, std::vector<std::string>& out) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        std::string rel = relative.empty() ? name : relative + "/" + name;
        if (e->d_type == DT_DIR) {
            collect(dir + "/" + name, rel, out);
            continue;
        }
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".3ds") == 0) out.push_back(rel);
    }
    closedir(d);
}

std::map<std::string, std::string> recorded() {
    std::map<std::string, std::string> digests;
    std::ifstream in(digestFile());
    std::string file, flags, digest;
    while (in >> file >> flags >> digest) digests[file + " " + flags] = digest;
    return digests;
}

TEST(MeshDigest, RealFilesPrepareToTheRecordedMeshes) {
#ifndef __OPTIMIZE__
    GTEST_SKIP() << "digests are recorded from an optimized build";
#endif
    kvxtest::window();
    std::vector<std::string> files;
    collect(KVX_TESTDATA_DIR, "", files);
    std::sort(files.begin(), files.end());
    ASSERT_GT(files.size(), 20u);

    std::map<std::string, std::string> expected = recorded();
    std::ostringstream actual;
    for (const std::string& file : files)
        for (int flags : kFlagWords) {
            OGroup g;
            std::string path = std::string(KVX_TESTDATA_DIR) + "/" + file;
            if (load3ds(path.c_str(), &g, "", flags, nullptr, nullptr) != 0) continue;
            char line[64];
            std::snprintf(line, sizeof line, "%#x %016llx", flags, static_cast<unsigned long long>(digestOf(g)));
            std::string key = file + " " + std::string(line, std::strchr(line, ' '));
            std::string digest = std::strchr(line, ' ') + 1;
            actual << file << " " << line << "\n";
            EXPECT_EQ(expected[key], digest) << key;
        }
    if (std::getenv("KVX_WRITE_MESH_DIGESTS")) std::ofstream(digestFile()) << actual.str();
}

}  // namespace
