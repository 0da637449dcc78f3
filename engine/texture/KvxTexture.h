#ifndef KVX_TEXTURE_ALL_H
#define KVX_TEXTURE_ALL_H

// Every public header of the texture subsystem.

#include "texture/Texture.h"
#include "texture/Material.h"
#include "texture/TList.h"

#endif
