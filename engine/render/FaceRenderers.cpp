#include "render/FaceRenderers.h"

#include <GL/gl.h>

#include "render/Engine.h"
#include "render/RenderState.h"
#include "texture/Texture.h"

namespace {

bool drawable(const Vertex3D* vertices, const Facelist* faces, int first, int last) {
    return kvxOpenGLSelected() && vertices != nullptr && faces != nullptr && first >= 0 && last >= first;
}

// Sends one corner; a missing array sends nothing for its attribute.
void sendCorner(const Color* colors, const Vertex2D* textureCoords, const Vertex3D* vertices, const Vertex3D* normals,
                int i, float alpha) {
    if (colors != nullptr) glColor4f(colors[i].r, colors[i].g, colors[i].b, alpha);
    if (normals != nullptr) glNormal3f(normals[i].x, normals[i].y, normals[i].z);
    if (textureCoords != nullptr) glTexCoord2f(textureCoords[i].x, textureCoords[i].y);
    glVertex3f(vertices[i].x, vertices[i].y, vertices[i].z);
}

// Points one client array at the data, or switches it off for the call when
// there is none; restore() puts the enable state back.
class ClientArray {
public:
    ClientArray(GLenum array, const void* data) : array_(array), wasOn_(glIsEnabled(array)) {
        if (data == nullptr) {
            glDisableClientState(array_);
        } else if (!wasOn_) {
            glEnableClientState(array_);
        }
    }
    ~ClientArray() {
        if (wasOn_ && !glIsEnabled(array_)) glEnableClientState(array_);
        if (!wasOn_ && glIsEnabled(array_)) glDisableClientState(array_);
    }
    ClientArray(const ClientArray&) = delete;
    ClientArray& operator=(const ClientArray&) = delete;

private:
    GLenum array_;
    bool wasOn_;
};

bool textureMatrixIsIdentity(const Texture* t) {
    return t->angle == 0.0f && t->uScale == 1.0f && t->vScale == 1.0f && t->uOffset == 0.0f && t->vOffset == 0.0f;
}

}  // namespace

void kvxSetTexture(Texture* texture) {
    if (!kvxOpenGLSelected() || texture == nullptr) return;
    int frame = texture->currentFrame;
    if (frame < 0 || frame >= Texture::kMaxFrames) frame = 0;
    glBindTexture(GL_TEXTURE_2D, texture->textureIDs[frame]);

    kvxSetMatrixType(KVX_TEXTURE);
    kvxInitMatrix();
    if (!textureMatrixIsIdentity(texture)) {
        kvxTranslate(texture->uOffset, texture->vOffset, 1.0f);
        kvxRotate(texture->angle, 0.0f, 0.0f, 1.0f);
        kvxScale(texture->uScale, texture->vScale, 1.0f);
    }
    kvxSetMatrixType(KVX_MODELVIEW);
}

void kvxRenderList(Color* colors, Vertex2D* textureCoords, Vertex3D* vertices, Vertex3D* normals, Facelist* faces,
                   int first, int last) {
    if (!drawable(vertices, faces, first, last)) return;
    ClientArray colorArray(GL_COLOR_ARRAY, colors);
    ClientArray texArray(GL_TEXTURE_COORD_ARRAY, textureCoords);
    ClientArray vertexArray(GL_VERTEX_ARRAY, vertices);
    ClientArray normalArray(GL_NORMAL_ARRAY, normals);
    if (colors != nullptr) glColorPointer(4, GL_FLOAT, 0, colors);
    if (textureCoords != nullptr) glTexCoordPointer(2, GL_FLOAT, 0, textureCoords);
    glVertexPointer(3, GL_FLOAT, 0, vertices);
    if (normals != nullptr) glNormalPointer(GL_FLOAT, 0, normals);
    const GLsizei indexCount = GLsizei(last - first + 1) * 3;
    glDrawElements(GL_TRIANGLES, indexCount, GL_UNSIGNED_SHORT, faces + first);
}

void kvxRenderBasic(Color* colors, Vertex2D* textureCoords, Vertex3D* vertices, Vertex3D* normals, Facelist* faces,
                    int first, int last) {
    if (!drawable(vertices, faces, first, last)) return;
    glBegin(GL_TRIANGLES);
    for (int f = first; f <= last; ++f) {
        sendCorner(colors, textureCoords, vertices, normals, faces[f].a, 1.0f);
        sendCorner(colors, textureCoords, vertices, normals, faces[f].b, 1.0f);
        sendCorner(colors, textureCoords, vertices, normals, faces[f].c, 1.0f);
    }
    glEnd();
}

void kvxRenderWire(Color* colors, Vertex2D* textureCoords, Vertex3D* vertices, Vertex3D* normals, Facelist* faces,
                   char* flags, int first, int last) {
    if (!drawable(vertices, faces, first, last) || flags == nullptr) return;
    const float alpha = colors != nullptr ? colors[0].a : 1.0f;
    auto edge = [&](int from, int to) {
        sendCorner(colors, textureCoords, vertices, normals, from, alpha);
        sendCorner(colors, textureCoords, vertices, normals, to, alpha);
    };
    glBegin(GL_LINES);
    for (int f = first; f <= last; ++f) {
        const Facelist& face = faces[f];
        const unsigned bits = static_cast<unsigned char>(flags[f]);
        if (bits & 1u) edge(face.c, face.a);
        if (bits & 2u) edge(face.a, face.b);
        if (bits & 4u) edge(face.b, face.c);
    }
    glEnd();
}

void kvxRenderReflection(Color* colors, Vertex3D* vertices, Vertex3D* normals, Facelist* faces, int first, int last,
                         float alpha) {
    if (!drawable(vertices, faces, first, last) || normals == nullptr) return;
    auto corner = [&](int i) {
        const Vertex3D& n = normals[i];
        if (colors != nullptr) glColor4f(colors[i].r, colors[i].g, colors[i].b, alpha);
        glNormal3f(n.x, n.y, n.z);
        glTexCoord2f(n.x + 0.5f, n.y + 0.5f);
        glVertex3f(vertices[i].x, vertices[i].y, vertices[i].z);
    };
    glBegin(GL_TRIANGLES);
    for (int f = first; f <= last; ++f) {
        corner(faces[f].a);
        corner(faces[f].b);
        corner(faces[f].c);
    }
    glEnd();
}
