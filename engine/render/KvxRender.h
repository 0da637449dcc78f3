#ifndef KVX_RENDER_ALL_H
#define KVX_RENDER_ALL_H

// Every public header of the render subsystem.

#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "render/FaceRenderers.h"
#include "render/Font.h"
#include "render/Overlay.h"
#include "render/RenderState.h"
#include "render/Screenshot.h"
#include "render/TextureUpload.h"
#include "render/TransparentStack.h"

#endif
