#ifndef KVX_RENDER_TRANSPARENTSTACK_H
#define KVX_RENDER_TRANSPARENTSTACK_H

// One global stack of transparent faces, queued while meshes render and drawn
// back to front afterwards. A record points into its mesh's arrays, so the
// mesh must stay alive and unchanged in size until the stack is drawn.

#include "core/Types.h"

class Camera;
class Material;

// One queued transparent face and what it is drawn with.
struct TransparentPlane {
    Color* colors;
    Vertex2D* textureCoords;
    Vertex3D* vertices;
    Vertex3D* normals;
    Facelist* face;
    Vertex3D* position;
    float distance;  // squared distance from the camera's eye, set when drawing
    Material* material;
    float matrix[16];  // modelview matrix at queueing time, OpenGL order
};

// The queued faces.
extern TransparentPlane* kvxTransparentPlaneStack;
// Number of queued faces.
extern int kvxTransparentPlaneCount;

// Makes room for capacity faces.
void kvxInitTransparentPlaneStack(int capacity);
// Frees the stack.
void kvxUnInitTransparentPlaneStack();
// Queues faces first..last; faces beyond the capacity are dropped for this frame.
void kvxAddTransparentFace(Color* colors, Vertex2D* textureCoords, Vertex3D* vertices, Vertex3D* normals,
                           Facelist* faces, int first, int last, Material* material, Vertex3D* position);
// Draws the queued faces back to front as seen from camera, then empties the stack.
void kvxDrawTransparentPlanes(Camera* camera);

#endif
