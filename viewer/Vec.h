#ifndef KVXVIEW_VEC_H
#define KVXVIEW_VEC_H

// Value arithmetic on the engine's Vertex3D for the viewer's camera code.

#include <cmath>

#include <Korvex3D.h>

inline Vertex3D vec(float x, float y, float z) { return Vertex3D{x, y, z}; }
inline Vertex3D add(const Vertex3D& a, const Vertex3D& b) { return vec(a.x + b.x, a.y + b.y, a.z + b.z); }
inline Vertex3D sub(const Vertex3D& a, const Vertex3D& b) { return vec(a.x - b.x, a.y - b.y, a.z - b.z); }
inline Vertex3D scaled(const Vertex3D& a, float f) { return vec(a.x * f, a.y * f, a.z * f); }
inline float dot(const Vertex3D& a, const Vertex3D& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline float length(const Vertex3D& a) { return std::sqrt(dot(a, a)); }
inline Vertex3D cross(const Vertex3D& a, const Vertex3D& b) {
    return vec(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
inline Vertex3D normalized(const Vertex3D& a) {
    float l = length(a);
    return l > 0 ? scaled(a, 1.0f / l) : vec(0, 0, 0);
}
// m is a 4x4 matrix in OpenGL's column order.
inline Vertex3D transformPoint(const float* m, const Vertex3D& v) {
    return vec(m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12], m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13],
               m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14]);
}
inline float radians(float degrees) { return degrees * 0.017453292f; }
inline float degrees(float radians) { return radians * 57.29578f; }

#endif
