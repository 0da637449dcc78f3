#ifndef KVX_SCENE_ALL_H
#define KVX_SCENE_ALL_H

// Every public header of the scene subsystem.

#include "scene/Object.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/KVXPath.h"
#include "scene/MeshFaceRanges.h"
#include "scene/RenderFlags.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "scene/Scene.h"
#include "scene/Frustrum.h"

#endif
