#ifndef KVXVIEW_VEC_H
#define KVXVIEW_VEC_H

// The viewer's additions to the engine's kvx_vector arithmetic.

#include <Korvex3D.h>

inline Vertex3D vec(float x, float y, float z) { return Vertex3D{x, y, z}; }
// m is a 4x4 matrix in OpenGL's column order.
inline Vertex3D transformPoint(const float* m, const Vertex3D& v) {
    return vec(m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12], m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13],
               m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14]);
}

#endif
