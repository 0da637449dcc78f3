#ifndef KVX_TESTS_SPATIALFIXTURES_H
#define KVX_TESTS_SPATIALFIXTURES_H

// Small builders of meshes and groups for the spatial tests.

#include <cstdlib>
#include <vector>

#include "core/Math.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "spatial/Octree.h"

struct Tri {
    Vertex3D a, b, c;
};

inline Vertex3D v3(float x, float y, float z) { return Vertex3D{x, y, z}; }

// count triangles with corners drawn from rand() (seeded) in [0, 100)^3:
// large ones that cross most children of an octree at every level.
inline std::vector<Tri> randomTriangles(unsigned seed, int count) {
    srand(seed);
    auto r = [] { return float(rand() % 10000) / 100.0f; };
    std::vector<Tri> tris;
    for (int i = 0; i < count; ++i) tris.push_back(Tri{v3(r(), r(), r()), v3(r(), r(), r()), v3(r(), r(), r())});
    return tris;
}

// Each triangle gets its own three vertices, normals along its face normal,
// material `material` and edge normals, all in placed (world) coordinates.
inline Mesh* makeMesh(const std::vector<Tri>& tris, int material = 0) {
    Mesh* m = new Mesh();
    const int n = int(tris.size());
    m->createVertices(n * 3);
    m->createFaces(n);
    for (int i = 0; i < n; ++i) {
        Vertex3D c[3] = {tris[i].a, tris[i].b, tris[i].c};
        Vertex3D normal = calcNormal(&c[0], &c[1], &c[2]);
        for (int k = 0; k < 3; ++k) {
            m->vertices[i * 3 + k] = m->originalVertices[i * 3 + k] = c[k];
            m->normals[i * 3 + k] = m->originalNormals[i * 3 + k] = normal;
        }
        m->faces[i] = Facelist{uint16_t(i * 3), uint16_t(i * 3 + 1), uint16_t(i * 3 + 2)};
        m->faceMaterials[i] = material;
    }
    m->calcEdgeNormals();
    return m;
}

// Two triangles over the rectangle [x0, x1] x [y0, y1] at height z, facing
// up (+z) or down.
inline std::vector<Tri> quad(float x0, float y0, float x1, float y1, float z, bool up = true) {
    Tri t1{v3(x0, y0, z), v3(x1, y0, z), v3(x1, y1, z)};
    Tri t2{v3(x0, y0, z), v3(x1, y1, z), v3(x0, y1, z)};
    if (!up) {
        std::swap(t1.b, t1.c);
        std::swap(t2.b, t2.c);
    }
    return {t1, t2};
}

inline OGroup* makeGroup(const std::vector<Mesh*>& meshes, bool octree = true) {
    OGroup* g = new OGroup();
    for (Mesh* m : meshes) g->addMesh(m);
    if (octree) g->constructOctree();
    return g;
}

inline Light lightValue(Vertex3D at, Color color, float inner, float outer) {
    Light l;
    l.location = at;
    l.color = color;
    l.innerRange = inner;
    l.outerRange = outer;
    return l;
}

inline Light* makeLight(Vertex3D at, Color color, float inner, float outer) {
    return new Light(lightValue(at, color, inner, outer));
}

// White-box access to the octree's private members.
struct octreeNodeAccess {
    static bool polyInside(octreeNode& n, Vertex3D* c) { return n.polyInside(c); }
    static bool pointInside(octreeNode& n, Vertex3D* p) { return n.pointInside(p); }
    static void combinePlanes(octreeNode& n, octreeNode* other, float tol) { n.combinePlanes(other, tol); }
    static int checkBounds(octreeNode& n, Vertex3D* p) { return n.checkBounds(p); }
    static int setBounds(octreeNode& n, int axis, float lo, float hi) { return n.setBounds(axis, lo, hi); }
};

// Every leaf below n, in tree order.
inline void collectLeaves(octreeNode* n, std::vector<octreeNode*>& out) {
    if (!n->isSplit) {
        out.push_back(n);
        return;
    }
    for (octreeNode* c : n->children) collectLeaves(c, out);
}

#endif
