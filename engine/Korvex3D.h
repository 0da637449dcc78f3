#ifndef KORVEX3D_H
#define KORVEX3D_H

// The whole public interface of the Korvex3D engine.

#include "console/KvxConsole.h"
#include "core/KvxCore.h"
#include "import3ds/KvxImport3DS.h"
#include "particles/KvxParticles.h"
#include "platform/KvxPlatform.h"
#include "render/KvxRender.h"
#include "scene/KvxScene.h"
#include "spatial/KvxSpatial.h"
#include "texture/KvxTexture.h"

#endif
