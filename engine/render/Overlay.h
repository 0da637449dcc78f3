#ifndef KVX_RENDER_OVERLAY_H
#define KVX_RENDER_OVERLAY_H

// 2D drawing over the 3D picture in window coordinates. Each call sets up
// its own orthographic projection and afterwards restores the perspective
// of kvxViewport and the capabilities it changed.

#include "core/Types.h"

class Material;

// Points per row of kvxDrawGrid.
const int kvxGridColumns = 80;
// Rows of points of kvxDrawGrid.
const int kvxGridRows = 60;

// y from the top edge; the points' y are converted in place.
void kvxDrawLine(Vertex2D* a, Vertex2D* b, Color* color);
void kvxDrawLine(Vertex3D* a, Vertex3D* b, Color* color);
// Eye coordinates through the current projection; model-view left identity.
void kvxDraw3DLine(Vertex3D* a, Vertex3D* b, Color* color);
// The outline is drawn on copies: the caller's points stay unchanged.
void kvxDrawBox(Vertex2D* a, Vertex2D* b, Color* color);
// Fills the box between corners a and b with color.
void kvxDrawFilledBox(Vertex2D* a, Vertex2D* b, Color* color);
// c1 at (a.x, a.y), c2 at (b.x, a.y), c3 at (b.x, b.y), c4 at (a.x, b.y).
void kvxDrawFilledBox(Vertex2D* a, Vertex2D* b, Color* c1, Color* c2, Color* c3, Color* c4);

// Top-left corner at pos (y from the top), turned by angle degrees about its centre.
void kvxDrawImage(Vertex3D* pos, Material* material, Color* color, float width, float height, bool flag, float angle);
// Centred on pos in bottom-up window coordinates.
void kvxDrawImageWithoutYConversion(Vertex3D* pos, Material* material, Color* color, float width, float height,
                                    bool flag);
// 80 x 60 points, row after row from the top; both arrays hold 4800 entries.
void kvxDrawGrid(Color* colors, Vertex2D* texCoords, float width, float height, Material* material);

// True when the depth at bottom-up pixel (x, y) is not nearer than z.
bool kvxIsVisible(float x, float y, float z);
// RGBA bytes of the frame buffer rectangle (0, 0, width, height), bottom row first.
void kvxGetBuffer(char* buffer, int width, int height);

#endif
