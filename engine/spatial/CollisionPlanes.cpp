// Collision planes: each leaf groups its polygons into planes of one
// material (a polygon with its back-to-back coplanar partners), numbered
// across the tree in pre-order.

#include <cmath>
#include <vector>

#include "core/Math.h"
#include "scene/Mesh.h"
#include "spatial/Octree.h"

namespace {

int planeCounter = 0;

// A partner must face away from the first polygon of its plane.
const float kOppositeNormalLimit = 0.0001f;
const float kCombineNormalLimit = 0.00001f;

struct PlaneCandidate {
    Vertex3D corner[3];
    Vertex3D normal;
    int material;
};

int faceMaterial(const OTPolyData& p) {
    const Mesh* m = p.mesh;
    if (m == nullptr || m->faceMaterials == nullptr || p.face < 0 || p.face >= m->faceCount) return -1;
    return m->faceMaterials[p.face];
}

// Corners placed by the mesh's static transform.
PlaneCandidate describe(const OTPolyData& p) {
    PlaneCandidate c;
    Mesh* m = p.mesh;
    bool valid = m != nullptr && m->faces != nullptr && p.face >= 0 && p.face < m->faceCount;
    const Facelist f = valid ? m->faces[p.face] : Facelist{0, 0, 0};
    const int index[3] = {f.a, f.b, f.c};
    for (int k = 0; k < 3; ++k)
        c.corner[k] = valid ? m->calculatedVertex(index[k]) : Vertex3D{0.0f, 0.0f, 0.0f};
    c.normal = calcNormal(&c.corner[0], &c.corner[1], &c.corner[2]);
    c.material = faceMaterial(p);
    return c;
}

float planeDistance(const Vertex3D& point, const Vertex3D& origin, Vertex3D normal) {
    Vertex3D d{point.x - origin.x, point.y - origin.y, point.z - origin.z};
    return std::fabs(dotProd(&d, &normal));
}

bool joinsPlane(const PlaneCandidate& first, const PlaneCandidate& other, float tolerance) {
    if (other.material != first.material) return false;
    Vertex3D a = first.normal, b = other.normal;
    if (!(dotProd(&a, &b) < kOppositeNormalLimit)) return false;
    for (const Vertex3D& q : other.corner)
        if (!(planeDistance(q, first.corner[0], first.normal) < tolerance)) return false;
    return true;
}

Plane* buildPlane(const PlaneCandidate& first, const std::vector<PlaneList>& members) {
    Plane* plane = new Plane();
    plane->create(int(members.size()));
    for (size_t i = 0; i < members.size(); ++i) plane->points[i] = members[i];
    plane->normal = first.normal;
    plane->origin = first.corner[0];
    return plane;
}

}  // namespace

void octreeNode::makePlanes(float tolerance) {
    planeCounter = 0;
    constructPlanes(tolerance);
    unifyPlanes();
}

void octreeNode::constructPlanes(float tolerance) {
    createPlanes(tolerance);
    if (isSplit)
        for (octreeNode* child : children) child->constructPlanes(tolerance);
}

int octreeNode::createPlanes(float tolerance) {
    // A rebuilt list replaces the old one, which would otherwise leak.
    destroyPlanes();
    const int n = polygons.size();
    std::vector<PlaneCandidate> described(n);
    for (int i = 0; i < n; ++i) described[i] = describe(polygons[i]);
    std::vector<bool> taken(n, false);
    std::vector<PlaneList> members;
    Plane* last = nullptr;
    for (int i = 0; i < n; ++i) {
        if (taken[i]) continue;
        taken[i] = true;
        members.assign(1, PlaneList{polygons[i].face, polygons[i].mesh});
        // Every polygon before i is taken by now.
        for (int j = i + 1; j < n; ++j) {
            if (taken[j] || !joinsPlane(described[i], described[j], tolerance)) continue;
            taken[j] = true;
            members.push_back(PlaneList{polygons[j].face, polygons[j].mesh});
        }
        Plane* plane = buildPlane(described[i], members);
        if (last == nullptr)
            planes = plane;
        else
            last->next = plane;
        last = plane;
    }
    return 0;
}

void octreeNode::unifyPlanes() {
    for (Plane* p = planes; p != nullptr; p = p->next) p->planeId = planeCounter++;
    if (isSplit)
        for (octreeNode* child : children) child->unifyPlanes();
}

int octreeNode::destroyPlanes() {
    delete planes;  // the first plane frees the rest of the list and the point arrays
    planes = nullptr;
    return 0;
}

void octreeNode::combinePlanes(octreeNode* other, float tolerance) {
    if (other == nullptr) return;
    other->subCombinePlanes(this, tolerance);
    if (isSplit)
        for (octreeNode* child : children) child->combinePlanes(other, tolerance);
}

// Runs over this subtree (the "other" tree of combinePlanes) and renumbers
// the matching planes of target.
void octreeNode::subCombinePlanes(octreeNode* target, float tolerance) {
    if (target == nullptr) return;
    for (Plane* p = planes; p != nullptr; p = p->next) {
        for (Plane* q = target->planes; q != nullptr; q = q->next) {
            Vertex3D qn = q->normal, pn = p->normal;
            if (dotProd(&qn, &pn) < kCombineNormalLimit &&
                planeDistance(p->origin, q->origin, q->normal) < tolerance)
                q->planeId = p->planeId;
        }
    }
    if (isSplit)
        for (octreeNode* child : children) child->subCombinePlanes(target, tolerance);
}
