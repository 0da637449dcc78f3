#include "spatial/Collision.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/Math.h"
#include "core/VectorOps.h"
#include "platform/Window.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "spatial/Octree.h"
#include "spatial/RayTriangle.h"
#include "texture/Material.h"
#include "texture/TList.h"

namespace {

struct Candidate {
    Plane* plane;
    float t;
};

// Engine-wide scratch lists of the collision and nearest-hit queries.
octreeNode* collisionLeaves[kvxCollisionLeafCapacity];
Candidate candidates[kvxCollisionCandidateCapacity];
Plane* markedPlanes[kvxCollisionMarkCapacity];
octreeNode* distanceLeaves[kvxRayDistanceLeafCapacity];

const float kHeightStart = 100000000.0f;
const float kSmallestNormalFloat = 1.1754944e-38f;
const int kOpacityDrawRange = 1000;
const int kOpacityDrawAccept = 500;

using kvx_vector::sub;

float dot(Vertex3D a, Vertex3D b) { return dotProd(&a, &b); }

bool faceInRange(const Mesh* m, int face) {
    return m != nullptr && m->faces != nullptr && face >= 0 && face < m->faceCount;
}

// Corners placed by the mesh's static transform.
bool calculatedCorners(Mesh* m, int face, Vertex3D c[3]) {
    if (!faceInRange(m, face)) return false;
    const Facelist& f = m->faces[face];
    c[0] = m->calculatedVertex(f.a);
    c[1] = m->calculatedVertex(f.b);
    c[2] = m->calculatedVertex(f.c);
    return true;
}

Material* faceMaterial(OGroup* group, const Mesh* m, int face) {
    if (group->activeTList == nullptr || !faceInRange(m, face) || m->faceMaterials == nullptr) return nullptr;
    return group->activeTList->getMaterial(m->faceMaterials[face]);
}

bool hasTree(OGroup* group) { return group != nullptr && group->octree != nullptr; }

// Calls visit(mesh, face, corners) for every polygon of the leaves, in order.
template <class Visit>
void forEachLeafPolygon(octreeNode** leaves, int count, Visit visit) {
    for (int l = 0; l < count; ++l) {
        OTPolyList& polys = leaves[l]->polygons;
        for (int p = 0; p < polys.size(); ++p) {
            Vertex3D c[3];
            if (calculatedCorners(polys[p].mesh, polys[p].face, c) && !visit(polys[p].mesh, polys[p].face, c)) return;
        }
    }
}

// The segment's hit on the front of c, if any.
bool frontHit(Vertex3D* from, Vertex3D* to, Vertex3D c[3], Vertex3D* point) {
    if (!(intersect2(from, to, &c[0], &c[1], &c[2]) >= 0.0f)) return false;
    *point = findIntersectionPoint(from, to, &c[0], &c[1], &c[2]);
    return true;
}

// --- collision ---------------------------------------------------------------

int gatherCandidates(OGroup* group, int leafCount, const Vertex3D& position, const Vertex3D& oldPosition,
                     float radius) {
    const Vertex3D move = sub(position, oldPosition);
    int count = 0;
    for (int l = 0; l < leafCount; ++l) {
        for (Plane* plane = collisionLeaves[l]->planes; plane != nullptr; plane = plane->next) {
            if (plane->visited || plane->count < 1) continue;
            const Vertex3D n = plane->normal;
            const float speed = dot(move, n);
            if (!(std::fabs(dot(sub(oldPosition, plane->origin), n)) > radius) || speed == 0.0f) continue;
            const float gap = dot(sub(plane->origin, oldPosition), n);
            float t = (gap + radius) / speed;
            Material* mat = faceMaterial(group, plane->points[0].mesh, plane->points[0].face);
            if (mat != nullptr && mat->twoSided) {
                float back = (gap - radius) / speed;
                if (back < t && back >= 0.0f) t = back;
            }
            if (!(t >= 0.0f && t <= 1.0f)) continue;
            if (count < kvxCollisionCandidateCapacity) candidates[count++] = Candidate{plane, t};
        }
    }
    return count;
}

// The sphere centre lies within radius of the triangle as seen in its plane.
bool sphereTouchesPolygon(const Vertex3D& position, float radius, Mesh* m, int face, Vertex3D c[3]) {
    if (m->edgeNormals == nullptr || !calculatedCorners(m, face, c)) return false;
    const Vertex3D* e = m->edgeNormals[face].n;
    const Vertex3D a = sub(position, c[0]), b = sub(position, c[1]), cc = sub(position, c[2]);
    return dot(a, e[0]) < radius && dot(b, e[1]) < radius && dot(cc, e[2]) < radius && dot(b, e[3]) < radius &&
           dot(cc, e[4]) < radius && dot(a, e[5]) < radius;
}

// One pass: deflects the move by the first polygon hit. False when none was.
bool collisionPass(OGroup* group, int leafCount, Vertex3D* position, const Vertex3D& oldPosition, float radius,
                   bool slide, Vertex3D* normal, int& marked) {
    int count = gatherCandidates(group, leafCount, *position, oldPosition, radius);
    std::stable_sort(candidates, candidates + count, [](const Candidate& a, const Candidate& b) { return a.t < b.t; });
    for (int i = 0; i < count; ++i) {
        Plane* plane = candidates[i].plane;
        for (int k = 0; k < plane->count; ++k) {
            Vertex3D c[3];
            if (!sphereTouchesPolygon(*position, radius, plane->points[k].mesh, plane->points[k].face, c)) continue;
            const Vertex3D n = calcNormal(&c[0], &c[1], &c[2]);
            const Vertex3D move = sub(*position, oldPosition);
            Vertex3D next = oldPosition;
            if (slide) {
                const float along = dot(move, n);
                next = Vertex3D{oldPosition.x + (move.x - along * n.x), oldPosition.y + (move.y - along * n.y),
                                oldPosition.z + (move.z - along * n.z)};
            }
            *position = next;
            if (normal != nullptr) *normal = n;
            plane->visited = true;
            markedPlanes[marked++] = plane;
            return true;
        }
    }
    return false;
}

}  // namespace

bool kvxCheckCollision(Vertex3D* position, Vertex3D* oldPosition, float radius, OGroup* group, bool slide,
                       Vertex3D* normal, int iterations) {
    if (!hasTree(group) || position == nullptr || oldPosition == nullptr) return false;
    const int leafCount = group->octree->traverseNearest(position, radius, collisionLeaves, kvxCollisionLeafCapacity);
    // Each pass marks at most one plane, so the mark list bounds the passes.
    const int passes = std::min(iterations, kvxCollisionMarkCapacity);
    const Vertex3D start = *oldPosition;
    bool collided = false;
    int marked = 0;
    for (int r = 0; r < passes; ++r) {
        bool lastPass = r == passes - 1;
        // A pass without a hit leaves the state as it was, so later passes cannot hit either.
        if (!collisionPass(group, leafCount, position, start, radius, slide && !lastPass, normal, marked)) break;
        collided = true;
    }
    for (int i = 0; i < marked; ++i) markedPlanes[i]->visited = false;
    return collided;
}

// --- rays --------------------------------------------------------------------

bool kvxRayBox(Vertex3D* from, Vertex3D* to, Mesh* mesh, Vertex3D* hit) {
    if (from == nullptr || to == nullptr || mesh == nullptr || mesh->faceCount < 1 || mesh->faces == nullptr ||
        mesh->worldVertices == nullptr)
        return false;
    for (int f = 0; f < mesh->faceCount; ++f) {
        const Facelist& face = mesh->faces[f];
        if (!mesh->isFaceValid(f)) continue;
        Vertex3D c[3] = {mesh->worldVertices[face.a], mesh->worldVertices[face.b], mesh->worldVertices[face.c]};
        Vertex3D point;
        if (!frontHit(from, to, c, &point)) continue;
        if (hit != nullptr) *hit = point;
        return true;
    }
    return false;
}

bool kvxRayScene(Vertex3D* from, Vertex3D* to, float maxDistance, OGroup* group) {
    if (!hasTree(group)) return false;
    octreeNode* leaves[kvxRayLeafCapacity];
    int count = group->octree->traverseRay(from, to, leaves, kvxRayLeafCapacity);
    bool found = false;
    forEachLeafPolygon(leaves, count, [&](Mesh*, int, Vertex3D c[3]) {
        Vertex3D p;
        if (frontHit(from, to, c, &p) && kvxDistance(from, &p) < maxDistance) found = true;
        return !found;
    });
    return found;
}

float kvxRaySceneDistance(Vertex3D* from, Vertex3D* to, OGroup* group) {
    float best = kvxNoRayDistance;
    if (!hasTree(group)) return best;
    int count = group->octree->traverseRay(from, to, distanceLeaves, kvxRayDistanceLeafCapacity);
    forEachLeafPolygon(distanceLeaves, count, [&](Mesh* m, int face, Vertex3D c[3]) {
        Vertex3D p;
        if (!frontHit(from, to, c, &p)) return true;
        float d = kvxDistance(from, &p);
        if (!(d < best)) return true;
        Material* mat = faceMaterial(group, m, face);
        // Faces with an opacity map are see-through in places: accept half of them.
        if (mat != nullptr && mat->opacityTexture != nullptr && !(rand() % kOpacityDrawRange < kOpacityDrawAccept))
            return true;
        best = d;
        return true;
    });
    return best;
}

// --- heights -----------------------------------------------------------------

namespace {

// Highest (sign 1) or lowest (sign -1) hit along the segment through the tree.
Vertex3D extremeHeight(Vertex3D* from, Vertex3D* to, OGroup* group, float sign, Vertex3D result) {
    if (!hasTree(group)) return result;
    octreeNode* leaves[kvxRayLeafCapacity];
    int count = group->octree->traverseRay(from, to, leaves, kvxRayLeafCapacity);
    float best = -sign * kHeightStart;
    forEachLeafPolygon(leaves, count, [&](Mesh*, int, Vertex3D c[3]) {
        Vertex3D p;
        if (frontHit(from, to, c, &p) && sign * p.z > sign * best) {
            best = p.z;
            result = p;
        }
        return true;
    });
    return result;
}

}  // namespace

Vertex3D kvxCheckHeight(Vertex3D* from, Vertex3D* to, OGroup* group) {
    return extremeHeight(from, to, group, 1.0f, Vertex3D{0.0f, 0.0f, kvxNoHeight});
}

Vertex3D kvxCheckNegativeHeight(Vertex3D* from, Vertex3D* to, OGroup* group) {
    return extremeHeight(from, to, group, -1.0f, Vertex3D{0.0f, 0.0f, kvxNoNegativeHeight});
}

Vertex3D kvxCheckHeight2(Vertex3D* from, Vertex3D* to, OGroup* group) {
    Vertex3D result{0.0f, 0.0f, 0.0f};
    if (group == nullptr || from == nullptr || to == nullptr) return result;
    float best = kSmallestNormalFloat;
    for (int i = 0; i < group->meshCount; ++i) {
        Mesh* m = group->meshes[i];
        if (m == nullptr) continue;
        for (int f = 0; f < m->faceCount; ++f) {
            Vertex3D c[3], p;
            if (calculatedCorners(m, f, c) && frontHit(from, to, c, &p) && p.z > best) {
                best = p.z;
                result = p;
            }
        }
    }
    return result;
}

// --- utilities ---------------------------------------------------------------

void wait(unsigned int milliseconds) {
    const unsigned int start = kvxGetTickCount();
    while (kvxGetTickCount() - start < milliseconds) {
    }
}

namespace {
template <class T>
void freeAndNull(T** p) {
    if (p == nullptr) return;
    if (*p != nullptr) std::free(*p);
    *p = nullptr;
}
}  // namespace

void kvxFree(char** p) { freeAndNull(p); }
void kvxFree(short** p) { freeAndNull(p); }
void kvxFree(int** p) { freeAndNull(p); }
void kvxFree(float** p) { freeAndNull(p); }
void kvxFree(void** p) { freeAndNull(p); }
