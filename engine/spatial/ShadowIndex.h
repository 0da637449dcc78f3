#ifndef KVX_SPATIAL_SHADOWINDEX_H
#define KVX_SPATIAL_SHADOWINDEX_H

// The shadow test of the static lighting: does any face lie between a light
// and a vertex? The direct form tries every face; ShadowIndex answers the same
// question through a bounding volume hierarchy over the faces, pruning only
// faces that cannot pass the exact per-face test. Boxes are grown well past
// float rounding; the one case the growth cannot cover is a face whose plane
// holds both the light and the vertex to within rounding, where the direct
// test's answer is itself rounding noise.

#include <vector>

#include "core/Types.h"

class Mesh;
class Light;

// When false the lighting uses the direct every-face loop (for comparison).
extern bool kvxShadowIndexEnabled;

namespace kvx_spatial {

// Face f of m in lighting space (vertices + position); false for a face whose
// indices leave the vertex arrays.
bool lightingCorners(const Mesh* m, int face, Vertex3D c[3]);

// Lighting position of vertex v: vertices[v] + position.
Vertex3D lightingPoint(const Vertex3D& vertex, const Vertex3D& offset);

// The exact blocking rule for one face between light and target, where
// distance is kvxDistance(light, target).
bool faceBlocks(Vertex3D light, Vertex3D target, float distance, Vertex3D c[3]);

// True when no face of the meshes blocks the way (the direct loop).
bool directlyLit(Mesh* const* meshes, int meshCount, Vertex3D light, Vertex3D target);

class ShadowIndex {
public:
    void clear();
    void addMeshes(Mesh* const* meshes, int meshCount);  // in the order the direct loop visits them
    void build();
    bool isLit(Vertex3D light, Vertex3D target) const;
    int faceCount() const { return int(faces.size()); }

private:
    struct Face {
        Vertex3D corner[3];
        float centroid[3];
    };
    struct Node {
        float lo[3], hi[3];    // bounds of the faces
        float clo[3], chi[3];  // bounds of their centroids
        int a;                 // leaf: first face; inner node: left child
        int b;                 // leaf: face count; inner node: right child
        bool leaf;
    };

    int buildNode(int first, int count);
    struct Query;
    bool reaches(const Node& n, const Query& q, double* entry) const;
    // Non-finite geometry cannot be pruned safely: every face is tried.
    bool directlyLitFaces(Vertex3D light, Vertex3D target, float distance) const;

    std::vector<Face> faces;
    std::vector<Node> nodes;
    float extent = 0.0f;
};

}  // namespace kvx_spatial

#endif
