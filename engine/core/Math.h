#ifndef KVX_CORE_MATH_H
#define KVX_CORE_MATH_H

// Vector, angle, quaternion and matrix helpers over the core value records.
// Angles are in degrees unless a name says otherwise. Nothing here allocates,
// logs or checks its pointers.

#include "core/Types.h"

// Setters and vector arithmetic.
// Sets v to (x, y).
void kvxSetVertex2D(Vertex2D* v, float x, float y);
// Sets v to (x, y, z).
void kvxSetVertex3D(Vertex3D* v, float x, float y, float z);
// Sets v to (x, y, z) and w.
void kvxSetVertex4D(Vertex4D* v, float w, float x, float y, float z);  // w comes first
// Writes a + b into out.
void kvxAddVectors(const Vertex3D* a, const Vertex3D* b, Vertex3D* out);
// Writes a - b into out.
void kvxSubVectors(const Vertex3D* a, const Vertex3D* b, Vertex3D* out);
// Returns the dot product of a and b.
float dotProd(const Vertex3D* a, const Vertex3D* b);
// Returns the dot product of a and b.
float kvxDotVectors(const Vertex3D* a, const Vertex3D* b);
// Writes the cross product a x b into out.
void crossProd(const Vertex3D* a, const Vertex3D* b, Vertex3D* out);  // out may alias a or b
// Limits *v to the range between lo and hi.
void clamp(float* v, float lo, float hi);  // upper bound first
// Scales v to unit length.
void kvxNormalize(Vertex3D* v);

// Degrees and radians.
// Returns deg in radians.
float kvxRad(float deg);
// Returns rad in degrees.
float kvxUnRad(float rad);
// Returns the sine of deg degrees.
float kvxDSin(float deg);
// Returns the cosine of deg degrees.
float kvxDCos(float deg);

// Distances.
// Returns the distance between a and b.
float kvxDistance(const Vertex3D* a, const Vertex3D* b);
// Returns the squared distance between a and b.
float kvxFakeDistance(const Vertex3D* a, const Vertex3D* b);  // squared distance
// Returns the distance between a and b in the plane.
float kvxDistance(const Vertex2D* a, const Vertex2D* b);

// Headings: 0 along -y, 90 along +x, 180 along +y, 270 along -x.
float kvxAngle(const Vertex2D* a, const Vertex2D* b);
// Returns the heading (x) and pitch (y) from a towards b.
Vertex2D kvxAngle(const Vertex3D* a, const Vertex3D* b);
// Returns in heading and pitch the direction from a towards b.
void kvxCalcAngles(const Vertex3D* a, const Vertex3D* b, float& heading, float& pitch);

// Face normals and the line-through-triangle side test.
Vertex3D calcPlaneNormal(const Vertex3D* a, const Vertex3D* b, const Vertex3D* c);  // not normalised
Vertex3D calcNormal(const Vertex3D* a, const Vertex3D* b, const Vertex3D* c);       // unit, or zero
// True when the segment from p to q passes through the triangle tri (three corners).
bool intersect(const Vertex3D* tri, const Vertex3D* p, const Vertex3D* q);

// Rotations and matrices.
// Writes the rotation matrix of quaternion q into m.
void Quaternion2Mat(float** m, const Vertex4D* q);
// Writes the rotation of matrix m into q as an axis and an angle.
void Mat2Quaternion(const float m[][4], Vertex4D* q);  // axis in x, y, z; degrees in w
// Writes the inverse of in into out; false when in is singular.
bool kvxInvertMatrix(float (&out)[4][4], const float (&in)[4][4]);

#endif
