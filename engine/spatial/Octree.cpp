#include "spatial/Octree.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/Math.h"
#include "platform/FileSystem.h"
#include "scene/Mesh.h"
#include "spatial/CubeOverlap.h"

namespace {

const float kLargestFloat = 3.4028235e38f;
const float kSmallestNormalFloat = 1.1754944e-38f;
const char* const kLogFileName = "octree.log";

// Faces that overlap most children are copied into each of them, so hostile
// geometry could fill 8^6 leaves. The references a tree may hold are capped
// well above what real scenes need (2 to 14 per face); a node whose division
// would pass the cap stays a leaf, which keeps every query correct.
const int64_t kReferencesPerPolygon = 64;
const int64_t kMinReferenceBudget = 1 << 16;

}  // namespace

bool kvxOctreeFastBuild = true;

float maximum(float a, float b, float c) {
    float best = std::fabs(a) >= std::fabs(b) ? a : b;
    return std::fabs(best) >= std::fabs(c) ? best : c;
}

octreeNode::octreeNode() : radiusSquared(0.0f), isSplit(false), depth(0), planes(nullptr), maxDepth(0) {
    for (int i = 0; i < 3; ++i) {
        boxMin[i] = kLargestFloat;
        boxMax[i] = kSmallestNormalFloat;
    }
    for (octreeNode*& c : children) c = nullptr;
}

octreeNode::~octreeNode() {
    polygons.clear();
    destroyPlanes();
    deleteChildren();
    polygons.release();
}

void octreeNode::deleteChildren() {
    for (octreeNode*& c : children) {
        delete c;
        c = nullptr;
    }
}

// --- filling -----------------------------------------------------------------

void octreeNode::cornersOf(const OTPolyData& poly, Vertex3D corners[3]) const {
    const Mesh* m = poly.mesh;
    bool valid =
        m != nullptr && m->faces != nullptr && m->vertices != nullptr && poly.face >= 0 && poly.face < m->faceCount;
    const Facelist* f = valid ? &m->faces[poly.face] : nullptr;
    const int index[3] = {f ? f->a : 0, f ? f->b : 0, f ? f->c : 0};
    for (int k = 0; k < 3; ++k) {
        // Corrupt indices give the mesh origin rather than a read past the array.
        if (!valid || index[k] >= m->vertexCount) {
            corners[k] = valid ? m->position : Vertex3D{0.0f, 0.0f, 0.0f};
            continue;
        }
        const Vertex3D& v = m->vertices[index[k]];
        corners[k] = Vertex3D{v.x + m->position.x, v.y + m->position.y, v.z + m->position.z};
    }
}

int octreeNode::insert(OTPolyData* poly, bool updateBounds) {
    if (poly == nullptr) return 2;
    polygons.append(*poly);
    if (updateBounds) {
        Vertex3D corners[3];
        cornersOf(*poly, corners);
        for (Vertex3D& c : corners) checkBounds(&c);
    }
    return 0;
}

int octreeNode::insert(Mesh* mesh, int face, bool updateBounds) {
    if (mesh == nullptr) return 2;
    OTPolyData poly{mesh, face};
    return insert(&poly, updateBounds);
}

int octreeNode::checkBounds(Vertex3D* p) {
    if (p == nullptr) return 2;
    const float v[3] = {p->x, p->y, p->z};
    for (int i = 0; i < 3; ++i) {
        if (v[i] < boxMin[i]) boxMin[i] = v[i];
        if (v[i] > boxMax[i]) boxMax[i] = v[i];
    }
    calcRadius();
    return 0;
}

int octreeNode::setBounds(int axis, float low, float high) {
    if (axis < 0 || axis > 2) return 2;
    boxMin[axis] = low;
    boxMax[axis] = high;
    return 0;
}

void octreeNode::calcRadius() {
    // Only x is used: below the root every box is a cube.
    float half = ((boxMax[0] + boxMin[0]) * 0.5f) - boxMin[0];
    radiusSquared = 3.0f * half * half;
}

void octreeNode::adjustSize() {
    float extent = boxMax[0] - boxMin[0];
    for (int i = 1; i < 3; ++i)
        if (boxMax[i] - boxMin[i] > extent) extent = boxMax[i] - boxMin[i];
    for (int i = 0; i < 3; ++i) {
        float centre = (boxMin[i] + boxMax[i]) * 0.5f;
        setBounds(i, centre - extent * 0.5f, centre + extent * 0.5f);
    }
    calcRadius();
}

// --- splitting ---------------------------------------------------------------

void octreeNode::createChildren() {
    float centre[3];
    for (int i = 0; i < 3; ++i) centre[i] = (boxMin[i] + boxMax[i]) * 0.5f;
    for (int c = 0; c < kChildCount; ++c) {
        octreeNode* child = new octreeNode();
        child->depth = depth + 1;
        for (int axis = 0; axis < 3; ++axis) {
            bool upper = (c >> axis) & 1;
            child->setBounds(axis, upper ? centre[axis] : boxMin[axis], upper ? boxMax[axis] : centre[axis]);
        }
        child->calcRadius();
        children[c] = child;
    }
}

void octreeNode::distributePolygons() {
    if (!kvxOctreeFastBuild) {
        for (int p = 0; p < polygons.size(); ++p) {
            Vertex3D corners[3];
            cornersOf(polygons[p], corners);
            for (octreeNode* child : children)
                if (child->polyInside(corners)) child->insert(&polygons[p], false);
        }
        return;
    }
    // polyInside with the children's mappings and each triangle's normal
    // computed once, and most children decided before the full test.
    kvx_spatial::UnitCubeMap cube[kChildCount];
    bool mapped[kChildCount];
    for (int c = 0; c < kChildCount; ++c) mapped[c] = cube[c].set(children[c]->boxMin, children[c]->boxMax);
    for (int p = 0; p < polygons.size(); ++p) {
        Vertex3D corners[3];
        cornersOf(polygons[p], corners);
        const Vertex3D n = calcPlaneNormal(&corners[0], &corners[1], &corners[2]);
        const int dominant = kvx_spatial::dominantAxis(n);
        for (int c = 0; c < kChildCount; ++c) {
            if (!mapped[c]) continue;
            const Vertex3D tri[3] = {cube[c].map(corners[0]), cube[c].map(corners[1]), cube[c].map(corners[2])};
            if (kvx_spatial::triangleMeetsUnitCubeEarly(tri, n, dominant)) children[c]->insert(&polygons[p], false);
        }
    }
}

int octreeNode::split(int maxPolygons, int maxDepthLimit, kvxOctreeProgress progress) {
    if (maxPolygons < 1 || maxDepthLimit < 1) return 2;
    int64_t held = polygons.size();
    int64_t budget = std::max(kMinReferenceBudget, kReferencesPerPolygon * held) - held;
    return splitWithin(maxPolygons, maxDepthLimit, progress, budget);
}

int octreeNode::splitWithin(int maxPolygons, int maxDepthLimit, kvxOctreeProgress progress, int64_t& budget) {
    if (polygons.size() <= maxPolygons || depth > maxDepthLimit) return 0;
    createChildren();
    distributePolygons();
    int64_t added = -int64_t(polygons.size());
    for (octreeNode* child : children) added += child->polygons.size();
    if (added > budget) {
        deleteChildren();
        return 0;
    }
    budget -= added;
    polygons.clear();
    isSplit = true;
    for (int c = 0; c < kChildCount; ++c) {
        children[c]->splitWithin(maxPolygons, maxDepthLimit, nullptr, budget);
        if (progress != nullptr) progress(c);
    }
    maxDepth = maxDepthLimit;
    return 0;
}

// --- point and triangle location ---------------------------------------------

bool octreeNode::pointInside(Vertex3D* p) {
    if (p == nullptr) return false;
    const float v[3] = {p->x, p->y, p->z};
    for (int i = 0; i < 3; ++i)
        if (!(v[i] >= boxMin[i] && v[i] <= boxMax[i])) return false;  // NaN fails too
    return true;
}

bool octreeNode::polyInside(Vertex3D* corners) {
    kvx_spatial::UnitCubeMap cube;
    if (!cube.set(boxMin, boxMax)) return false;
    const Vertex3D mapped[3] = {cube.map(corners[0]), cube.map(corners[1]), cube.map(corners[2])};
    Vertex3D n = calcPlaneNormal(&corners[0], &corners[1], &corners[2]);
    return kvx_spatial::triangleMeetsUnitCube(mapped, n);
}

bool octreeNode::segmentInside(const Vertex3D& from, const Vertex3D& to) {
    kvx_spatial::UnitCubeMap cube;
    if (!cube.set(boxMin, boxMax)) return false;
    return kvx_spatial::segmentMeetsUnitCube(cube.map(from), cube.map(to));
}

// --- diagnostics -------------------------------------------------------------

void octreeNode::logWrite(const char* text) {
    if (text == nullptr) return;
    FILE* f = kvxOpenFile(kLogFileName, "ab");
    if (f == nullptr) return;
    std::fwrite(text, 1, std::strlen(text), f);
    std::fclose(f);
}
