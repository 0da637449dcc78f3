#ifndef KVX_TEXTURE_PNGWRITER_H
#define KVX_TEXTURE_PNGWRITER_H

// Writes 8-bit RGB rows as a PNG file: top row first, or bottom row first
// when bottomUp (the order glReadPixels and kvxGetBuffer give). Returns true
// on success; nothing is left on disk when writing fails.
bool kvxWritePng(const char* path, const unsigned char* rgb, int width, int height, bool bottomUp);

#endif
