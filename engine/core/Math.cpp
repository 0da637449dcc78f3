#include "core/Math.h"

#include <cfloat>
#include <cmath>

#include "core/VectorOps.h"

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
constexpr float kMinAngleDistance = 1e-5f;
constexpr float kAffineTolerance = 0.001f;
// Below this trace root a rotation is treated as a half turn.
constexpr double kNearHalfTurn = 1e-3;

double squared(double v) { return v * v; }

using kvx_vector::crossPrecise;

double atanDegrees(double v) { return std::atan(v) * kRadToDeg; }

// Axis of a half turn, where the antisymmetric part vanishes: R = 2aa^T - I.
// Built from the largest diagonal term for stability.
void halfTurnAxis(const float m[][4], Vertex4D* q) {
    int k = 0;
    for (int i = 1; i < 3; ++i)
        if (m[i][i] > m[k][k]) k = i;
    double ak = std::sqrt(std::fmax(0.0, (double(m[k][k]) + 1.0) * 0.5));
    double axis[3];
    for (int j = 0; j < 3; ++j) axis[j] = (j == k) ? ak : (double(m[k][j]) + m[j][k]) * 0.25 / ak;
    q->x = float(axis[0]);
    q->y = float(axis[1]);
    q->z = float(axis[2]);
}

}  // namespace

void kvxSetVertex2D(Vertex2D* v, float x, float y) {
    v->x = x;
    v->y = y;
}

void kvxSetVertex3D(Vertex3D* v, float x, float y, float z) {
    v->x = x;
    v->y = y;
    v->z = z;
}

void kvxSetVertex4D(Vertex4D* v, float w, float x, float y, float z) {
    v->w = w;
    v->x = x;
    v->y = y;
    v->z = z;
}

void kvxAddVectors(const Vertex3D* a, const Vertex3D* b, Vertex3D* out) {
    out->x = float(double(a->x) + b->x);
    out->y = float(double(a->y) + b->y);
    out->z = float(double(a->z) + b->z);
}

void kvxSubVectors(const Vertex3D* a, const Vertex3D* b, Vertex3D* out) { *out = kvx_vector::sub(*a, *b); }

float dotProd(const Vertex3D* a, const Vertex3D* b) {
    return float(double(a->z) * b->z + double(a->y) * b->y + double(a->x) * b->x);
}

float kvxDotVectors(const Vertex3D* a, const Vertex3D* b) { return dotProd(a, b); }

void crossProd(const Vertex3D* a, const Vertex3D* b, Vertex3D* out) { *out = crossPrecise(*a, *b); }

void clamp(float* v, float lo, float hi) {
    if (*v > hi) *v = hi;
    if (*v < lo) *v = lo;
}

void kvxNormalize(Vertex3D* v) {
    double len = std::sqrt(squared(v->x) + squared(v->y) + squared(v->z));
    if (len == 0.0) len = FLT_MIN;
    v->x = float(v->x / len);
    v->y = float(v->y / len);
    v->z = float(v->z / len);
}

float kvxRad(float deg) { return float(deg * kDegToRad); }

float kvxUnRad(float rad) { return float(rad * kRadToDeg); }

float kvxDSin(float deg) { return float(std::sin(double(kvxRad(deg)))); }

float kvxDCos(float deg) { return float(std::cos(double(kvxRad(deg)))); }

float kvxFakeDistance(const Vertex3D* a, const Vertex3D* b) {
    return float(squared(double(a->z) - b->z) + squared(double(a->y) - b->y) + squared(double(a->x) - b->x));
}

float kvxDistance(const Vertex3D* a, const Vertex3D* b) {
    return float(std::sqrt(squared(double(a->z) - b->z) + squared(double(a->y) - b->y) + squared(double(a->x) - b->x)));
}

float kvxDistance(const Vertex2D* a, const Vertex2D* b) {
    return float(std::sqrt(squared(double(a->y) - b->y) + squared(double(a->x) - b->x)));
}

float kvxAngle(const Vertex2D* a, const Vertex2D* b) {
    float dx = b->x - a->x;
    float dy = b->y - a->y;
    float d = float(std::sqrt(squared(dx) + squared(dy)));
    if (d == 0.0f) d = kMinAngleDistance;
    double s = std::fabs(double(dy)) / d;
    // Rounding may push s a hair above 1; never take the root of a negative.
    float c2 = float(std::fmax(0.0, 1.0 - s * s));
    double c = std::sqrt(double(c2));

    // Later rules override earlier ones on the shared boundaries; a zero
    // divisor gives atan(+inf) = 90.
    double result = 0.0;
    if (b->x >= a->x && b->y < a->y) result = atanDegrees(c / s);
    if (b->x >= a->x && b->y >= a->y) result = 90.0 + atanDegrees(s / c);
    if (b->x <= a->x && b->y > a->y) result = 180.0 + atanDegrees(c / s);
    if (b->x <= a->x && b->y <= a->y) result = 270.0 + atanDegrees(s / c);
    return float(result);
}

Vertex2D kvxAngle(const Vertex3D* a, const Vertex3D* b) {
    Vertex2D xzA{a->x, a->z}, xzB{b->x, b->z};
    Vertex2D zyA{a->z, a->y}, zyB{b->z, b->y};
    return Vertex2D{kvxAngle(&xzA, &xzB), kvxAngle(&zyA, &zyB)};
}

void kvxCalcAngles(const Vertex3D* a, const Vertex3D* b, float& heading, float& pitch) {
    Vertex2D groundA{a->x, a->y}, groundB{b->x, b->y};
    heading = kvxAngle(&groundA, &groundB);
    float d = kvxDistance(&groundA, &groundB);
    Vertex2D upA{0.0f, a->z}, upB{d, b->z};
    pitch = kvxAngle(&upA, &upB);
}

Vertex3D calcPlaneNormal(const Vertex3D* a, const Vertex3D* b, const Vertex3D* c) {
    return crossPrecise(kvx_vector::sub(*a, *b), kvx_vector::sub(*a, *c));
}

Vertex3D calcNormal(const Vertex3D* a, const Vertex3D* b, const Vertex3D* c) {
    return kvx_vector::unit(crossPrecise(kvx_vector::sub(*c, *b), kvx_vector::sub(*a, *b)));
}

bool intersect(const Vertex3D* tri, const Vertex3D* p, const Vertex3D* q) {
    Vertex3D d = kvx_vector::sub(*q, *p);
    for (int i = 0; i < 3; ++i) {
        Vertex3D n = calcPlaneNormal(p, &tri[i], &tri[(i + 1) % 3]);
        if (dotProd(&d, &n) < 0.0f) return false;
    }
    return true;
}

void Quaternion2Mat(float** m, const Vertex4D* q) {
    double x = q->x, y = q->y, z = q->z, w = q->w;
    m[0][0] = float(1.0 - 2.0 * (y * y + z * z));
    m[0][1] = float(2.0 * (x * y - z * w));
    m[0][2] = float(2.0 * (x * z + y * w));
    m[0][3] = 0.0f;
    m[1][0] = float(2.0 * (x * y + z * w));
    m[1][1] = float(1.0 - 2.0 * (x * x + z * z));
    m[1][2] = float(2.0 * (y * z - x * w));
    m[1][3] = 0.0f;
    m[2][0] = float(2.0 * (x * z - y * w));
    m[2][1] = float(2.0 * (y * z + x * w));
    m[2][2] = float(1.0 - 2.0 * (x * x + y * y));
    m[2][3] = 0.0f;
    m[3][0] = m[3][1] = m[3][2] = 0.0f;
    m[3][3] = 1.0f;
}

void Mat2Quaternion(const float m[][4], Vertex4D* q) {
    // Clamped so that rounding in a near-identity or near-half-turn matrix
    // cannot take the root of a negative or acos beyond 1.
    double t = std::sqrt(std::fmax(0.0, double(m[0][0]) + m[1][1] + m[2][2] + 1.0));
    double theta = 2.0 * std::acos(std::fmin(1.0, t * 0.5));
    double s = std::sin(theta / 2.0);
    double anti[3] = {double(m[1][2]) - m[2][1], double(m[2][0]) - m[0][2], double(m[0][1]) - m[1][0]};
    q->w = kvxUnRad(float(theta));
    if (s == 0.0) {
        // No rotation: any axis serves, but it must be a usable one.
        q->x = 0.0f;
        q->y = 0.0f;
        q->z = 1.0f;
    } else if (t < kNearHalfTurn) {
        // The antisymmetric part vanishes here; it only decides the sign.
        halfTurnAxis(m, q);
        if (anti[0] * q->x + anti[1] * q->y + anti[2] * q->z < 0.0) {
            q->x = -q->x;
            q->y = -q->y;
            q->z = -q->z;
        }
    } else {
        q->x = float(anti[0] / (2.0 * t) / s);
        q->y = float(anti[1] / (2.0 * t) / s);
        q->z = float(anti[2] / (2.0 * t) / s);
    }
}

bool kvxInvertMatrix(float (&out)[4][4], const float (&in)[4][4]) {
    const double tol = kAffineTolerance;
    if (std::fabs(double(in[3][3]) - 1.0) > tol) return false;
    for (int i = 0; i < 3; ++i)
        if (std::fabs(double(in[i][3])) > tol) return false;

    double a = in[0][0], b = in[0][1], c = in[0][2];
    double d = in[1][0], e = in[1][1], f = in[1][2];
    double g = in[2][0], h = in[2][1], k = in[2][2];
    double det = a * (e * k - f * h) - b * (d * k - f * g) + c * (d * h - e * g);
    float r = float(1.0 / det);
    // A singular block has no inverse; say so instead of writing non-finite values.
    if (!std::isfinite(r)) return false;

    float inv[3][3] = {
        {float((e * k - f * h) * r), float((c * h - b * k) * r), float((b * f - c * e) * r)},
        {float((f * g - d * k) * r), float((a * k - c * g) * r), float((c * d - a * f) * r)},
        {float((d * h - e * g) * r), float((b * g - a * h) * r), float((a * e - b * d) * r)},
    };
    // Everything is read before anything is written, so out may be in.
    double t[3] = {in[3][0], in[3][1], in[3][2]};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) out[i][j] = inv[i][j];
        out[i][3] = 0.0f;
    }
    for (int j = 0; j < 3; ++j) out[3][j] = float(-(t[0] * inv[0][j] + t[1] * inv[1][j] + t[2] * inv[2][j]));
    out[3][3] = 1.0f;
    return true;
}
