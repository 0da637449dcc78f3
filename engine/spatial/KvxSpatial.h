#ifndef KVX_SPATIAL_ALL_H
#define KVX_SPATIAL_ALL_H

// Every public header of the spatial subsystem.

#include "spatial/Collision.h"
#include "spatial/OTPolyData.h"
#include "spatial/Octree.h"
#include "spatial/RayTriangle.h"

#endif
