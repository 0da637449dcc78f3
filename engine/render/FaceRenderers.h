#ifndef KVX_RENDER_FACERENDERERS_H
#define KVX_RENDER_FACERENDERERS_H

// The lowest drawing layer for triangle meshes. Each renderer takes a mesh's
// parallel arrays and an inclusive face range [first, last]; a range with
// last below first draws nothing. The caller guarantees that every index of
// the range lies inside the vertex arrays (Mesh checks its faces).

#include "core/Types.h"

class Texture;

// Binds the texture's current frame and loads its texture matrix.
void kvxSetTexture(Texture* texture);

// Vertex arrays and 16-bit indexed triangles, straight from the mesh arrays.
void kvxRenderList(Color* colors, Vertex2D* textureCoords, Vertex3D* vertices, Vertex3D* normals, Facelist* faces,
                   int first, int last);

// Immediate mode with alpha forced to 1; safe to record into a display list.
void kvxRenderBasic(Color* colors, Vertex2D* textureCoords, Vertex3D* vertices, Vertex3D* normals, Facelist* faces,
                    int first, int last);

// Edge lines chosen per face by its flag bits: 1 = c-a, 2 = a-b, 4 = b-c.
void kvxRenderWire(Color* colors, Vertex2D* textureCoords, Vertex3D* vertices, Vertex3D* normals, Facelist* faces,
                   char* flags, int first, int last);

// Reflection layer: texture coordinates from the object-space normal.
void kvxRenderReflection(Color* colors, Vertex3D* vertices, Vertex3D* normals, Facelist* faces, int first, int last,
                         float alpha);

#endif
