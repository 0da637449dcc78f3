#ifndef KVX_TEXTURE_TARGAREADER_H
#define KVX_TEXTURE_TARGAREADER_H

// Uncompressed (type 2) and run-length encoded (type 10) true-colour Targa
// images of 24 or 32 bits. Both calls log their failure and return its code.

#include <cstddef>
#include "texture/ImageFile.h"

int kvxReadTarga(const char* path, const char* archive, ImageTarget* out);
int kvxDecodeTarga(const unsigned char* file, size_t size, ImageTarget* out);

#endif
