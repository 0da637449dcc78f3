#ifndef KVX_SPATIAL_COLLISION_H
#define KVX_SPATIAL_COLLISION_H

// Collision, ray and height queries over an object group, plus two small
// utilities. All but kvxRayBox and kvxCheckHeight2 work through the group's
// octree and answer their no-hit value when the group or tree is missing.
// The queries share engine-wide scratch lists: one thread only.

#include "core/Types.h"

class Mesh;
class OGroup;

// Capacities of the queries' scratch lists.
const int kvxCollisionLeafCapacity = 16384;
const int kvxCollisionCandidateCapacity = 16384;  // further candidates of a pass are ignored
const int kvxCollisionMarkCapacity = 16384;       // also the most passes one call runs
const int kvxRayDistanceLeafCapacity = 32768;
const int kvxRayLeafCapacity = 1024;

// No-hit values.
const float kvxNoRayDistance = 3.4028235e38f;
const float kvxNoHeight = -999999.0f;         // z of kvxCheckHeight's answer
const float kvxNoNegativeHeight = 999999.0f;  // z of kvxCheckNegativeHeight's answer

// Moves a sphere from oldPosition towards position, stopped or deflected by
// the group's collision planes; position receives the allowed position and
// normal the normal of the last polygon hit. True when anything was hit.
bool kvxCheckCollision(Vertex3D* position, Vertex3D* oldPosition, float radius, OGroup* group, bool slide,
                       Vertex3D* normal, int iterations);

// First face of the mesh (in face order, world vertices) the segment hits.
bool kvxRayBox(Vertex3D* from, Vertex3D* to, Mesh* mesh, Vertex3D* hit);

// True when a hit lies nearer to from than maxDistance.
bool kvxRayScene(Vertex3D* from, Vertex3D* to, float maxDistance, OGroup* group);

// Distance from from to the nearest accepted hit; faces with an opacity
// texture are accepted about half the time.
float kvxRaySceneDistance(Vertex3D* from, Vertex3D* to, OGroup* group);

Vertex3D kvxCheckHeight(Vertex3D* from, Vertex3D* to, OGroup* group);          // highest hit
Vertex3D kvxCheckNegativeHeight(Vertex3D* from, Vertex3D* to, OGroup* group);  // lowest hit
// Highest hit above 0 over every mesh, without the tree.
Vertex3D kvxCheckHeight2(Vertex3D* from, Vertex3D* to, OGroup* group);

// Busy wait on the tick count.
void wait(unsigned int milliseconds);

// free() the block if any, then null the pointer.
void kvxFree(char** p);
void kvxFree(short** p);
void kvxFree(int** p);
void kvxFree(float** p);
void kvxFree(void** p);

#endif
