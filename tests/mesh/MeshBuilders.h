#ifndef KVX_TESTS_MESH_MESHBUILDERS_H
#define KVX_TESTS_MESH_MESHBUILDERS_H

// Small hand-built meshes and GL helpers shared by the mesh tests.

#include <GL/gl.h>

#include <cstdint>
#include <initializer_list>
#include <random>

#include "core/Types.h"
#include "scene/Mesh.h"
#include "texture/Texture.h"

namespace meshtest {

struct Tri {
    int a, b, c;
};

// A mesh with the given positions and faces; colours white, normals +z,
// texture coordinates from x and y.
inline Mesh* makeMesh(std::initializer_list<Vertex3D> points, std::initializer_list<Tri> tris) {
    Mesh* m = new Mesh();
    m->createVertices(int(points.size()));
    m->createFaces(int(tris.size()));
    int i = 0;
    for (const Vertex3D& p : points) {
        m->originalVertices[i] = p;
        m->vertices[i] = p;
        m->textureCoords[i] = Vertex2D{p.x, p.y};
        m->normals[i] = Vertex3D{0.0f, 0.0f, 1.0f};
        m->colors[i] = Color{1.0f, 1.0f, 1.0f, 1.0f};
        ++i;
    }
    int f = 0;
    for (const Tri& t : tris) {
        m->faces[f] = Facelist{uint16_t(t.a), uint16_t(t.b), uint16_t(t.c)};
        m->faceFlags[f] = 7;
        ++f;
    }
    return m;
}

// A random connected-ish mesh: a grid of n x n vertices with jitter, two
// triangles per cell, smoothing values from a few groups.
inline Mesh* makeGridMesh(int n, unsigned seed, int groups) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> jitter(-0.3f, 0.3f);
    Mesh* m = new Mesh();
    m->createVertices(n * n);
    m->createFaces(2 * (n - 1) * (n - 1));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int i = y * n + x;
            m->originalVertices[i] = Vertex3D{x + jitter(rng), y + jitter(rng), 3.0f * jitter(rng)};
            m->textureCoords[i] = Vertex2D{float(x) / n, float(y) / n};
        }
    int f = 0;
    for (int y = 0; y + 1 < n; ++y)
        for (int x = 0; x + 1 < n; ++x) {
            uint16_t v0 = uint16_t(y * n + x), v1 = uint16_t(v0 + 1), v2 = uint16_t(v0 + n), v3 = uint16_t(v0 + n + 1);
            m->faces[f] = Facelist{v0, v1, v3};
            m->smoothingGroups[f] = int(rng() % unsigned(groups));
            m->faceMaterials[f] = int(rng() % 3u);
            ++f;
            m->faces[f] = Facelist{v0, v3, v2};
            m->smoothingGroups[f] = int(rng() % unsigned(groups));
            m->faceMaterials[f] = int(rng() % 3u);
            ++f;
        }
    return m;
}

// Pixel-exact projection: x and y in window pixels, z in [-1, 1] (-z is far).
inline void pixelProjection(int width = 640, int height = 480) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -10.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

// A GL texture of w x h RGBA texels (nearest filtering) on a new Texture.
inline Texture* makeTexture(int w, int h, const uint8_t* rgba, int frame = 0, Texture* t = nullptr) {
    if (t == nullptr) t = new Texture();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    t->textureIDs[frame] = name;
    return t;
}

inline Texture* makeSolidTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) {
    uint8_t texels[16];
    for (int i = 0; i < 4; ++i) {
        texels[4 * i] = r;
        texels[4 * i + 1] = g;
        texels[4 * i + 2] = b;
        texels[4 * i + 3] = a;
    }
    return makeTexture(2, 2, texels);
}

}  // namespace meshtest

#endif
