#ifndef KVX_CORE_MATH_H
#define KVX_CORE_MATH_H

// Vector, angle, quaternion and matrix helpers over the core value records.
// Angles are in degrees unless a name says otherwise. Nothing here allocates,
// logs or checks its pointers.

#include "core/Types.h"

// Setters and vector arithmetic.
void kvxSetVertex2D(Vertex2D* v, float x, float y);
void kvxSetVertex3D(Vertex3D* v, float x, float y, float z);
void kvxSetVertex4D(Vertex4D* v, float w, float x, float y, float z);  // w comes first
void kvxAddVectors(const Vertex3D* a, const Vertex3D* b, Vertex3D* out);
void kvxSubVectors(const Vertex3D* a, const Vertex3D* b, Vertex3D* out);
float dotProd(const Vertex3D* a, const Vertex3D* b);
float kvxDotVectors(const Vertex3D* a, const Vertex3D* b);
void crossProd(const Vertex3D* a, const Vertex3D* b, Vertex3D* out);  // out may alias a or b
void clamp(float* v, float lo, float hi);                  // upper bound first
void kvxNormalize(Vertex3D* v);

// Degrees and radians.
float kvxRad(float deg);
float kvxUnRad(float rad);
float kvxDSin(float deg);
float kvxDCos(float deg);

// Distances.
float kvxDistance(const Vertex3D* a, const Vertex3D* b);
float kvxFakeDistance(const Vertex3D* a, const Vertex3D* b);  // squared distance
float kvxDistance(const Vertex2D* a, const Vertex2D* b);

// Headings: 0 along -y, 90 along +x, 180 along +y, 270 along -x.
float kvxAngle(const Vertex2D* a, const Vertex2D* b);
Vertex2D kvxAngle(const Vertex3D* a, const Vertex3D* b);
void kvxCalcAngles(const Vertex3D* a, const Vertex3D* b, float& heading, float& pitch);

// Face normals and the line-through-triangle side test.
Vertex3D calcPlaneNormal(const Vertex3D* a, const Vertex3D* b, const Vertex3D* c);  // not normalised
Vertex3D calcNormal(const Vertex3D* a, const Vertex3D* b, const Vertex3D* c);       // unit, or zero
bool intersect(const Vertex3D* tri, const Vertex3D* p, const Vertex3D* q);

// Rotations and matrices.
void Quaternion2Mat(float** m, const Vertex4D* q);
void Mat2Quaternion(const float m[][4], Vertex4D* q);  // axis in x, y, z; degrees in w
bool kvxInvertMatrix(float (&out)[4][4], const float (&in)[4][4]);

#endif
