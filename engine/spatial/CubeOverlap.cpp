#include "spatial/CubeOverlap.h"

#include <cmath>

#include "core/VectorOps.h"

namespace kvx_spatial {

namespace {

const float kHalf = 0.5f;

float component(const Vertex3D& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

float signOf(float x) { return x >= 0.0f ? 1.0f : -1.0f; }

// -1 or +1 when all three corners lie beyond the cube's lower or upper face
// on this axis, else 0.
int sideOf(const Vertex3D tri[3], int axis) {
    const float a = component(tri[0], axis), b = component(tri[1], axis), c = component(tri[2], axis);
    if (a > kHalf && b > kHalf && c > kHalf) return 1;
    if (a < -kHalf && b < -kHalf && c < -kHalf) return -1;
    return 0;
}

bool surelyInside(const Vertex3D& v) {
    return std::fabs(v.x) <= kSurelyInside && std::fabs(v.y) <= kSurelyInside && std::fabs(v.z) <= kSurelyInside;
}

}  // namespace

// Ties resolved as the original polygon-cube code resolves them.
int dominantAxis(const Vertex3D& n) {
    float ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    if (ax > az) return ax > ay ? 0 : 1;
    return ay > az ? 1 : 2;
}

// Triangles beyond one face on an axis other than the dominant one get
// false from every step of the full test without rounding entering: each
// edge fails its face test on that axis, and the plane point t * d has
// |coordinate| <= 0.5 there, so on the projection axis x' no edge crosses
// it (dx = 0) and on y' the crossings of the closed outline cancel.
bool triangleMeetsUnitCubeEarly(const Vertex3D tri[3], const Vertex3D& n, int dominant) {
    if (surelyInside(tri[0]) || surelyInside(tri[1]) || surelyInside(tri[2])) return true;
    for (int axis = 0; axis < 3; ++axis)
        if (axis != dominant && sideOf(tri, axis) != 0) return false;
    return triangleMeetsUnitCube(tri, n);
}

bool UnitCubeMap::set(const float boxMin[3], const float boxMax[3]) {
    float extent = boxMax[0] - boxMin[0];
    if (extent == 0.0f) return false;
    scale = 1.0f / (extent * kCubeMargin);
    centre = Vertex3D{(boxMin[0] + boxMax[0]) * 0.5f, (boxMin[1] + boxMax[1]) * 0.5f, (boxMin[2] + boxMax[2]) * 0.5f};
    return true;
}

bool segmentMeetsUnitCube(const Vertex3D& a, const Vertex3D& b) {
    const float e[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
    const float av[3] = {a.x, a.y, a.z};
    const float bv[3] = {b.x, b.y, b.z};
    const float s[3] = {signOf(e[0]), signOf(e[1]), signOf(e[2])};
    // The six face planes: an end beyond the face it moves towards misses.
    for (int i = 0; i < 3; ++i) {
        if (av[i] * s[i] > kHalf) return false;
        if (bv[i] * s[i] < -kHalf) return false;
    }
    // The three edge directions: the line's distance from the cube's
    // silhouette along e, compared squared so the signs need not agree.
    for (int i = 0; i < 3; ++i) {
        int j = (i + 1) % 3, k = (i + 2) % 3;
        float r = e[k] * av[j] - e[j] * av[k];
        float q = kHalf * (e[k] * s[j] + e[j] * s[k]);
        if (r * r > q * q) return false;
    }
    return true;
}

bool pointInTriangle(const Vertex3D tri[3], const Vertex3D& p, const Vertex3D& n) {
    int z = dominantAxis(n);
    int xa, ya;
    if (component(n, z) >= 0.0f) {
        xa = (z + 1) % 3;
        ya = (z + 2) % 3;
    } else {
        xa = (z + 2) % 3;
        ya = (z + 1) % 3;
    }
    const float px = component(p, xa), py = component(p, ya);
    int count = 0;
    for (int e = 0; e < 3; ++e) {
        const Vertex3D& v = tri[e];
        const Vertex3D& w = tri[(e + 1) % 3];
        const float vx = component(v, xa), vy = component(v, ya);
        const float wx = component(w, xa), wy = component(w, ya);
        int dx = int(wx > px) - int(vx > px);
        if (dx == 0) continue;
        int dy = int(wy > py) - int(vy > py);
        if (dy != 0) {
            if (dx * (py - vy) * (wx - vx) >= dx * (wy - vy) * (px - vx)) count += dx;
        } else if (vy <= py) {
            count += dx;
        }
    }
    return count != 0;
}

bool edgesMeetUnitCube(const Vertex3D tri[3]) {
    for (int e = 0; e < 3; ++e)
        if (segmentMeetsUnitCube(tri[e], tri[(e + 1) % 3])) return true;
    return false;
}

bool diagonalMeetsUnitCube(const Vertex3D tri[3], const Vertex3D& n) {
    if (n.x == 0.0f && n.y == 0.0f && n.z == 0.0f) return false;
    // Where the plane crosses the cube diagonal nearest its normal.
    const Vertex3D d{signOf(n.x), signOf(n.y), signOf(n.z)};
    float t = (n.x * tri[0].x + n.y * tri[0].y + n.z * tri[0].z) / (n.x * d.x + n.y * d.y + n.z * d.z);
    if ((t + kHalf) * (t - kHalf) > 0.0f) return false;
    const Vertex3D p{t * d.x, t * d.y, t * d.z};
    return pointInTriangle(tri, p, n);
}

bool triangleMeetsUnitCube(const Vertex3D tri[3], const Vertex3D& n) {
    return edgesMeetUnitCube(tri) || diagonalMeetsUnitCube(tri, n);
}

}  // namespace kvx_spatial
