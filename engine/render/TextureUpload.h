#ifndef KVX_RENDER_TEXTUREUPLOAD_H
#define KVX_RENDER_TEXTUREUPLOAD_H

// Texture names and the hand-over of a texture's pixels to the rasterizer.

#include <cstdint>

class Texture;

const int kvxMipMapTrilinear = 35;  // any other type: nearest mip level

extern int32_t kvxCurrentMipMapType;

unsigned int kvxCreateTextureName();
bool kvxTextureUploaded(int name);
int kvxDeleteTexture(unsigned int name);
void kvxSetMipMapType(int type);
int kvxGetMipMapType();
int kvxUploadTexture(Texture* t, int frame);

#endif
