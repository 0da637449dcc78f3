#ifndef KVX_RENDER_FONT_H
#define KVX_RENDER_FONT_H

// Bitmap text: 128 display lists of glyph bitmaps, one per character code,
// drawn at window positions with kvxWrite.

#include "core/Types.h"

// The first of the glyphs' 128 display lists, or 0 before kvxInitFont.
extern int kvxFontBase;

// Builds the glyphs from the system's DejaVu Sans; 0, or 49 when it cannot.
int kvxInitFont();
// The same from a given font file.
int kvxInitFontFromFile(const char* fontFile);
// Text formatted like printf with its baseline starting at (x, y), y from the top.
void kvxWrite(float x, float y, Color* color, const char* format, ...);

#endif
