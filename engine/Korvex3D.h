#ifndef KORVEX3D_H
#define KORVEX3D_H

// The whole public interface of the Korvex3D engine.

#include "platform/KvxPlatform.h"
#include "core/KvxCore.h"
#include "render/KvxRender.h"
#include "texture/KvxTexture.h"
#include "import3ds/KvxImport3DS.h"
#include "scene/KvxScene.h"
#include "particles/KvxParticles.h"
#include "spatial/KvxSpatial.h"
#include "console/KvxConsole.h"

#endif
