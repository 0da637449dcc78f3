#ifndef KVX_TEXTURE_ALL_H
#define KVX_TEXTURE_ALL_H

// Every public header of the texture subsystem.

#include "texture/Material.h"
#include "texture/PngWriter.h"
#include "texture/TList.h"
#include "texture/Texture.h"

#endif
