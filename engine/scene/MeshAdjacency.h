#ifndef KVX_SCENE_MESHADJACENCY_H
#define KVX_SCENE_MESHADJACENCY_H

// Which faces use each vertex, in face order, built once in linear time.
// Preparation steps that would otherwise scan every face for every vertex
// walk these lists instead and get the same results in the same order.

#include <cstddef>
#include <vector>
#include "core/Types.h"

class MeshAdjacency {
public:
    // Faces with a corner at or past vertexCount are left out: they use no vertex.
    MeshAdjacency(const Facelist* faces, int faceCount, int vertexCount);

    int count(int vertex) const { return offsets_[vertex + 1] - offsets_[vertex]; }
    const int* begin(int vertex) const { return faceIds_.data() + offsets_[vertex]; }
    const int* end(int vertex) const { return faceIds_.data() + offsets_[vertex + 1]; }

    static bool faceInRange(const Facelist& f, int vertexCount) {
        return f.a < vertexCount && f.b < vertexCount && f.c < vertexCount;
    }

    // Calls use(v) once for every distinct corner v of the face.
    template <class F>
    static void forDistinctCorners(const Facelist& f, F use) {
        use(f.a);
        if (f.b != f.a) use(f.b);
        if (f.c != f.a && f.c != f.b) use(f.c);
    }

private:
    std::vector<int> offsets_;  // vertexCount + 1 entries
    std::vector<int> faceIds_;
};

#endif
