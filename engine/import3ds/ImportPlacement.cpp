// Where the meshes of a file stand: local axes (chunk 0x4160), mirrored
// axes, and the place of meshes that no keyframer node draws.
//
// A 3DS file stores vertices where the mesh stood when it was saved; a node
// draws them at T(position) R S T(-pivot) A^-1 v, A being the mesh's axes.
// Meshes drawn by a node are therefore put into their own axes before they
// are centred, and their pivots follow the centring.

#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include "import3ds/ImportState.h"
#include "scene/KVXPath.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"

namespace kvx_import {

namespace {

const char kEdgeCA = 1;  // face flag bits of the edges c-a and a-b
const char kEdgeAB = 2;

struct Vec {
    double x, y, z;
};

Vec operator-(const Vec& a, const Vec& b) { return Vec{a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator+(const Vec& a, const Vec& b) { return Vec{a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator*(const Vec& a, double k) { return Vec{a.x * k, a.y * k, a.z * k}; }
Vec cross(const Vec& a, const Vec& b) {
    return Vec{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The axes as columns X, Y, Z of the linear part and the origin O.
struct Axes {
    Vec x, y, z, origin;

    explicit Axes(const float* a)
        : x{a[0], a[1], a[2]}, y{a[3], a[4], a[5]}, z{a[6], a[7], a[8]}, origin{a[9], a[10], a[11]} {}

    double determinant() const { return dot(x, cross(y, z)); }
    bool identityLinear() const {
        return x.x == 1 && x.y == 0 && x.z == 0 && y.x == 0 && y.y == 1 && y.z == 0 && z.x == 0 && z.y == 0 && z.z == 1;
    }
    Vec toWorld(const Vec& l) const { return x * l.x + y * l.y + z * l.z; }
    // The rows of the inverse of the linear part are the cross products of
    // its columns over the determinant.
    Vec toLocal(const Vec& w) const {
        double d = determinant();
        return Vec{dot(cross(y, z), w) / d, dot(cross(z, x), w) / d, dot(cross(x, y), w) / d};
    }
    bool invertible() const {
        double d = determinant();
        return std::isfinite(d) && std::fabs(d) > 1e-30;
    }
};

Vec load(const Vertex3D& v) { return Vec{v.x, v.y, v.z}; }
Vertex3D store(const Vec& v) {
    return Vertex3D{static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

void turnFaces(Mesh* m) {
    for (int f = 0; f < m->faceCount; ++f) {
        uint16_t b = m->faces[f].b;
        m->faces[f].b = m->faces[f].c;
        m->faces[f].c = b;
        if (!m->faceFlags) continue;
        char flags = m->faceFlags[f];
        char swapped = static_cast<char>(flags & ~(kEdgeCA | kEdgeAB));
        if (flags & kEdgeCA) swapped |= kEdgeAB;
        if (flags & kEdgeAB) swapped |= kEdgeCA;
        m->faceFlags[f] = swapped;
    }
}

// The shift that centring leaves to the pivot: the origin in the mesh's own
// frame (zero for the stored frame when no node draws the mesh).
Vec originInOwnAxes(const MeshAxes& record) {
    Axes a(record.axes);
    if (a.identityLinear()) return a.origin;
    return a.toLocal(a.origin);
}

// The pivot records of the objects given take their objects' pivots.
void updatePivotRecords(PathList* paths, const std::unordered_set<const Object*>& moved) {
    if (!paths || !paths->pivots) return;
    for (int i = 0; i < paths->pivotCount; ++i)
        if (moved.count(paths->pivots[i].object)) paths->pivots[i].point = paths->pivots[i].object->pivot;
}

// A one-key position track at the mesh's centre: an animated group then
// draws the mesh where the file stores it.
void keepStoredPlace(ImportContext& c, Mesh* m) {
    PathList* paths = c.paths;
    if (!paths) return;
    KVXPath* path = new KVXPath(1, kNodeObject, kTrackPosition, m);
    path->set(0, m->position.z, m->position.y, m->position.x, 0);
    if (paths->addPath(path) != 0) delete path;
}

}  // namespace

MeshAxes* axesOf(ImportContext& c, const Object* object) {
    auto found = c.meshRecord.find(object);
    return found == c.meshRecord.end() ? nullptr : &c.meshes[found->second];
}

void registerMesh(ImportContext& c, Mesh* mesh) {
    MeshAxes record{mesh, {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, false};
    c.meshRecord.emplace(mesh, c.meshes.size());
    c.meshes.push_back(record);
}

void readLocalAxes(ImportContext& c, Mesh* mesh) {
    Loader& in = c.loader;
    MeshAxes* record = axesOf(c, mesh);
    float axes[12];
    for (float& v : axes) v = in.getFloat();
    if (!record || in.end) return;
    for (float v : axes)
        if (!std::isfinite(v)) return;
    if (!Axes(axes).invertible()) return;
    for (int i = 0; i < 12; ++i) record->axes[i] = axes[i];
}

void unmirror(ImportContext& c, Mesh* mesh) {
    MeshAxes* record = axesOf(c, mesh);
    if (!record || !mesh->originalVertices) return;
    Axes a(record->axes);
    if (a.determinant() >= 0) return;
    for (int i = 0; i < mesh->vertexCount; ++i) {
        Vec local = a.toLocal(load(mesh->originalVertices[i]) - a.origin);
        local.x = -local.x;
        mesh->originalVertices[i] = store(a.toWorld(local) + a.origin);
    }
    turnFaces(mesh);
}

void placeInOwnAxes(ImportContext& c, bool nodesDraw) {
    if (!nodesDraw) return;
    for (MeshAxes& record : c.meshes) {
        Mesh* m = record.mesh;
        Axes a(record.axes);
        if (!record.placedByNode || a.identityLinear() || !m->originalVertices) continue;
        for (int i = 0; i < m->vertexCount; ++i)
            m->originalVertices[i] = store(a.toLocal(load(m->originalVertices[i])));
    }
}

void settlePlacement(ImportContext& c, bool nodesDraw, bool animated) {
    std::unordered_set<const Object*> moved;
    for (MeshAxes& record : c.meshes) {
        Mesh* m = record.mesh;
        if (!record.placedByNode || !nodesDraw) {
            if (animated) keepStoredPlace(c, m);
            continue;
        }
        // T(-pivot) A^-1 v = T(-(pivot + centre - origin')) (A'^-1 v - centre)
        Vec shift = originInOwnAxes(record) - load(m->position);
        m->pivot = store(load(m->pivot) + shift);
        moved.insert(m);
    }
    updatePivotRecords(c.paths, moved);
}

// A number names the first node that carries it.
void resolveNodeParents(ImportContext& c) {
    std::unordered_map<int, Object*> byNumber;
    for (const NodeRecord& n : c.nodes) byNumber.emplace(n.number, n.object);
    for (const NodeRecord& n : c.nodes) {
        if (!n.object) continue;
        auto parent = byNumber.find(n.parent);
        n.object->parent = n.parent == -1 || parent == byNumber.end() ? nullptr : parent->second;
    }
}

}  // namespace kvx_import
