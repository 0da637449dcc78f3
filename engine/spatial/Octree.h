#ifndef KVX_SPATIAL_OCTREE_H
#define KVX_SPATIAL_OCTREE_H

// Static octree over the triangles of a group's meshes. Leaves hold polygon
// references and the collision planes built from them; queries hand out
// leaves into caller-owned arrays and never allocate.

#include <cstdint>

#include "core/Types.h"
#include "spatial/OTPolyData.h"

class Mesh;
struct OctreeBuild;

// True (the default): the tree and its planes are built through faster paths
// that give the same nodes, face lists and planes as the plain every-pair
// build, which false selects. The faster paths split large trees and build
// their planes on two threads, joined before split and makePlanes return.
extern bool kvxOctreeFastBuild;

// Called with the index (0 ... 7) of each root child whose subtree is done.
typedef void (*kvxOctreeProgress)(int);

// A node of the octree: a cube, its children once split, and the polygons and collision planes of a leaf.
class octreeNode {
public:
    static const int kChildCount = 8;
    static const int kNearestSamples = 27;  // 3 x 3 x 3 points of traverseNearest

    OTPolyList polygons;  // non-empty only in leaves once the tree is split
    float radiusSquared;  // squared radius of the sphere through the cube's corners
    bool isSplit;
    int32_t depth;
    float boxMin[3];
    float boxMax[3];
    octreeNode* children[kChildCount];  // bit 0 of the index: upper x, bit 1: y, bit 2: z
    Plane* planes;                      // owned list, leaves only
    int32_t maxDepth;                   // limit of the last successful split

    // An empty leaf.
    octreeNode();
    // Deletes the children and the planes.
    ~octreeNode();
    octreeNode(const octreeNode&) = delete;
    octreeNode& operator=(const octreeNode&) = delete;

    // Construction.
    // Adds a polygon reference (growing the box to hold it with updateBounds); returns 0, or an error code
    // when the list cannot grow.
    int insert(OTPolyData* poly, bool updateBounds);
    // Adds face of mesh; returns 0, or an error code when the list cannot grow.
    int insert(Mesh* mesh, int face, bool updateBounds);
    // Makes the box a cube around what it holds.
    void adjustSize();
    // Splits leaves holding more than maxPolygons down to maxDepth levels; returns 0, or an error code.
    int split(int maxPolygons, int maxDepth, kvxOctreeProgress progress);

    // Queries, called on the root. Result arrays are filled from index 0.
    // Returns the leaf that holds p, or null outside the tree.
    octreeNode* traverse(Vertex3D* p);
    // Writes into out the leaves the segment from to to passes through; returns their number.
    int traverseRay(Vertex3D* from, Vertex3D* to, octreeNode** out, int capacity);
    // Writes into out the leaves the sphere touches; returns their number.
    int traverseSphere(Vertex3D* centre, float radius, octreeNode** out, int capacity);
    // Writes into out the leaves around p within distance; returns their number.
    int traverseNearest(Vertex3D* p, float distance, octreeNode** out, int capacity);
    // The ray traversal of the first engine version; returns the number of leaves.
    int traverseRayOLD(Vertex3D* from, Vertex3D* to, octreeNode** out, int capacity);

    // Collision planes of the whole subtree, numbered in pre-order.
    // Builds the collision planes of every leaf, merging faces within tolerance.
    void makePlanes(float tolerance);
    // Deletes every leaf's planes; returns 0.
    int destroyPlanes();

    // Appends text to "octree.log" in the working directory.
    void logWrite(const char* text);

private:
    friend struct octreeNodeAccess;  // white-box access for the engine's tests

    void calcRadius();
    int setBounds(int axis, float low, float high);
    int checkBounds(Vertex3D* p);
    bool pointInside(Vertex3D* p);
    bool polyInside(Vertex3D* corners);
    bool segmentInside(const Vertex3D& from, const Vertex3D& to);
    void createChildren();
    void deleteChildren();
    int splitWithin(int maxPolygons, int maxDepth, kvxOctreeProgress progress, int64_t& budget);
    void distributePolygons();
    void splitFast(OctreeBuild& build, const int* ids, int count, int maxPolygons, int maxDepth,
                   kvxOctreeProgress progress, int64_t& budget);
    bool splitChildrenTwoWays(OctreeBuild& build, int maxPolygons, int maxDepth, int64_t& budget);
    void distributeFast(OctreeBuild& build, const int* ids, int count);
    void keepPolygons(const OctreeBuild& build, const int* ids, int count);
    void cornersOf(const OTPolyData& poly, Vertex3D corners[3]) const;

    void rayRecursion(Vertex3D* from, Vertex3D* to, octreeNode** out, int capacity);
    void sphereRecursion(Vertex3D* centre, float radius, int& count, octreeNode** out, int capacity);

    void constructPlanes(float tolerance);
    int createPlanes(float tolerance);
    void unifyPlanes();
    void combinePlanes(octreeNode* other, float tolerance);
    void subCombinePlanes(octreeNode* other, float tolerance);
};

// The argument of largest magnitude; on equal magnitudes the earlier wins.
float maximum(float a, float b, float c);

#endif
