#ifndef KVX_SCENE_ALL_H
#define KVX_SCENE_ALL_H

// Every public header of the scene subsystem.

#include "scene/Camera.h"
#include "scene/Frustrum.h"
#include "scene/KVXPath.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/MeshFaceRanges.h"
#include "scene/OGroup.h"
#include "scene/Object.h"
#include "scene/RenderFlags.h"
#include "scene/Scene.h"

#endif
