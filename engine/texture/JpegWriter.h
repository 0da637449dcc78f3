#ifndef KVX_TEXTURE_JPEGWRITER_H
#define KVX_TEXTURE_JPEGWRITER_H

// Writes RGBA rows (top row first, alpha ignored) as a baseline JPEG with
// 2x2 chroma subsampling. Nothing is left on disk when writing fails.

bool kvxWriteJpeg(const char* path, const unsigned char* rgba, int width, int height, int quality);

#endif
