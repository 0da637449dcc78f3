#ifndef KVX_SCENE_MESHARRAYS_H
#define KVX_SCENE_MESHARRAYS_H

// The table of the plain arrays a Mesh owns, and their allocation helpers.
// All element types are trivially copyable records, so zeroed malloc memory
// is a valid value.

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "scene/Mesh.h"

namespace kvx_mesh {

// Whether minimizeVirtualTriangleCount trims an array to its count; the
// others keep their length.
const bool kTrimmed = true;
const bool kKeptWhole = false;

// The per-vertex and per-face arrays as members, in one table each, so that
// creation, release, growth, trimming and copying cannot drift apart.
template <class Visit>
void visitVertexMembers(Visit&& visit) {
    visit(&Mesh::originalVertices, kTrimmed);
    visit(&Mesh::vertices, kTrimmed);
    visit(&Mesh::worldVertices, kKeptWhole);
    visit(&Mesh::textureCoords, kTrimmed);
    visit(&Mesh::originalNormals, kTrimmed);
    visit(&Mesh::normals, kTrimmed);
    visit(&Mesh::originalColors, kTrimmed);
    visit(&Mesh::colors, kTrimmed);
}

template <class Visit>
void visitFaceMembers(Visit&& visit) {
    visit(&Mesh::faces, kTrimmed);
    visit(&Mesh::faceMaterials, kTrimmed);
    visit(&Mesh::smoothingGroups, kKeptWhole);
    visit(&Mesh::edgeNormals, kKeptWhole);
    visit(&Mesh::faceFlags, kTrimmed);
}

// The same over one mesh's arrays: visit(array, trimmed).
template <class Visit>
void visitVertexArrays(Mesh& m, Visit&& visit) {
    visitVertexMembers([&](auto member, bool trimmed) { visit(m.*member, trimmed); });
}

template <class Visit>
void visitFaceArrays(Mesh& m, Visit&& visit) {
    visitFaceMembers([&](auto member, bool trimmed) { visit(m.*member, trimmed); });
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

}  // namespace kvx_mesh

#endif
