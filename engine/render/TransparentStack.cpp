#include "render/TransparentStack.h"

#include <GL/gl.h>
#include <algorithm>

#include "core/Math.h"
#include "render/Engine.h"
#include "render/FaceRenderers.h"
#include "render/RenderState.h"
#include "scene/Camera.h"
#include "texture/Material.h"

TransparentPlane* kvxTransparentPlaneStack = nullptr;
int kvxTransparentPlaneCount = 0;

namespace {

const float kThird = 0.33333334f;

int stackCapacity = 0;

// The face's centroid moved by the mesh position.
Vertex3D referencePoint(const TransparentPlane& p) {
    const Vertex3D& a = p.vertices[p.face->a];
    const Vertex3D& b = p.vertices[p.face->b];
    const Vertex3D& c = p.vertices[p.face->c];
    Vertex3D at = p.position != nullptr ? *p.position : Vertex3D{0.0f, 0.0f, 0.0f};
    return Vertex3D{((a.x + b.x + c.x) + 3.0f * at.x) * kThird, ((a.y + b.y + c.y) + 3.0f * at.y) * kThird,
                    ((a.z + b.z + c.z) + 3.0f * at.z) * kThird};
}

void sendCorner(const TransparentPlane& p, int i) {
    if (p.colors != nullptr) glColor4f(p.colors[i].r, p.colors[i].g, p.colors[i].b, p.colors[i].a);
    if (p.normals != nullptr) glNormal3f(p.normals[i].x, p.normals[i].y, p.normals[i].z);
    if (p.textureCoords != nullptr) glTexCoord2f(p.textureCoords[i].x, p.textureCoords[i].y);
    glVertex3f(p.vertices[i].x, p.vertices[i].y, p.vertices[i].z);
}

void drawPlane(const TransparentPlane& p, bool texturing) {
    glLoadMatrixf(p.matrix);
    Texture* texture = p.material != nullptr ? p.material->firstTexture : nullptr;
    if (texture != nullptr) {
        if (texturing) kvxEnable(KVX_TEXTURE_2D);
        kvxSetTexture(texture);
    } else {
        kvxDisable(KVX_TEXTURE_2D);  // an untextured face is drawn untextured
    }
    glBegin(GL_TRIANGLES);
    sendCorner(p, p.face->a);
    sendCorner(p, p.face->b);
    sendCorner(p, p.face->c);
    glEnd();
}

}  // namespace

void kvxInitTransparentPlaneStack(int capacity) {
    kvxUnInitTransparentPlaneStack();
    stackCapacity = std::max(0, capacity);
    kvxTransparentPlaneStack = new TransparentPlane[size_t(std::max(1, stackCapacity))];
    kvxTransparentPlaneCount = 0;
}

void kvxUnInitTransparentPlaneStack() {
    if (kvxTransparentPlaneStack == nullptr) return;
    delete[] kvxTransparentPlaneStack;
    kvxTransparentPlaneStack = nullptr;
    kvxTransparentPlaneCount = 0;
    stackCapacity = 0;
}

void kvxAddTransparentFace(Color* colors, Vertex2D* textureCoords, Vertex3D* vertices, Vertex3D* normals,
                           Facelist* faces, int first, int last, Material* material, Vertex3D* position) {
    if (kvxTransparentPlaneStack == nullptr || vertices == nullptr || faces == nullptr) return;
    float matrix[16];
    kvxGetModelViewMatrix(matrix);
    for (int f = first; f <= last && kvxTransparentPlaneCount < stackCapacity; ++f) {
        TransparentPlane& p = kvxTransparentPlaneStack[kvxTransparentPlaneCount++];
        p.colors = colors;
        p.textureCoords = textureCoords;
        p.vertices = vertices;
        p.normals = normals;
        p.face = faces + f;
        p.position = position;
        p.distance = 0.0f;
        p.material = material;
        std::copy(matrix, matrix + 16, p.matrix);
    }
}

void kvxDrawTransparentPlanes(Camera* camera) {
    if (kvxTransparentPlaneStack == nullptr) return;
    TransparentPlane* begin = kvxTransparentPlaneStack;
    TransparentPlane* end = begin + std::clamp(kvxTransparentPlaneCount, 0, stackCapacity);
    // Without a camera there is no eye to sort by: the faces keep queue order.
    if (camera != nullptr)
        for (TransparentPlane* p = begin; p != end; ++p) {
            Vertex3D at = referencePoint(*p);
            p->distance = kvxFakeDistance(&camera->eye, &at);
        }

    const bool texturing = kvxOpenGLSelected() && kvxIsEnabled(KVX_TEXTURE_2D);
    kvxDisable(KVX_CULL_FACE);
    kvxEnable(KVX_BLEND);
    kvxBlendFunc(KVX_SRC_ALPHA, KVX_ONE_MINUS_SRC_ALPHA);
    std::stable_sort(begin, end,
                     [](const TransparentPlane& x, const TransparentPlane& y) { return x.distance > y.distance; });

    if (kvxOpenGLSelected()) {
        kvxSetMatrixType(KVX_MODELVIEW);
        for (TransparentPlane* p = begin; p != end; ++p) drawPlane(*p, texturing);
        if (texturing) kvxEnable(KVX_TEXTURE_2D);
    }
    kvxEnable(KVX_CULL_FACE);
    kvxTransparentPlaneCount = 0;
}
