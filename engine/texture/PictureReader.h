#ifndef KVX_TEXTURE_PICTUREREADER_H
#define KVX_TEXTURE_PICTUREREADER_H

// PNG (libpng) and BMP (SDL's loader) pictures, as real 3DS files name them
// for their maps. Each decodes into RGBA bytes, bottom row first; a picture
// whose pixels do not fit the target is refused before any pixel is written.
// True on success; the callers log failures.

#include <cstddef>

#include "texture/ImageFile.h"

bool kvxReadPng(const char* path, const char* archive, ImageTarget* out);
bool kvxDecodePng(const unsigned char* file, size_t size, ImageTarget* out);
bool kvxReadBmp(const char* path, const char* archive, ImageTarget* out);
bool kvxDecodeBmp(const unsigned char* file, size_t size, ImageTarget* out);

#endif
