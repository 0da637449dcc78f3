#ifndef KVX_SPATIAL_CUBEOVERLAP_H
#define KVX_SPATIAL_CUBEOVERLAP_H

// Overlap tests against the unit cube [-0.5, 0.5]^3 (Green and Hatch's
// polygon-cube test, specialised to triangles). Callers map their box onto
// that cube first; see mapToUnitCube.

#include "core/Types.h"
#include "core/VectorOps.h"

namespace kvx_spatial {

// The box's cube enlarged by this factor is what the mapping lands on
// [-0.5, 0.5]^3, so that triangles touching a face are caught despite rounding.
const float kCubeMargin = 1.01f;

// A corner this far inside on every axis makes the first test of its edges
// succeed: with |a| <= 0.49 on every axis no face test fails and |r| stays
// below |q| by far more than rounding.
const float kSurelyInside = 0.49f;

// Maps points into the unit-cube space of the cube with the given centre and
// x extent (enlarged by kCubeMargin). Returns false when the extent is 0.
struct UnitCubeMap {
    Vertex3D centre;
    float scale;

    bool set(const float boxMin[3], const float boxMax[3]);
    Vertex3D map(const Vertex3D& v) const { return kvx_vector::mul(kvx_vector::sub(v, centre), scale); }
};

bool segmentMeetsUnitCube(const Vertex3D& a, const Vertex3D& b);

// p is a point of the triangle's plane; n the triangle's (unnormalised) normal.
bool pointInTriangle(const Vertex3D tri[3], const Vertex3D& p, const Vertex3D& n);

// tri is already in unit-cube space; n is its normal (any length).
bool triangleMeetsUnitCube(const Vertex3D tri[3], const Vertex3D& n);

// The two halves of triangleMeetsUnitCube, which is their disjunction: an
// edge meets the cube; the plane's crossing of the cube diagonal nearest n
// lies in the triangle.
bool edgesMeetUnitCube(const Vertex3D tri[3]);
bool diagonalMeetsUnitCube(const Vertex3D tri[3], const Vertex3D& n);

// The axis of n's largest component, as pointInTriangle chooses it.
int dominantAxis(const Vertex3D& n);

// The same answer as triangleMeetsUnitCube, decided early where its
// comparisons cannot go the other way; dominant is dominantAxis(n).
bool triangleMeetsUnitCubeEarly(const Vertex3D tri[3], const Vertex3D& n, int dominant);

}  // namespace kvx_spatial

#endif
