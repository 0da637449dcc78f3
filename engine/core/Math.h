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
void kvxAddVectors(Vertex3D* a, Vertex3D* b, Vertex3D* out);
void kvxSubVectors(Vertex3D* a, Vertex3D* b, Vertex3D* out);
float dotProd(Vertex3D* a, Vertex3D* b);
float kvxDotVectors(Vertex3D* a, Vertex3D* b);
void crossProd(Vertex3D* a, Vertex3D* b, Vertex3D* out);  // out may alias a or b
void clamp(float* v, float lo, float hi);                  // upper bound first
void kvxNormalize(Vertex3D* v);

// Degrees and radians.
float kvxRad(float deg);
float kvxUnRad(float rad);
float kvxDSin(float deg);
float kvxDCos(float deg);

// Distances.
float kvxDistance(Vertex3D* a, Vertex3D* b);
float kvxFakeDistance(Vertex3D* a, Vertex3D* b);  // squared distance
float kvxDistance(Vertex2D* a, Vertex2D* b);

// Headings: 0 along -y, 90 along +x, 180 along +y, 270 along -x.
float kvxAngle(Vertex2D* a, Vertex2D* b);
Vertex2D kvxAngle(Vertex3D* a, Vertex3D* b);
void kvxCalcAngles(Vertex3D* a, Vertex3D* b, float& heading, float& pitch);

// Face normals and the line-through-triangle side test.
Vertex3D calcPlaneNormal(Vertex3D* a, Vertex3D* b, Vertex3D* c);  // not normalised
Vertex3D calcNormal(Vertex3D* a, Vertex3D* b, Vertex3D* c);       // unit, or zero
bool intersect(Vertex3D* tri, Vertex3D* p, Vertex3D* q);

// Rotations and matrices.
void Quaternion2Mat(float** m, Vertex4D* q);
void Mat2Quaternion(float m[][4], Vertex4D* q);  // axis in x, y, z; degrees in w
bool kvxInvertMatrix(float (&out)[4][4], float (&in)[4][4]);

#endif
