#ifndef KVX_CORE_VECTOROPS_H
#define KVX_CORE_VECTOROPS_H

// Value arithmetic on Vertex3D: results returned by value, for geometry code in
// the engine and in host programs.

#include <cmath>

#include "core/Types.h"

// Vector arithmetic by value.
namespace kvx_vector {

// Returns a + b.
inline Vertex3D add(const Vertex3D& a, const Vertex3D& b) { return Vertex3D{a.x + b.x, a.y + b.y, a.z + b.z}; }
// Returns a - b.
inline Vertex3D sub(const Vertex3D& a, const Vertex3D& b) { return Vertex3D{a.x - b.x, a.y - b.y, a.z - b.z}; }
// Returns a scaled by f.
inline Vertex3D mul(const Vertex3D& a, float f) { return Vertex3D{a.x * f, a.y * f, a.z * f}; }
// Returns the dot product of a and b.
inline float dot(const Vertex3D& a, const Vertex3D& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
// Returns the length of a.
inline float length(const Vertex3D& a) { return std::sqrt(dot(a, a)); }

// Returns the cross product a x b.
inline Vertex3D cross(const Vertex3D& a, const Vertex3D& b) {
    return Vertex3D{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Returns a x b computed at double precision, rounded to float once per term.
inline Vertex3D crossPrecise(const Vertex3D& a, const Vertex3D& b) {
    return Vertex3D{float(double(a.y) * b.z - double(a.z) * b.y), float(double(a.z) * b.x - double(a.x) * b.z),
                    float(double(a.x) * b.y - double(a.y) * b.x)};
}

// Returns a over its length, both at double precision; length 0 gives (0, 0, 0).
inline Vertex3D unit(const Vertex3D& a) {
    double len = std::sqrt(double(a.x) * a.x + double(a.y) * a.y + double(a.z) * a.z);
    if (len == 0.0) return Vertex3D{0.0f, 0.0f, 0.0f};
    return Vertex3D{float(a.x / len), float(a.y / len), float(a.z / len)};
}

// Returns a scaled to unit length; a vector of length exactly 0 stays (0, 0, 0).
inline Vertex3D normalized(const Vertex3D& a) {
    float l = length(a);
    return l == 0.0f ? Vertex3D{0.0f, 0.0f, 0.0f} : mul(a, 1.0f / l);
}

}  // namespace kvx_vector

#endif
