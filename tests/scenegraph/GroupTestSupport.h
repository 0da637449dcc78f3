#ifndef KVX_TESTS_GROUPTESTSUPPORT_H
#define KVX_TESTS_GROUPTESTSUPPORT_H

// Small meshes and paths built by hand for the group tests.

#include "../import3ds/ImportTestSupport.h"

namespace kvxtest {

// A mesh of one triangle per three corners given.
inline Mesh* triangleMesh(const char* name, std::initializer_list<float> xyz) {
    Mesh* m = new Mesh();
    m->setName(name);
    int n = static_cast<int>(xyz.size() / 3);
    m->createVertices(n);
    m->createFaces(n / 3);
    int i = 0;
    for (float v : xyz) {
        float* p = &m->vertices[i / 3].x + i % 3;
        *p = v;
        (&m->originalVertices[i / 3].x)[i % 3] = v;
        ++i;
    }
    for (int f = 0; f < n / 3; ++f)
        m->faces[f] =
            Facelist{static_cast<uint16_t>(3 * f), static_cast<uint16_t>(3 * f + 1), static_cast<uint16_t>(3 * f + 2)};
    return m;
}

inline Mesh* unitTriangle(const char* name) { return triangleMesh(name, {0, 0, 0, 1, 0, 0, 0, 1, 0}); }

// Position keys (frame, x) along the x axis.
inline KVXPath* xPath(Object* o, std::initializer_list<std::pair<int, float>> keys) {
    KVXPath* p = new KVXPath(static_cast<int>(keys.size()), 5, 0, o);
    int k = 0;
    for (auto key : keys) p->set(k++, 0.0f, 0.0f, key.second, key.first);
    return p;
}

// Rotation keys (frame, degrees) about z.
inline KVXPath* zTurns(Object* o, std::initializer_list<std::pair<int, float>> keys) {
    KVXPath* p = new KVXPath(static_cast<int>(keys.size()), 5, 1, o);
    int k = 0;
    for (auto key : keys) p->set(k++, 1.0f, 0.0f, 0.0f, key.second, key.first);
    return p;
}

// A group animated by one path list of frameCount frames.
inline PathList* animate(OGroup& g, int frameCount) {
    PathList* list = new PathList();
    list->endFrame = list->frameCount = frameCount;
    g.addPathList(list);
    g.setActivePathList(g.pathListCount - 1);
    g.animated = true;
    return list;
}

// Where the group's animated matrix of o takes the point p.
inline Vertex3D placed(OGroup& g, Object* o, Vertex3D p) {
    float m[16];
    g.getObjectAnimatedMatrix(o, m);
    return Vertex3D{m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                    m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

}  // namespace kvxtest

#endif
