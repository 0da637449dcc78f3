#ifndef DEMO_PNG_WRITER_H
#define DEMO_PNG_WRITER_H

// Writes an 8-bit RGB image (rows top to bottom) as a PNG with stored deflate blocks.
bool writePng(const char* fileName, const unsigned char* rgb, int width, int height);

#endif
