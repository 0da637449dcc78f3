#ifndef KVX_SCENE_FRUSTRUM_H
#define KVX_SCENE_FRUSTRUM_H

// View-frustum planes of a camera, the sphere test that culls whole meshes,
// and a point-inside-mesh test. The world is z-up.

#include "core/Types.h"

class Camera;
class Mesh;

// Fills all five planes from the camera and kvxViewport; nothing for null.
// A camera whose target equals its eye is turned to look along +x.
void kvxMakeFrustrum(Camera* camera, Frustrum* out);
// False when the mesh's bounding sphere lies wholly outside one side plane.
bool kvxIsObjectInFrustrum(Frustrum* frustum, Mesh* mesh);
// True when the point is on the inner side of, or on, every face plane.
bool kvxPointInsideObject(Mesh* mesh, Vertex3D* point);

#endif
