#include "spatial/RayTriangle.h"

#include "core/Math.h"
#include "core/VectorOps.h"

namespace {

using kvx_vector::sub;

const double kMinDeterminant = 1e-12;  // compared with the float determinant
const float kSmallestNormalFloat = 1.1754944e-38f;
const float kMiss = -1.0f;

}  // namespace

float intersect2(Vertex3D* from, Vertex3D* to, Vertex3D* a, Vertex3D* b, Vertex3D* c) {
    Vertex3D dir = sub(*to, *from);
    Vertex3D e1 = sub(*b, *a);
    Vertex3D e2 = sub(*c, *a);
    Vertex3D p;
    crossProd(&dir, &e2, &p);
    float det = dotProd(&p, &e1);
    // Written as a negated test so that a NaN determinant is a miss too.
    if (!(det >= kMinDeterminant)) return kMiss;
    float inv = 1.0f / det;
    Vertex3D s = sub(*from, *a);
    float u = dotProd(&s, &p) * inv;
    if (u < 0.0f || u > 1.0f) return kMiss;
    Vertex3D q;
    crossProd(&s, &e1, &q);
    float v = dotProd(&dir, &q) * inv;
    if (v < 0.0f || u + v > 1.0f) return kMiss;
    return dotProd(&e2, &q) * inv;
}

Vertex3D findIntersectionPoint(Vertex3D* from, Vertex3D* to, Vertex3D* a, Vertex3D* b, Vertex3D* c) {
    Vertex3D n = calcNormal(a, b, c);
    Vertex3D dir = sub(*to, *from);
    float d = dotProd(&n, &dir);
    if (d == 0.0f) d = kSmallestNormalFloat;
    Vertex3D toPlane = sub(*a, *from);
    float t = dotProd(&n, &toPlane) / d;
    return Vertex3D{from->x + t * dir.x, from->y + t * dir.y, from->z + t * dir.z};
}
