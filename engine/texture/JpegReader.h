#ifndef KVX_TEXTURE_JPEGREADER_H
#define KVX_TEXTURE_JPEGREADER_H

// Baseline and progressive JPEG (colour or grey) decoded to RGBA with
// alpha 255, the first JPEG row stored as the last buffer row.
// True on success; a missing file fails silently, bad data is logged.

#include <cstddef>
#include "texture/ImageFile.h"

bool kvxReadJpeg(const char* path, const char* archive, ImageTarget* out);
bool kvxDecodeJpeg(const unsigned char* file, size_t size, ImageTarget* out);

#endif
