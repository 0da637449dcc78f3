#ifndef KVX_RENDER_ALL_H
#define KVX_RENDER_ALL_H

// Every public header of the render subsystem.

#include "render/ErrorLog.h"
#include "render/Engine.h"
#include "render/RenderState.h"
#include "render/TextureUpload.h"
#include "render/Overlay.h"
#include "render/Font.h"
#include "render/Screenshot.h"
#include "render/FaceRenderers.h"
#include "render/TransparentStack.h"

#endif
