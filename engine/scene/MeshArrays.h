#ifndef KVX_SCENE_MESHARRAYS_H
#define KVX_SCENE_MESHARRAYS_H

// The table of the plain arrays a Mesh owns, and their allocation helpers. All
// element types are trivially copyable records, so zeroed malloc memory is a
// valid value.

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "scene/Mesh.h"

namespace kvx_mesh {

// What an array holds, which decides how it is trimmed, copied and merged.
enum class ArrayKind {
    data,       // loaded or prepared values: trimmed to the count, copied and merged
    smoothing,  // smoothing groups: kept whole and merged; a copy starts from the face indices
    scratch     // recomputed from the others: kept whole, never copied
};

// The per-vertex and per-face arrays in one table each, so that creation,
// release, growth, trimming, copying and merging cannot drift apart.
// visit(member, kind) is called with a pointer to each array member of Mesh.
template <class Visit>
void visitVertexArrays(Visit&& visit) {
    visit(&Mesh::originalVertices, ArrayKind::data);
    visit(&Mesh::vertices, ArrayKind::data);
    visit(&Mesh::worldVertices, ArrayKind::scratch);
    visit(&Mesh::textureCoords, ArrayKind::data);
    visit(&Mesh::originalNormals, ArrayKind::data);
    visit(&Mesh::normals, ArrayKind::data);
    visit(&Mesh::originalColors, ArrayKind::data);
    visit(&Mesh::colors, ArrayKind::data);
}

template <class Visit>
void visitFaceArrays(Visit&& visit) {
    visit(&Mesh::faces, ArrayKind::data);
    visit(&Mesh::faceMaterials, ArrayKind::data);
    visit(&Mesh::smoothingGroups, ArrayKind::smoothing);
    visit(&Mesh::edgeNormals, ArrayKind::scratch);
    visit(&Mesh::faceFlags, ArrayKind::data);
}

// A zero-filled array of n elements (never a null pointer for n >= 0).
template <class T>
T* allocZeroed(int n) {
    size_t count = n > 0 ? size_t(n) : 1;
    return static_cast<T*>(std::calloc(count, sizeof(T)));
}

// Resizes p to n elements, keeping the first min(kept, n) and zeroing the rest.
// `kept` is how many leading elements of p hold data; a null p keeps nothing.
template <class T>
void resize(T*& p, int kept, int n) {
    const size_t count = n > 0 ? size_t(n) : 1;
    T* q = static_cast<T*>(std::malloc(count * sizeof(T)));
    if (q != nullptr) {
        const size_t copied = p != nullptr ? size_t(std::max(0, std::min(kept, n))) : 0;
        if (copied > 0) std::memcpy(static_cast<void*>(q), p, copied * sizeof(T));
        std::memset(static_cast<void*>(q + copied), 0, (count - copied) * sizeof(T));
    }
    std::free(p);
    p = q;
}

// A new array of n elements copied from src (zeroed when src is null).
template <class T>
T* duplicate(const T* src, int n) {
    if (src == nullptr || n <= 0) return allocZeroed<T>(n);
    T* q = static_cast<T*>(std::malloc(size_t(n) * sizeof(T)));
    if (q != nullptr) std::memcpy(static_cast<void*>(q), src, size_t(n) * sizeof(T));
    return q;
}

template <class T>
void release(T*& p) {
    std::free(p);
    p = nullptr;
}

// Copies n elements from src to dst; nothing when either is null.
template <class T>
void copyElements(T* dst, const T* src, int n) {
    if (dst != nullptr && src != nullptr && n > 0) std::memcpy(static_cast<void*>(dst), src, size_t(n) * sizeof(T));
}

}  // namespace kvx_mesh

#endif
