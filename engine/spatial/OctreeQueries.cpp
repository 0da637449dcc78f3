// Leaf lookups over a built octree: by point, segment, sphere and
// neighbourhood. Results go into caller-owned arrays, bounded by capacity.

#include <algorithm>
#include <cmath>
#include <utility>

#include "spatial/Octree.h"

namespace {

// Running count of the segment walk; the queries run on the engine's one thread.
int rayLeafCount = 0;

// Finer sampling than this cannot find smaller leaves and only spins.
const int kMaxSampleExponent = 24;
const int kOldRaySubdivision = 3;  // samples per smallest leaf: 2^3

bool sameLeafAsLast(octreeNode** out, int count, octreeNode* leaf) { return count > 0 && out[count - 1] == leaf; }

// Where the segment from a to b first meets the box (slab clipping in
// double); false when it misses the box, the box is empty (its lower corner
// above its upper one) or a value is not finite.
bool entryPoint(const float boxMin[3], const float boxMax[3], const Vertex3D& a, const Vertex3D& b, Vertex3D& entry) {
    const double from[3] = {a.x, a.y, a.z}, to[3] = {b.x, b.y, b.z};
    double enter = 0.0, leave = 1.0;
    for (int i = 0; i < 3; ++i) {
        const double d = to[i] - from[i];
        if (!std::isfinite(from[i]) || !std::isfinite(d) || !(boxMin[i] <= boxMax[i])) return false;
        if (d == 0.0) {
            if (from[i] < boxMin[i] || from[i] > boxMax[i]) return false;
            continue;
        }
        double t0 = (boxMin[i] - from[i]) / d, t1 = (boxMax[i] - from[i]) / d;
        if (t0 > t1) std::swap(t0, t1);
        enter = std::max(enter, t0);
        leave = std::min(leave, t1);
    }
    if (!(enter <= leave)) return false;
    entry = Vertex3D{float(from[0] + enter * (to[0] - from[0])), float(from[1] + enter * (to[1] - from[1])),
                     float(from[2] + enter * (to[2] - from[2]))};
    return true;
}

}  // namespace

octreeNode* octreeNode::traverse(Vertex3D* p) {
    if (p == nullptr || !pointInside(p)) return nullptr;
    octreeNode* node = this;
    while (node->isSplit) {
        octreeNode* next = nullptr;
        for (octreeNode* child : node->children) {
            if (child->pointInside(p)) {
                next = child;
                break;
            }
        }
        // Rounding can leave a point between the halves; it then belongs to no leaf.
        if (next == nullptr) return nullptr;
        node = next;
    }
    return node;
}

int octreeNode::traverseRay(Vertex3D* from, Vertex3D* to, octreeNode** out, int capacity) {
    if (from == nullptr || to == nullptr || out == nullptr || capacity < 1) return 0;
    // A segment that starts outside walks from where it enters the box.
    Vertex3D start = *from;
    if (!pointInside(from) && !entryPoint(boxMin, boxMax, *from, *to, start)) return 0;
    rayLeafCount = 0;
    rayRecursion(&start, to, out, capacity);
    return rayLeafCount;
}

void octreeNode::rayRecursion(Vertex3D* from, Vertex3D* to, octreeNode** out, int capacity) {
    if (!segmentInside(*from, *to)) return;
    if (!isSplit) {
        if (rayLeafCount < capacity) out[rayLeafCount++] = this;
        return;
    }
    for (octreeNode* child : children) child->rayRecursion(from, to, out, capacity);
}

int octreeNode::traverseSphere(Vertex3D* centre, float radius, octreeNode** out, int capacity) {
    if (centre == nullptr || out == nullptr || capacity < 1) return 0;
    if (!(radius > 0.0f) || !pointInside(centre)) return 0;
    if (!isSplit) {
        out[0] = this;
        return 1;
    }
    int count = 0;
    sphereRecursion(centre, radius, count, out, capacity);
    return count;
}

void octreeNode::sphereRecursion(Vertex3D* centre, float radius, int& count, octreeNode** out, int capacity) {
    float dx = (boxMin[0] + boxMax[0]) * 0.5f - centre->x;
    float dy = (boxMin[1] + boxMax[1]) * 0.5f - centre->y;
    float dz = (boxMin[2] + boxMax[2]) * 0.5f - centre->z;
    float distanceSquared = dx * dx + dy * dy + dz * dz;
    float reach = radius * radius + radiusSquared;
    if (!(reach > distanceSquared)) return;
    if (isSplit) {
        for (octreeNode* child : children) child->sphereRecursion(centre, radius, count, out, capacity);
        return;
    }
    if (count < capacity) out[count++] = this;
}

int octreeNode::traverseNearest(Vertex3D* p, float distance, octreeNode** out, int capacity) {
    if (p == nullptr || out == nullptr || capacity < kNearestSamples) return 0;
    if (traverse(p) == nullptr) return 0;
    int count = 0;
    for (int i = -1; i <= 1; ++i) {
        for (int j = -1; j <= 1; ++j) {
            for (int k = -1; k <= 1; ++k) {
                Vertex3D sample{p->x + i * distance, p->y + j * distance, p->z + k * distance};
                octreeNode* leaf = traverse(&sample);
                if (leaf != nullptr && !sameLeafAsLast(out, count, leaf)) out[count++] = leaf;
            }
        }
    }
    return count;
}

int octreeNode::traverseRayOLD(Vertex3D* from, Vertex3D* to, octreeNode** out, int capacity) {
    if (from == nullptr || to == nullptr || out == nullptr || capacity < 1) return 0;
    if (!pointInside(from) || !pointInside(to)) return 0;
    const float delta[3] = {to->x - from->x, to->y - from->y, to->z - from->z};
    const float length = std::fabs(maximum(delta[0], delta[1], delta[2]));
    int exponent = maxDepth + kOldRaySubdivision;
    if (exponent > kMaxSampleExponent) exponent = kMaxSampleExponent;
    if (exponent < 0) exponent = 0;
    const float step = std::ldexp(boxMax[0] - boxMin[0], -exponent);
    if (!(step > 0.0f) || !(length > 0.0f)) return 0;
    const long samples = long(std::ceil(length / step));
    int count = 0;
    for (long s = 0; s <= samples && count < capacity; ++s) {
        float f = s >= samples ? 1.0f : float(double(s) * step / length);
        Vertex3D point{from->x + delta[0] * f, from->y + delta[1] * f, from->z + delta[2] * f};
        octreeNode* leaf = traverse(&point);
        if (leaf != nullptr && !sameLeafAsLast(out, count, leaf)) out[count++] = leaf;
    }
    return count;
}
