#include "spatial/ShadowIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/Math.h"
#include "scene/Mesh.h"
#include "spatial/RayTriangle.h"

bool kvxShadowIndexEnabled = true;

namespace kvx_spatial {

namespace {

const float kThird = 0.33333334f;
const int kLeafFaces = 4;
const int kMaxStack = 128;
// Pruning slack: far above float rounding, far below any geometric feature.
const double kDistanceSlack = 1e-5;
const double kRayMarginScale = 1e-4;

float coordinate(const Vertex3D& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

void centroidOf(const Vertex3D c[3], float out[3]) {
    for (int i = 0; i < 3; ++i) out[i] = (coordinate(c[0], i) + coordinate(c[1], i) + coordinate(c[2], i)) * kThird;
}

}  // namespace

Vertex3D lightingPoint(const Vertex3D& vertex, const Vertex3D& offset) {
    return Vertex3D{vertex.x + offset.x, vertex.y + offset.y, vertex.z + offset.z};
}

bool lightingCorners(const Mesh* m, int face, Vertex3D c[3]) {
    if (m == nullptr || m->vertices == nullptr || !m->isFaceValid(face)) return false;
    const Facelist& f = m->faces[face];
    c[0] = lightingPoint(m->vertices[f.a], m->position);
    c[1] = lightingPoint(m->vertices[f.b], m->position);
    c[2] = lightingPoint(m->vertices[f.c], m->position);
    return true;
}

bool faceBlocks(Vertex3D light, Vertex3D target, float distance, Vertex3D c[3]) {
    if (intersect2(&light, &target, &c[0], &c[1], &c[2]) < 0.0f) return false;
    // Faces lined up with the vertex on any axis (its own faces among them) never shadow it.
    for (int k = 0; k < 3; ++k)
        if (c[k].x == target.x || c[k].y == target.y || c[k].z == target.z) return false;
    float centre[3];
    centroidOf(c, centre);
    Vertex3D centroid{centre[0], centre[1], centre[2]};
    return kvxDistance(&light, &centroid) < distance;
}

bool directlyLit(Mesh* const* meshes, int meshCount, Vertex3D light, Vertex3D target) {
    const float distance = kvxDistance(&light, &target);
    for (int i = 0; i < meshCount; ++i) {
        const Mesh* m = meshes[i];
        if (m == nullptr) continue;
        for (int f = 0; f < m->faceCount; ++f) {
            Vertex3D c[3];
            if (lightingCorners(m, f, c) && faceBlocks(light, target, distance, c)) return false;
        }
    }
    return true;
}

// --- the hierarchy -----------------------------------------------------------

struct ShadowIndex::Query {
    double origin[3];
    double dir[3];
    double inv[3];
    double reachSquared;  // squared reach of the centroid test, with slack
    double margin;        // box growth covering the rounding of the face test
};

void ShadowIndex::clear() {
    faces.clear();
    nodes.clear();
    extent = 0.0f;
}

void ShadowIndex::addMeshes(Mesh* const* meshes, int meshCount) {
    for (int i = 0; i < meshCount; ++i) {
        const Mesh* m = meshes[i];
        if (m == nullptr) continue;
        for (int f = 0; f < m->faceCount; ++f) {
            Face face;
            if (!lightingCorners(m, f, face.corner)) continue;
            centroidOf(face.corner, face.centroid);
            faces.push_back(face);
        }
    }
}

void ShadowIndex::build() {
    nodes.clear();
    if (faces.empty()) return;
    nodes.reserve(faces.size() / kLeafFaces * 2 + 1);
    buildNode(0, int(faces.size()));
    const Node& root = nodes[0];
    extent = std::max({root.hi[0] - root.lo[0], root.hi[1] - root.lo[1], root.hi[2] - root.lo[2]});
}

int ShadowIndex::buildNode(int first, int count) {
    Node n;
    for (int i = 0; i < 3; ++i) {
        n.lo[i] = n.clo[i] = std::numeric_limits<float>::infinity();
        n.hi[i] = n.chi[i] = -std::numeric_limits<float>::infinity();
    }
    for (int f = first; f < first + count; ++f) {
        for (int i = 0; i < 3; ++i) {
            for (const Vertex3D& c : faces[f].corner) {
                n.lo[i] = std::min(n.lo[i], coordinate(c, i));
                n.hi[i] = std::max(n.hi[i], coordinate(c, i));
            }
            n.clo[i] = std::min(n.clo[i], faces[f].centroid[i]);
            n.chi[i] = std::max(n.chi[i], faces[f].centroid[i]);
        }
    }
    const int index = int(nodes.size());
    nodes.push_back(n);
    if (count <= kLeafFaces) {
        nodes[index].leaf = true;
        nodes[index].a = first;
        nodes[index].b = count;
        return index;
    }
    int axis = 0;
    for (int i = 1; i < 3; ++i)
        if (n.chi[i] - n.clo[i] > n.chi[axis] - n.clo[axis]) axis = i;
    const int half = count / 2;
    std::nth_element(faces.begin() + first, faces.begin() + first + half, faces.begin() + first + count,
                     [axis](const Face& x, const Face& y) { return x.centroid[axis] < y.centroid[axis]; });
    const int left = buildNode(first, half);
    const int right = buildNode(first + half, count - half);
    nodes[index].leaf = false;
    nodes[index].a = left;
    nodes[index].b = right;
    return index;
}

// Whether any face below n can pass the face test; entry is where the ray
// enters the node's (grown) box, for visiting nearer nodes first.
bool ShadowIndex::reaches(const Node& n, const Query& q, double* entry) const {
    double gap = 0.0;
    for (int i = 0; i < 3; ++i) {
        double d = std::max({double(n.clo[i]) - q.origin[i], q.origin[i] - double(n.chi[i]), 0.0});
        gap += d * d;
    }
    if (gap > q.reachSquared) return false;
    double tmin = 0.0, tmax = std::numeric_limits<double>::infinity();
    for (int i = 0; i < 3; ++i) {
        const double lo = double(n.lo[i]) - q.margin, hi = double(n.hi[i]) + q.margin;
        if (q.dir[i] == 0.0) {
            if (q.origin[i] < lo || q.origin[i] > hi) return false;
            continue;
        }
        double t1 = (lo - q.origin[i]) * q.inv[i], t2 = (hi - q.origin[i]) * q.inv[i];
        if (t1 > t2) std::swap(t1, t2);
        tmin = std::max(tmin, t1);
        tmax = std::min(tmax, t2);
        if (tmin > tmax) return false;
    }
    *entry = tmin;
    return true;
}

bool ShadowIndex::isLit(Vertex3D light, Vertex3D target) const {
    if (nodes.empty()) return true;
    const float distance = kvxDistance(&light, &target);
    Query q;
    const float l[3] = {light.x, light.y, light.z}, t[3] = {target.x, target.y, target.z};
    for (int i = 0; i < 3; ++i) {
        q.origin[i] = l[i];
        q.dir[i] = double(t[i]) - double(l[i]);
        q.inv[i] = q.dir[i] != 0.0 ? 1.0 / q.dir[i] : 0.0;
    }
    const double reach = double(distance) * (1.0 + kDistanceSlack) + kDistanceSlack * extent;
    q.reachSquared = reach * reach;
    q.margin = kRayMarginScale * (double(extent) + double(distance));
    bool finite = std::isfinite(q.reachSquared) && std::isfinite(q.margin);
    for (int i = 0; i < 3; ++i) finite = finite && std::isfinite(q.dir[i]);
    if (!finite) return directlyLitFaces(light, target, distance);

    int stack[kMaxStack];
    int top = 0;
    double entry = 0.0;
    if (reaches(nodes[0], q, &entry)) stack[top++] = 0;
    while (top > 0) {
        const Node& n = nodes[stack[--top]];
        if (n.leaf) {
            for (int f = n.a; f < n.a + n.b; ++f) {
                Vertex3D c[3] = {faces[f].corner[0], faces[f].corner[1], faces[f].corner[2]};
                if (faceBlocks(light, target, distance, c)) return false;
            }
            continue;
        }
        double ea = 0.0, eb = 0.0;
        bool ra = reaches(nodes[n.a], q, &ea), rb = reaches(nodes[n.b], q, &eb);
        // Push the farther child first so the nearer one is searched first.
        if (ra && rb) {
            stack[top++] = ea <= eb ? n.b : n.a;
            stack[top++] = ea <= eb ? n.a : n.b;
        } else if (ra) {
            stack[top++] = n.a;
        } else if (rb) {
            stack[top++] = n.b;
        }
    }
    return true;
}

bool ShadowIndex::directlyLitFaces(Vertex3D light, Vertex3D target, float distance) const {
    for (const Face& face : faces) {
        Vertex3D c[3] = {face.corner[0], face.corner[1], face.corner[2]};
        if (faceBlocks(light, target, distance, c)) return false;
    }
    return true;
}

}  // namespace kvx_spatial
