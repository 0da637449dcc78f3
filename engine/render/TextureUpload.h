#ifndef KVX_RENDER_TEXTUREUPLOAD_H
#define KVX_RENDER_TEXTUREUPLOAD_H

// Texture names and the hand-over of a texture's pixels to the rasterizer.

#include <cstdint>

class Texture;

const int kvxMipMapTrilinear = 35;  // any other type: nearest mip level

// The mipmap filter of new uploads.
extern int32_t kvxCurrentMipMapType;

// Returns a new texture name.
unsigned int kvxCreateTextureName();
// True when name holds an uploaded texture.
bool kvxTextureUploaded(int name);
// Deletes the texture name; returns 0.
int kvxDeleteTexture(unsigned int name);
// Sets the mipmap filter of later uploads (kvxMipMapTrilinear or nearest level).
void kvxSetMipMapType(int type);
// Returns the mipmap filter of uploads.
int kvxGetMipMapType();
// Hands frame of t's pixels to OpenGL under its texture name; returns 0.
int kvxUploadTexture(Texture* t, int frame);

#endif
