#ifndef KVX_SPATIAL_RAYTRIANGLE_H
#define KVX_SPATIAL_RAYTRIANGLE_H

// Segment against triangle. The collision, ray, height and shadow queries
// are all built on these two.

#include "core/Types.h"

// Parameter t of the hit on the front of triangle abc (t = 0 at from, 1 at
// to; values beyond either end are answered as computed), or -1 for a miss
// or a triangle seen from its back.
float intersect2(Vertex3D* from, Vertex3D* to, Vertex3D* a, Vertex3D* b, Vertex3D* c);

// Where the line through from and to meets the plane of abc. A line parallel
// to the plane divides by the smallest normal float instead of zero.
Vertex3D findIntersectionPoint(Vertex3D* from, Vertex3D* to, Vertex3D* a, Vertex3D* b, Vertex3D* c);

#endif
