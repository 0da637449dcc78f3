// Mesh preparation: smoothing splits, centring, normals, radius, material
// runs and edge normals. Faces with a corner past the vertex arrays are
// ignored here (they use no vertex) and never index an array.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "core/Math.h"
#include "core/VectorOps.h"
#include "scene/Mesh.h"
#include "scene/MeshAdjacency.h"
#include "scene/MeshArrays.h"

using kvx_vector::add;
using kvx_vector::cross;
using kvx_vector::sub;

namespace {

const float kSmallestNormal = 1.1754944e-38f;
const float kBoxStart = 9999999.0f;

// Divides by the length, or by the smallest normal float when that is 0.
Vertex3D divideByLength(const Vertex3D& v) {
    float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (len == 0.0f) len = kSmallestNormal;
    return Vertex3D{v.x / len, v.y / len, v.z / len};
}

// Zero stays zero, unlike a plain division by the length.
Vertex3D unitOrZero(Vertex3D v) {
    v.normalize();
    return v;
}

// Distinct smoothing values of the faces listed, in order of first appearance.
void distinctGroups(const int* first, const int* last, const int32_t* groups, std::vector<int32_t>& out) {
    out.clear();
    for (const int* f = first; f != last; ++f) {
        int32_t g = groups[*f];
        bool seen = false;
        for (int32_t known : out)
            if (known == g) {
                seen = true;
                break;
            }
        if (!seen) out.push_back(g);
    }
}

void replaceCorner(Facelist& face, int from, int to) {
    if (face.a == from) face.a = uint16_t(to);
    if (face.b == from) face.b = uint16_t(to);
    if (face.c == from) face.c = uint16_t(to);
}

}  // namespace

void Mesh::prepareSmoothing() {
    if (faces == nullptr || smoothingGroups == nullptr || originalVertices == nullptr) return;
    const int oldCount = vertexCount;
    MeshAdjacency users(faces, faceCount, oldCount);

    std::vector<int32_t> groups;
    long long added = 0;
    for (int v = 0; v < oldCount; ++v) {
        if (users.count(v) > kMaxFacesPerVertex) return;
        if (users.count(v) == 0) continue;
        distinctGroups(users.begin(v), users.end(v), smoothingGroups, groups);
        added += static_cast<long long>(groups.size()) - 1;
    }
    if (added == 0) return;

    // New vertices must stay addressable by 16-bit face indices.
    long long target = std::min<long long>(oldCount + added, kMaxVertices);
    if (target <= oldCount) return;
    expandObject(int(target), faceCount);

    int next = oldCount;
    for (int v = 0; v < oldCount; ++v) {
        distinctGroups(users.begin(v), users.end(v), smoothingGroups, groups);
        for (size_t g = 1; g < groups.size(); ++g) {
            if (next >= vertexCount) return;  // arrays full
            originalVertices[next] = originalVertices[v];
            if (textureCoords != nullptr) textureCoords[next] = textureCoords[v];
            for (const int* f = users.begin(v); f != users.end(v); ++f)
                if (smoothingGroups[*f] == groups[g]) replaceCorner(faces[*f], v, next);
            ++next;
        }
    }
}

void Mesh::center() {
    if (originalVertices == nullptr || vertexCount <= 0) {
        position = Vertex3D{0.0f, 0.0f, 0.0f};
        return;
    }
    Vertex3D lo{kBoxStart, kBoxStart, kBoxStart};
    Vertex3D hi{-kBoxStart, -kBoxStart, -kBoxStart};
    for (int i = 0; i < vertexCount; ++i) {
        const Vertex3D& p = originalVertices[i];
        lo = Vertex3D{std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = Vertex3D{std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    Vertex3D c{(lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f};
    for (int i = 0; i < vertexCount; ++i) originalVertices[i] = sub(originalVertices[i], c);
    position = c;
}

void Mesh::calcNormals() {
    if (faces == nullptr || originalVertices == nullptr || originalNormals == nullptr) return;
    MeshAdjacency users(faces, faceCount, vertexCount);

    // Each face's unit normal once; every vertex then sums its faces in face order.
    std::vector<Vertex3D> faceNormals(size_t(faceCount > 0 ? faceCount : 0));
    for (int f = 0; f < faceCount; ++f) {
        if (!isFaceValid(f)) continue;
        const Vertex3D& a = originalVertices[faces[f].a];
        const Vertex3D& b = originalVertices[faces[f].b];
        const Vertex3D& c = originalVertices[faces[f].c];
        faceNormals[size_t(f)] = divideByLength(cross(sub(b, a), sub(c, a)));
    }
    for (int v = 0; v < vertexCount; ++v) {
        int n = users.count(v);
        if (n == 0) continue;
        Vertex3D total{0.0f, 0.0f, 0.0f};
        for (const int* f = users.begin(v); f != users.end(v); ++f) total = add(total, faceNormals[size_t(*f)]);
        float count = float(n);
        originalNormals[v] = divideByLength(Vertex3D{total.x / count, total.y / count, total.z / count});
    }
}

void Mesh::originalToCalculated() {
    for (int i = 0; i < vertexCount; ++i) {
        if (vertices != nullptr && originalVertices != nullptr) vertices[i] = originalVertices[i];
        if (normals != nullptr && originalNormals != nullptr) normals[i] = originalNormals[i];
    }
}

void Mesh::calcRadius() {
    radius = kSmallestNormal;
    if (vertices == nullptr) return;
    Vertex3D origin{0.0f, 0.0f, 0.0f};
    for (int i = 0; i < vertexCount; ++i) radius = std::max(radius, kvxDistance(&origin, &vertices[i]));
}

namespace {

// The run of every face: runs numbered by their material's first appearance.
// Neighbouring faces mostly share a material, so the map is asked only when
// the material changes.
int numberRuns(const int32_t* materials, int faceCount, std::vector<int>& faceRun, std::vector<int>& runSize) {
    std::unordered_map<int32_t, int> runOf;
    int run = -1;
    for (int f = 0; f < faceCount; ++f) {
        if (f == 0 || materials[f] != materials[f - 1]) {
            auto found = runOf.emplace(materials[f], int(runSize.size()));
            if (found.second) runSize.push_back(0);
            run = found.first->second;
        }
        faceRun[size_t(f)] = run;
        ++runSize[size_t(run)];
    }
    return int(runSize.size());
}

// Puts entry order[f] of the array at f, through one scratch buffer.
template <class T>
void reorder(T* array, const std::vector<int>& order, std::vector<unsigned char>& scratch) {
    if (array == nullptr) return;
    const size_t n = order.size();
    std::memcpy(scratch.data(), static_cast<const void*>(array), n * sizeof(T));
    const T* old = reinterpret_cast<const T*>(scratch.data());
    for (size_t f = 0; f < n; ++f) array[f] = old[order[f]];
}

}  // namespace

void Mesh::sortFacesByMaterial() {
    if (faceCount < 0 || faces == nullptr || faceMaterials == nullptr) return;

    std::vector<int> faceRun(static_cast<size_t>(faceCount));
    std::vector<int> runSize;
    const int runs = numberRuns(faceMaterials, faceCount, faceRun, runSize);

    delete materialGroups;
    materialGroups = new FaceRangeList(runs);
    std::vector<int> nextSlot(static_cast<size_t>(runs));
    int start = 0;
    for (int r = 0; r < runs; ++r) {
        materialGroups->ranges[r] = FaceRange{start, start + runSize[size_t(r)] - 1};
        nextSlot[size_t(r)] = start;
        start += runSize[size_t(r)];
    }
    // Runs numbered in order of appearance that never decrease are already in place.
    if (std::is_sorted(faceRun.begin(), faceRun.end())) return;

    // Every per-face array moves with its face, so that flags, smoothing
    // values and edge normals keep describing the face they belong to.
    std::vector<int> order(static_cast<size_t>(faceCount));
    for (int f = 0; f < faceCount; ++f) order[size_t(nextSlot[size_t(faceRun[size_t(f)])]++)] = f;
    std::vector<unsigned char> scratch(size_t(faceCount) * sizeof(EdgeNormal));
    kvx_mesh::visitFaceArrays(*this, [&](auto* array, bool) { reorder(array, order, scratch); });
}

void Mesh::calcEdgeNormals() {
    if (faces == nullptr || edgeNormals == nullptr) return;
    std::vector<Vertex3D> placed(size_t(vertexCount > 0 ? vertexCount : 0));
    if (vertices != nullptr) placeVertices(placed.data());
    for (int f = 0; f < faceCount; ++f) {
        EdgeNormal& e = edgeNormals[f];
        e = EdgeNormal{};
        if (!isFaceValid(f) || vertices == nullptr) continue;
        Vertex3D a = placed[faces[f].a];
        Vertex3D b = placed[faces[f].b];
        Vertex3D c = placed[faces[f].c];
        Vertex3D n = calcNormal(&a, &b, &c);
        e.n[0] = unitOrZero(cross(sub(b, a), n));
        e.n[1] = unitOrZero(cross(sub(c, b), n));
        e.n[2] = unitOrZero(cross(sub(a, c), n));
        e.n[3] = unitOrZero(add(e.n[0], e.n[1]));
        e.n[4] = unitOrZero(add(e.n[1], e.n[2]));
        e.n[5] = unitOrZero(add(e.n[2], e.n[0]));
    }
}
