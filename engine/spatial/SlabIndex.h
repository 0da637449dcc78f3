#ifndef KVX_SPATIAL_SLABINDEX_H
#define KVX_SPATIAL_SLABINDEX_H

// A bounding-box hierarchy over triangles, each with a direction and a group
// number, that lists the triangles of one group whose three corners may all
// lie within a distance of a plane while their direction may face away from
// the plane's normal (dot product below a limit). The answer is a superset:
// every such triangle is listed, and some others may be.

#include <cstdint>
#include <vector>

#include "core/Types.h"

namespace kvx_spatial {

class SlabIndex {
public:
    static const int kCorners = 3;

    // corners holds kCorners points per triangle; corners and directions
    // must be finite. Nothing is copied.
    void build(const Vertex3D* corners, const Vertex3D* directions, const int* groups, int count);

    // Appends to out, in no particular order, the numbers of the triangles
    // whose corners p may all lie within distance + relative * sum_a
    // |normal_a (p_a - origin_a)| of the plane through origin with the given
    // normal and whose directions may have a dot product with it below limit.
    void near(int group, const Vertex3D& origin, const Vertex3D& normal, double distance, double relative, double limit,
              std::vector<int>& out) const;

private:
    struct Bounds {
        float lo[3], hi[3];
        void set(const Vertex3D& v);
        void grow(const Vertex3D& v);
    };
    struct Box {
        Bounds corner[kCorners];  // of each corner of the triangles
        Bounds direction;
        int groupLo, groupHi;
    };
    struct Query {
        int group;
        double origin[3], normal[3], distance, relative, limit;
    };
    void buildNode(int node, int begin, int end);
    void visit(int node, int begin, int end, const Query& q, std::vector<int>& out) const;
    static bool beyond(const Bounds& b, const Query& q);

    const Vertex3D* corners_ = nullptr;
    const Vertex3D* directions_ = nullptr;
    const int* groups_ = nullptr;
    std::vector<int> order_;  // triangle numbers, spatially sorted
    std::vector<Box> boxes_;  // implicit binary tree over ranges of order_
};

}  // namespace kvx_spatial

#endif
