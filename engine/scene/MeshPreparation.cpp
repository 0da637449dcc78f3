// Mesh preparation: smoothing splits, centring, normals, radius, material
// runs and edge normals. Faces with a corner past the vertex arrays are
// ignored here (they use no vertex) and never index an array.

#include <algorithm>
#include <cmath>
#include <cstring>
#ifdef __SSE2__
#include <immintrin.h>
#endif
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

// Appends the distinct smoothing values of the faces listed to out, in order
// of first appearance; returns how many it appended.
size_t appendDistinctGroups(const int* first, const int* last, const int32_t* groups, std::vector<int32_t>& out) {
    const size_t start = out.size();
    for (const int* f = first; f != last; ++f) {
        int32_t g = groups[*f];
        if (std::find(out.begin() + long(start), out.end(), g) == out.end()) out.push_back(g);
    }
    return out.size() - start;
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

    // The distinct groups of every vertex's faces, one run per vertex.
    std::vector<int32_t> groups;
    std::vector<size_t> groupsOf(size_t(oldCount) + 1, 0);
    long long added = 0;
    for (int v = 0; v < oldCount; ++v) {
        groupsOf[size_t(v)] = groups.size();
        if (users.count(v) > kMaxFacesPerVertex) return;
        if (users.count(v) == 0) continue;
        added +=
            static_cast<long long>(appendDistinctGroups(users.begin(v), users.end(v), smoothingGroups, groups)) - 1;
    }
    groupsOf[size_t(oldCount)] = groups.size();
    if (added == 0) return;

    // New vertices must stay addressable by 16-bit face indices.
    long long target = std::min<long long>(oldCount + added, kMaxVertices);
    if (target <= oldCount) return;
    expandObject(int(target), faceCount);

    int next = oldCount;
    for (int v = 0; v < oldCount; ++v) {
        for (size_t g = groupsOf[size_t(v)] + 1; g < groupsOf[size_t(v) + 1]; ++g) {
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

namespace {

// divideByLength of every entry, four at a time in float lanes where the
// processor has them: the same operations, so the same floats.
void divideEachByLength(Vertex3D* v, int n) {
    int i = 0;
#ifdef __SSE2__
    const __m128 smallest = _mm_set1_ps(kSmallestNormal);
    for (; i + 3 < n; i += 4) {
        __m128 x = _mm_set_ps(v[i + 3].x, v[i + 2].x, v[i + 1].x, v[i].x);
        __m128 y = _mm_set_ps(v[i + 3].y, v[i + 2].y, v[i + 1].y, v[i].y);
        __m128 z = _mm_set_ps(v[i + 3].z, v[i + 2].z, v[i + 1].z, v[i].z);
        __m128 len = _mm_sqrt_ps(_mm_add_ps(_mm_add_ps(_mm_mul_ps(x, x), _mm_mul_ps(y, y)), _mm_mul_ps(z, z)));
        __m128 zero = _mm_cmpeq_ps(len, _mm_setzero_ps());
        len = _mm_or_ps(_mm_and_ps(zero, smallest), _mm_andnot_ps(zero, len));
        float qx[4], qy[4], qz[4];
        _mm_storeu_ps(qx, _mm_div_ps(x, len));
        _mm_storeu_ps(qy, _mm_div_ps(y, len));
        _mm_storeu_ps(qz, _mm_div_ps(z, len));
        for (int k = 0; k < 4; ++k) v[i + k] = Vertex3D{qx[k], qy[k], qz[k]};
    }
#endif
    for (; i < n; ++i) v[i] = divideByLength(v[i]);
}

}  // namespace

// Every face adds its unit normal to each of its distinct corners, faces in
// order, so every vertex sums its faces in face order.
void Mesh::calcNormals() {
    if (faces == nullptr || originalVertices == nullptr || originalNormals == nullptr) return;
    const Vertex3D zero{0.0f, 0.0f, 0.0f};
    std::vector<Vertex3D> faceNormals(size_t(faceCount > 0 ? faceCount : 0), zero);
    for (int f = 0; f < faceCount; ++f) {
        if (!MeshAdjacency::faceInRange(faces[f], vertexCount)) continue;
        const Vertex3D& a = originalVertices[faces[f].a];
        const Vertex3D& b = originalVertices[faces[f].b];
        const Vertex3D& c = originalVertices[faces[f].c];
        faceNormals[size_t(f)] = cross(sub(b, a), sub(c, a));
    }
    divideEachByLength(faceNormals.data(), faceCount);

    const size_t vertices = size_t(vertexCount > 0 ? vertexCount : 0);
    std::vector<Vertex3D> total(vertices, zero);
    std::vector<int> users(vertices, 0);
    for (int f = 0; f < faceCount; ++f) {
        if (!MeshAdjacency::faceInRange(faces[f], vertexCount)) continue;
        MeshAdjacency::forDistinctCorners(faces[f], [&](int v) {
            total[size_t(v)] = add(total[size_t(v)], faceNormals[size_t(f)]);
            ++users[size_t(v)];
        });
    }
    for (size_t v = 0; v < vertices; ++v) {
        float count = float(users[v] > 0 ? users[v] : 1);
        total[v] = Vertex3D{total[v].x / count, total[v].y / count, total[v].z / count};
    }
    divideEachByLength(total.data(), int(vertices));
    for (size_t v = 0; v < vertices; ++v)
        if (users[v] > 0) originalNormals[v] = total[v];
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
    kvx_mesh::visitFaceArrays([&](auto member, kvx_mesh::ArrayKind) { reorder(this->*member, order, scratch); });
}

namespace {

const int kEdgeBlock = 256;  // faces whose vectors are normalized in one batch

// unit() of every entry, several at a time in the processor's double lanes:
// the same operations in the same order in every lane, so the same floats.
#ifdef __SSE2__
// Two at a time.
int unitPairs(Vertex3D* v, int n) {
    int i = 0;
    for (; i + 1 < n; i += 2) {
        __m128d x = _mm_set_pd(v[i + 1].x, v[i].x);
        __m128d y = _mm_set_pd(v[i + 1].y, v[i].y);
        __m128d z = _mm_set_pd(v[i + 1].z, v[i].z);
        __m128d len = _mm_sqrt_pd(_mm_add_pd(_mm_add_pd(_mm_mul_pd(x, x), _mm_mul_pd(y, y)), _mm_mul_pd(z, z)));
        __m128d zero = _mm_cmpeq_pd(len, _mm_setzero_pd());
        double qx[2], qy[2], qz[2];
        _mm_storeu_pd(qx, _mm_andnot_pd(zero, _mm_div_pd(x, len)));
        _mm_storeu_pd(qy, _mm_andnot_pd(zero, _mm_div_pd(y, len)));
        _mm_storeu_pd(qz, _mm_andnot_pd(zero, _mm_div_pd(z, len)));
        for (int k = 0; k < 2; ++k) v[i + k] = Vertex3D{float(qx[k]), float(qy[k]), float(qz[k])};
    }
    return i;
}
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KVX_HAVE_AVX_LANES 1
// Four at a time, on processors with AVX (chosen at run time).
__attribute__((target("avx"))) int unitQuads(Vertex3D* v, int n) {
    int i = 0;
    for (; i + 3 < n; i += 4) {
        __m256d x = _mm256_set_pd(v[i + 3].x, v[i + 2].x, v[i + 1].x, v[i].x);
        __m256d y = _mm256_set_pd(v[i + 3].y, v[i + 2].y, v[i + 1].y, v[i].y);
        __m256d z = _mm256_set_pd(v[i + 3].z, v[i + 2].z, v[i + 1].z, v[i].z);
        __m256d len =
            _mm256_sqrt_pd(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(x, x), _mm256_mul_pd(y, y)), _mm256_mul_pd(z, z)));
        __m256d zero = _mm256_cmp_pd(len, _mm256_setzero_pd(), _CMP_EQ_OQ);
        double qx[4], qy[4], qz[4];
        _mm256_storeu_pd(qx, _mm256_andnot_pd(zero, _mm256_div_pd(x, len)));
        _mm256_storeu_pd(qy, _mm256_andnot_pd(zero, _mm256_div_pd(y, len)));
        _mm256_storeu_pd(qz, _mm256_andnot_pd(zero, _mm256_div_pd(z, len)));
        for (int k = 0; k < 4; ++k) v[i + k] = Vertex3D{float(qx[k]), float(qy[k]), float(qz[k])};
    }
    return i;
}
#endif

void unitEach(Vertex3D* v, int n) {
    int i = 0;
#ifdef KVX_HAVE_AVX_LANES
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) i = unitQuads(v, n);
#endif
#ifdef __SSE2__
    i += unitPairs(v + i, n - i);
#endif
    for (; i < n; ++i) v[i] = kvx_vector::unit(v[i]);
}

// A block of faces through the two stages of their edge normals, each
// normalized in one batch: edge normals, then corners.
class EdgeBlock {
public:
    // Corners a, b, c of face k; a face that is not drawn gets zero corners,
    // hence zero vectors throughout.
    void setFace(int k, const Vertex3D& a, const Vertex3D& b, const Vertex3D& c) {
        normal_[k] = calcNormal(&a, &b, &c);
        edge_[3 * k] = sub(b, a);
        edge_[3 * k + 1] = sub(c, b);
        edge_[3 * k + 2] = sub(a, c);
    }
    void compute(int count) {
        for (int k = 0; k < count; ++k)
            for (int j = 0; j < 3; ++j) edge_[3 * k + j] = cross(edge_[3 * k + j], normal_[k]);
        unitEach(edge_, 3 * count);
        for (int k = 0; k < count; ++k)
            for (int j = 0; j < 3; ++j) corner_[3 * k + j] = add(edge_[3 * k + j], edge_[3 * k + (j + 1) % 3]);
        unitEach(corner_, 3 * count);
    }
    void store(int k, EdgeNormal& e) const {
        for (int j = 0; j < 3; ++j) {
            e.n[j] = edge_[3 * k + j];
            e.n[3 + j] = corner_[3 * k + j];
        }
    }

private:
    Vertex3D normal_[kEdgeBlock];
    Vertex3D edge_[3 * kEdgeBlock];
    Vertex3D corner_[3 * kEdgeBlock];
};

}  // namespace

void Mesh::calcEdgeNormals() {
    if (faces == nullptr || edgeNormals == nullptr) return;
    std::vector<Vertex3D> placed(size_t(vertexCount > 0 ? vertexCount : 0));
    if (vertices != nullptr) placeVertices(placed.data());
    const Vertex3D zero{0.0f, 0.0f, 0.0f};
    EdgeBlock block;
    for (int first = 0; first < faceCount; first += kEdgeBlock) {
        const int count = std::min(kEdgeBlock, faceCount - first);
        for (int k = 0; k < count; ++k) {
            const int f = first + k;
            if (vertices != nullptr && MeshAdjacency::faceInRange(faces[f], vertexCount))
                block.setFace(k, placed[faces[f].a], placed[faces[f].b], placed[faces[f].c]);
            else
                block.setFace(k, zero, zero, zero);
        }
        block.compute(count);
        for (int k = 0; k < count; ++k) block.store(k, edgeNormals[first + k]);
    }
}
