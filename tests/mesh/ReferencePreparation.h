#ifndef KVX_TESTS_MESH_REFERENCEPREPARATION_H
#define KVX_TESTS_MESH_REFERENCEPREPARATION_H

// Straightforward per-vertex scans over every face: the slow way of
// computing smoothing splits and vertex normals, kept to check that the
// engine's adjacency-based versions give bit-identical results (and, in the
// benchmark, to measure them against).

#include <cmath>
#include <vector>

#include "scene/Mesh.h"

namespace meshref {

inline Vertex3D unitFaceNormal(const Vertex3D& a, const Vertex3D& b, const Vertex3D& c) {
    Vertex3D u{b.x - a.x, b.y - a.y, b.z - a.z}, v{c.x - a.x, c.y - a.y, c.z - a.z};
    Vertex3D n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    float len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (len == 0.0f) len = 1.1754944e-38f;
    return Vertex3D{n.x / len, n.y / len, n.z / len};
}

inline bool uses(const Facelist& f, int v) { return f.a == v || f.b == v || f.c == v; }

inline void calcNormals(Mesh& m) {
    for (int i = 0; i < m.vertexCount; ++i) {
        Vertex3D sum{0.0f, 0.0f, 0.0f};
        int count = 0;
        for (int f = 0; f < m.faceCount; ++f) {
            const Facelist& face = m.faces[f];
            if (!uses(face, i)) continue;
            Vertex3D n =
                unitFaceNormal(m.originalVertices[face.a], m.originalVertices[face.b], m.originalVertices[face.c]);
            sum = Vertex3D{sum.x + n.x, sum.y + n.y, sum.z + n.z};
            ++count;
        }
        if (count == 0) continue;
        float c = float(count);
        Vertex3D mean{sum.x / c, sum.y / c, sum.z / c};
        float len = std::sqrt(mean.x * mean.x + mean.y * mean.y + mean.z * mean.z);
        if (len == 0.0f) len = 1.1754944e-38f;
        m.originalNormals[i] = Vertex3D{mean.x / len, mean.y / len, mean.z / len};
    }
}

inline std::vector<int> groupsAt(Mesh& m, int v) {
    std::vector<int> groups;
    for (int f = 0; f < m.faceCount; ++f) {
        if (!uses(m.faces[f], v)) continue;
        bool seen = false;
        for (int g : groups) seen = seen || g == m.smoothingGroups[f];
        if (!seen) groups.push_back(m.smoothingGroups[f]);
    }
    return groups;
}

inline void prepareSmoothing(Mesh& m) {
    const int oldCount = m.vertexCount;
    int added = 0;
    for (int v = 0; v < oldCount; ++v) {
        int users = 0;
        for (int f = 0; f < m.faceCount; ++f) users += uses(m.faces[f], v) ? 1 : 0;
        if (users > Mesh::kMaxFacesPerVertex) return;
        if (users > 0) added += int(groupsAt(m, v).size()) - 1;
    }
    m.expandObject(oldCount + added, m.faceCount);
    int next = oldCount;
    for (int v = 0; v < oldCount; ++v) {
        std::vector<int> groups = groupsAt(m, v);
        for (size_t g = 1; g < groups.size() && next < m.vertexCount; ++g, ++next) {
            m.originalVertices[next] = m.originalVertices[v];
            m.textureCoords[next] = m.textureCoords[v];
            for (int f = 0; f < m.faceCount; ++f) {
                if (m.smoothingGroups[f] != groups[g]) continue;
                Facelist& face = m.faces[f];
                if (face.a == v) face.a = uint16_t(next);
                if (face.b == v) face.b = uint16_t(next);
                if (face.c == v) face.c = uint16_t(next);
            }
        }
    }
}

}  // namespace meshref

#endif
