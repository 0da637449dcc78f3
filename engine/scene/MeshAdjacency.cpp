#include "scene/MeshAdjacency.h"

#include <cstddef>

MeshAdjacency::MeshAdjacency(const Facelist* faces, int faceCount, int vertexCount)
    : offsets_(size_t(vertexCount > 0 ? vertexCount : 0) + 1, 0) {
    if (faces == nullptr || vertexCount <= 0) return;
    for (int f = 0; f < faceCount; ++f)
        if (faceInRange(faces[f], vertexCount)) forDistinctCorners(faces[f], [&](int v) { ++offsets_[size_t(v) + 1]; });
    for (int v = 0; v < vertexCount; ++v) offsets_[v + 1] += offsets_[v];

    faceIds_.resize(size_t(offsets_[vertexCount]));
    std::vector<int> fill(offsets_.begin(), offsets_.end() - 1);
    for (int f = 0; f < faceCount; ++f)
        if (faceInRange(faces[f], vertexCount))
            forDistinctCorners(faces[f], [&](int v) { faceIds_[size_t(fill[v]++)] = f; });
}
