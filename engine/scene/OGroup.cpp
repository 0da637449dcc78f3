#include "scene/OGroup.h"

#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "core/VectorOps.h"
#include "import3ds/Import3DS.h"
#include "particles/ParticleSource.h"
#include "render/ErrorLog.h"
#include "scene/Camera.h"
#include "scene/KVXPath.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/MeshArrays.h"
#include "scene/MeshFaceRanges.h"
#include "scene/SceneMessages.h"
#include "spatial/Octree.h"
#include "texture/TList.h"

namespace {

const float kWeldBoxStart = 9999999.0f;
const int64_t kWeldCellLimit = 1 << 20;  // highest grid cell per axis; keys stay below 2^61

// Deletes the first count entries of list and empties their slots; the
// caller resets the count.
template <class T>
void deleteEach(T** list, int count) {
    for (int i = 0; i < count; ++i) {
        delete list[i];
        list[i] = nullptr;
    }
}

// Material lists that copyMaterialFaceStructures shares are destroyed by the
// last group that lets go of them.
void releaseTList(TList* list) {
    if (list->releaseHolder()) delete list;
}

template <class T, int N>
int appendTo(T* (&list)[N], int32_t& count, T* item, const char* fullMessage, int code) {
    if (count >= N) return kvxPutToErrorLog(fullMessage, code);
    list[count++] = item;
    return 0;
}

bool sameName(const Object* o, const char* name) { return o && o->name && name && std::strcmp(o->name, name) == 0; }

template <class T>
Object* findByName(T* const* list, int count, const char* name) {
    for (int i = 0; i < count; ++i)
        if (sameName(list[i], name)) return list[i];
    return nullptr;
}

template <class T>
Object* findById(T* const* list, int count, int id) {
    for (int i = 0; i < count; ++i)
        if (list[i] && list[i]->id == id) return list[i];
    return nullptr;
}

}  // namespace

OGroup::OGroup()
    : meshCount(0), cameraCount(0), lightCount(0), tlistCount(0), pathListCount(0), particleSourceCount(0),
      activeTList(nullptr), activePathList(nullptr), activeCamera(nullptr), octree(nullptr), animated(false),
      clampFrames(false), currentFrame(0), startFrame(0), endFrame(0), frameCount(0) {
    std::memset(meshes, 0, sizeof meshes);
    std::memset(cameras, 0, sizeof cameras);
    std::memset(lights, 0, sizeof lights);
    std::memset(tlists, 0, sizeof tlists);
    std::memset(pathLists, 0, sizeof pathLists);
    std::memset(particleSources, 0, sizeof particleSources);
}

OGroup::~OGroup() { clear(); }

void OGroup::destroyOctree() {
    delete octree;
    octree = nullptr;
}

void OGroup::releaseTLists() {
    for (int i = 0; i < tlistCount; ++i) {
        releaseTList(tlists[i]);
        tlists[i] = nullptr;
    }
    tlistCount = 0;
    activeTList = nullptr;
}

int OGroup::clear() {
    deleteEach(meshes, meshCount);
    deleteEach(cameras, cameraCount);
    deleteEach(lights, lightCount);
    releaseTLists();
    deleteEach(pathLists, pathListCount);
    deleteEach(particleSources, particleSourceCount);
    destroyOctree();
    meshCount = cameraCount = lightCount = pathListCount = particleSourceCount = 0;
    activePathList = nullptr;
    activeCamera = nullptr;
    animated = clampFrames = false;
    currentFrame = startFrame = endFrame = frameCount = 0;
    return 0;
}

int OGroup::load(const char* fileName, int flags, const char* textureDirectory) {
    if (flags & kvxLoadClearFirst) clear();
    load3ds(fileName, this, textureDirectory, flags, nullptr, nullptr);
    return 0;
}

// --- containers --------------------------------------------------------------

int OGroup::addMesh(Mesh* mesh) { return appendTo(meshes, meshCount, mesh, kMsgMeshListFull, kCodeMeshListFull); }

int OGroup::addLight(Light* light) {
    return appendTo(lights, lightCount, light, kMsgLightListFull, kCodeLightListFull);
}

int OGroup::addCamera(Camera* camera) {
    int r = appendTo(cameras, cameraCount, camera, kMsgCameraListFull, kCodeCameraListFull);
    if (r == 0 && !activeCamera) activeCamera = camera;
    return r;
}

int OGroup::addTList(TList* list) {
    int r = appendTo(tlists, tlistCount, list, kMsgTListListFull, kCodeTListListFull);
    if (r == 0 && !activeTList) activeTList = list;
    return r;
}

int OGroup::addPathList(PathList* list) {
    int r = appendTo(pathLists, pathListCount, list, kMsgPathListFull, kCodePathListFull);
    if (r == 0 && !activePathList) activePathList = list;
    return r;
}

int OGroup::addParticleSource(ParticleSource* source) {
    return appendTo(particleSources, particleSourceCount, source, kMsgParticleListFull, kCodeParticleListFull);
}

// Indices outside a list's capacity find no entry, like an empty slot.
int OGroup::setActiveCamera(int i) {
    if (i < 0 || i >= maxCameras || !cameras[i]) return kvxPutToErrorLog(kMsgCamListNull, kCodeCamListNull);
    activeCamera = cameras[i];
    return 0;
}

int OGroup::setActiveTList(int i) {
    if (i < 0 || i >= maxTLists || !tlists[i]) return kvxPutToErrorLog(kMsgTListNull, kCodeTListNull);
    activeTList = tlists[i];
    return 0;
}

int OGroup::setActivePathList(int i) {
    if (i < 0 || i >= maxPathLists || !pathLists[i]) return kvxPutToErrorLog(kMsgPathListNull, kCodePathListNull);
    PathList* list = pathLists[i];
    activePathList = list;
    startFrame = list->startFrame;
    endFrame = list->endFrame;
    frameCount = list->frameCount;
    clampFrames = list->clampFrames;
    for (int p = 0; p < list->pivotCount; ++p)
        if (list->pivots[p].object) list->pivots[p].object->pivot = list->pivots[p].point;
    return 0;
}

Object* OGroup::findObject(const char* name) {
    if (Object* o = findByName(meshes, meshCount, name)) return o;
    if (Object* o = findByName(lights, lightCount, name)) return o;
    return findByName(cameras, cameraCount, name);
}

Object* OGroup::findObject(int id) {
    if (id == -1) return nullptr;
    if (Object* o = findById(meshes, meshCount, id)) return o;
    if (Object* o = findById(lights, lightCount, id)) return o;
    return findById(cameras, cameraCount, id);
}

// Pivot records keep a pointer to their object; a removed mesh's records are
// dropped so that a later setActivePathList cannot write through them.
void OGroup::dropPivotsOf(Object* object) {
    for (int l = 0; l < pathListCount; ++l) {
        PathList* list = pathLists[l];
        int kept = 0;
        for (int p = 0; p < list->pivotCount; ++p)
            if (list->pivots[p].object != object) list->pivots[kept++] = list->pivots[p];
        list->pivotCount = kept;
    }
}

int OGroup::delMesh(Mesh* mesh) {
    if (!mesh) return kvxPutToErrorLog(kMsgObjectNull, kCodeObjectNull);
    for (int l = 0; l < pathListCount; ++l) {
        PathList* list = pathLists[l];
        for (int p = list->pathCount - 1; p >= 0; --p)
            if (list->paths[p] && list->paths[p]->object == mesh) list->delPath(p);
    }
    dropPivotsOf(mesh);
    int index = -1;
    for (int i = 0; i < meshCount && index < 0; ++i)
        if (meshes[i] == mesh) index = i;
    if (index < 0) return kvxPutToErrorLog(kMsgObjectNotFound, kCodeObjectNotFound);
    for (int i = index; i + 1 < meshCount; ++i) meshes[i] = meshes[i + 1];
    meshes[--meshCount] = nullptr;
    delete mesh;
    return 0;
}

// --- copying between groups ----------------------------------------------------

int OGroup::copyMaterialFaceStructures(OGroup* target) {
    if (!target) return kvxPutToErrorLog(kMsgGroupNull, kCodeGroupNull);
    for (int i = 0; i < meshCount; ++i) {
        Mesh* src = meshes[i];
        Mesh* dst = static_cast<Mesh*>(target->findObject(src->name));
        if (!dst) return kvxPutToErrorLog(kMsgObjectNull, kCodeObjectNull);
        if (dst->vertexCount != src->vertexCount || dst->faceCount != src->faceCount)
            return kvxPutToErrorLog(kMsgCopyFailed, kCodeSceneStructure);
        if (dst == src) continue;
        kvx_mesh::copyElements(dst->faceMaterials, src->faceMaterials, src->faceCount);
        kvx_mesh::copyElements(dst->faces, src->faces, src->faceCount);
        kvx_mesh::copyElements(dst->edgeNormals, src->edgeNormals, src->faceCount);
        delete dst->materialGroups;
        dst->materialGroups = src->materialGroups ? src->materialGroups->copy() : nullptr;
    }
    if (target == this) return 0;
    target->releaseTLists();
    for (int i = 0; i < tlistCount; ++i)
        if (target->addTList(tlists[i]) == 0) tlists[i]->addHolder();
    target->activeTList = tlistCount > 0 ? tlists[0] : nullptr;
    return 0;
}

// --- merging -------------------------------------------------------------------

void OGroup::markAttach(bool value, Mesh* mesh) {
    if (mesh) mesh->attached = value;
}

void OGroup::attach() {
    if (meshCount == 0) return;
    long long v = 0, f = 0;
    for (int i = 0; i < meshCount; ++i)
        if (meshes[i]->attached) {
            v += meshes[i]->vertexCount;
            f += meshes[i]->faceCount;
        }
    // Faces address vertices by 16 bits: a merge beyond that cannot be drawn.
    if (v < 1 || f < 1 || v > Mesh::kMaxVertices) return;

    Mesh* merged = new Mesh();
    merged->setName("AttachedObject");
    merged->parent = nullptr;
    merged->id = merged->parentId = 0;
    merged->special = false;
    merged->specialType = 0;
    merged->visible = true;
    merged->specialFade = 0.0f;
    merged->createVertices(static_cast<int>(v));
    merged->createFaces(static_cast<int>(f));

    int o = 0, p = 0;
    for (int i = 0; i < meshCount; ++i) {
        Mesh* m = meshes[i];
        if (!m->attached) continue;
        int nv = m->vertexCount, nf = m->faceCount;
        kvx_mesh::visitVertexArrays([&](auto member, kvx_mesh::ArrayKind kind) {
            if (kind != kvx_mesh::ArrayKind::scratch) kvx_mesh::copyElements(merged->*member + o, m->*member, nv);
        });
        kvx_mesh::visitFaceArrays([&](auto member, kvx_mesh::ArrayKind kind) {
            if (kind != kvx_mesh::ArrayKind::scratch) kvx_mesh::copyElements(merged->*member + p, m->*member, nf);
        });
        for (int k = p; k < p + nf; ++k) {
            merged->faces[k].a = static_cast<uint16_t>(merged->faces[k].a + o);
            merged->faces[k].b = static_cast<uint16_t>(merged->faces[k].b + o);
            merged->faces[k].c = static_cast<uint16_t>(merged->faces[k].c + o);
        }
        o += nv;
        p += nf;
    }
    for (int i = meshCount - 1; i >= 0; --i)
        if (meshes[i]->attached) delMesh(meshes[i]);
    addMesh(merged);
    destroyOctree();
}

// --- whole-group edits ---------------------------------------------------------

namespace {

void scale(Vertex3D& v, float f) { v = kvx_vector::mul(v, f); }

float largestFaceExtent(const Mesh* m) {
    float extent = 0.0f;
    if (!m->vertices || !m->faces) return extent;
    for (int i = 0; i < m->faceCount; ++i) {
        if (!m->isFaceValid(i)) continue;
        const Facelist& fc = m->faces[i];
        const Vertex3D* c[3] = {&m->vertices[fc.a], &m->vertices[fc.b], &m->vertices[fc.c]};
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b) {
                extent = std::fmax(extent, std::fabs(c[a]->x - c[b]->x));
                extent = std::fmax(extent, std::fabs(c[a]->y - c[b]->y));
                extent = std::fmax(extent, std::fabs(c[a]->z - c[b]->z));
            }
    }
    return extent;
}

}  // namespace

void OGroup::scalePaths(float f) {
    for (int l = 0; l < pathListCount; ++l) {
        PathList* list = pathLists[l];
        for (int p = 0; p < list->pathCount; ++p) {
            KVXPath* path = list->paths[p];
            if (!path || path->track != 0) continue;
            for (int k = 0; k < path->keyCount; ++k) scale(path->keys[k].position, f);
        }
        for (int p = 0; p < list->pivotCount; ++p) scale(list->pivots[p].point, f);
    }
}

void OGroup::adjustSize(Mesh* reference, float size) {
    if (!reference) return;
    reference->visible = false;
    float m = largestFaceExtent(reference);
    // A flat or empty reference gives no scale; scaling by infinity would
    // destroy every coordinate of the group.
    if (!(m > 0.0f)) return;
    float f = size / m;
    for (int i = 0; i < meshCount; ++i) {
        Mesh* mesh = meshes[i];
        if (mesh->vertices)
            for (int v = 0; v < mesh->vertexCount; ++v) scale(mesh->vertices[v], f);
        scale(mesh->position, f);
        scale(mesh->pivot, f);
        mesh->radius *= f;
    }
    scalePaths(f);
    for (int i = 0; i < lightCount; ++i) scale(lights[i]->location, f);
    for (int i = 0; i < cameraCount; ++i) scale(cameras[i]->eye, f);
    destroyOctree();
    constructOctree();
}

namespace {

bool isFinite(const Vertex3D& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Cells count from the array's lowest corner and are computed in double, so
// coordinates far from the origin or near the float limits neither share one
// clamped cell nor turn the neighbourhood of a point into an endless range.
class WeldGrid {
public:
    WeldGrid(const Vertex3D* v, int n, float t) : t_(t) {
        low_[0] = low_[1] = low_[2] = 0.0;
        bool first = true;
        for (int i = 0; i < n; ++i) {
            if (!isFinite(v[i])) continue;
            const double c[3] = {v[i].x, v[i].y, v[i].z};
            for (int a = 0; a < 3; ++a) low_[a] = first ? c[a] : std::fmin(low_[a], c[a]);
            first = false;
        }
    }
    int64_t cell(int axis, double x) const {
        double c = std::floor((x - low_[axis]) / t_);
        return static_cast<int64_t>(std::fmax(0.0, std::fmin(double(kWeldCellLimit), c)));
    }
    static int64_t key(int64_t x, int64_t y, int64_t z) {
        const int64_t span = kWeldCellLimit + 1;
        return (x * span + y) * span + z;
    }

private:
    double t_;
    double low_[3];
};

// Welds the vertices of v in index order: each vertex i in turn pulls every
// vertex that lies closer than t on all three axes onto its own current
// position. Vertices already welded together stay together, so each group of
// equal positions is one cluster, found through a grid of cells of side t;
// the result equals comparing every pair in that order.
void weldVertices(Vertex3D* v, int n, float t) {
    if (!(t > 0.0f) || !std::isfinite(t)) return;
    std::vector<int> parent(n), clusterOf(n);
    std::vector<bool> alive(n, true);
    auto root = [&](int k) {
        while (parent[k] != k) k = parent[k] = parent[parent[k]];
        return k;
    };
    const WeldGrid cells(v, n, t);
    std::unordered_map<int64_t, std::vector<int>> grid;
    for (int i = 0; i < n; ++i) {
        parent[i] = i;
        const Vertex3D& p = v[i];
        if (isFinite(p)) grid[WeldGrid::key(cells.cell(0, p.x), cells.cell(1, p.y), cells.cell(2, p.z))].push_back(i);
    }
    for (int i = 0; i < n; ++i) {
        int c = root(i);
        Vertex3D p = v[c];
        if (!isFinite(p)) continue;
        const double px = p.x, py = p.y, pz = p.z;
        for (int64_t x = cells.cell(0, px - t); x <= cells.cell(0, px + t); ++x)
            for (int64_t y = cells.cell(1, py - t); y <= cells.cell(1, py + t); ++y)
                for (int64_t z = cells.cell(2, pz - t); z <= cells.cell(2, pz + t); ++z) {
                    auto it = grid.find(WeldGrid::key(x, y, z));
                    if (it == grid.end()) continue;
                    std::vector<int>& members = it->second;
                    size_t kept = 0;
                    for (int k : members) {
                        if (!alive[k]) continue;
                        const Vertex3D& q = v[k];
                        if (k != c && std::fabs(q.x - p.x) < t && std::fabs(q.y - p.y) < t &&
                            std::fabs(q.z - p.z) < t) {
                            parent[k] = c;
                            alive[k] = false;
                            continue;
                        }
                        members[kept++] = k;
                    }
                    members.resize(kept);
                }
    }
    for (int i = 0; i < n; ++i) clusterOf[i] = root(i);
    for (int i = 0; i < n; ++i) v[i] = v[clusterOf[i]];
}

}  // namespace

void OGroup::closeCombine(float percent) {
    if (meshCount == 0) return;
    Vertex3D lo{kWeldBoxStart, kWeldBoxStart, kWeldBoxStart};
    Vertex3D hi{-kWeldBoxStart, -kWeldBoxStart, -kWeldBoxStart};
    for (int i = 0; i < meshCount; ++i) {
        const Mesh* m = meshes[i];
        if (!m->originalVertices) continue;
        for (int v = 0; v < m->vertexCount; ++v) {
            const Vertex3D& p = m->originalVertices[v];
            lo = Vertex3D{std::fmin(lo.x, p.x), std::fmin(lo.y, p.y), std::fmin(lo.z, p.z)};
            hi = Vertex3D{std::fmax(hi.x, p.x), std::fmax(hi.y, p.y), std::fmax(hi.z, p.z)};
        }
    }
    float extent = std::fmax(hi.x - lo.x, std::fmax(hi.y - lo.y, hi.z - lo.z));
    Mesh* first = meshes[0];
    if (first->originalVertices) weldVertices(first->originalVertices, first->vertexCount, extent * percent * 0.01f);
}

int OGroup::constructOctree() {
    if (meshCount == 0) return kvxPutToErrorLog(kMsgOctreeFailed, kCodeOctreeFailed);
    destroyOctree();
    octree = new octreeNode();
    for (int i = 0; i < meshCount; ++i) {
        Mesh* m = meshes[i];
        if (!m->visible || m->faceCount <= 0) continue;
        for (int f = 0; f < m->faceCount; ++f) octree->insert(m, f, true);
    }
    octree->adjustSize();
    octree->split(5, 5, nullptr);
    octree->makePlanes(0.001f);
    return 0;
}
