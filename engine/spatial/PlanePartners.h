#ifndef KVX_SPATIAL_PLANEPARTNERS_H
#define KVX_SPATIAL_PLANEPARTNERS_H

// Finds, among one leaf's polygons, those that may join a polygon's
// collision plane: of its material, facing away from its normal, with every
// corner within the tolerance of its plane. The answer is a superset that the
// caller narrows with the exact test; it lists every polygon that passes it.
//
// A triangle of least altitude h whose corners lie in a slab of thickness w
// is tilted against the slab by at most asin(w / h); facing away, its normal
// is then near the negated plane normal. Such "tight" polygons are sorted by
// material, a cell of normal x and normal y (or, where the normal is known
// closely enough, the plane's offset from the leaf centre), and found by
// range searches; the others ("loose":
// slivers, corners far outside the leaf, values that are not finite) are
// always listed.

#include <vector>

#include "core/Types.h"

namespace kvx_spatial {

// One polygon of a leaf as the plane grouping sees it.
struct PlaneCandidate {
    Vertex3D corner[3];  // placed by the mesh's static transform
    Vertex3D normal;     // calcNormal of the corners
    int material;
    double longest;   // longest edge, by measure
    double altitude;  // least altitude, slightly low; 0 for no area

    // Sets longest and altitude from the corners.
    void measure();
};

class PlanePartners {
public:
    // Prepares the search over a leaf's n polygons; the leaf's cube bounds
    // where corners count as near.
    void prepare(const PlaneCandidate* const* polys, int n, const float boxMin[3], const float boxMax[3],
                 float tolerance);

    // Replaces out with the polygons after i, in ascending order, that may join i's plane.
    void candidates(int i, std::vector<int>& out) const;

private:
    // A polygon's sort key with what the range search reads, kept in line.
    struct Tight {
        int material;
        int cell;    // of the normal's x
        double key;  // normal y, or the plane's offset from the leaf centre
        int index;
        Vertex3D normal;
        Vertex3D first;  // first corner
        bool operator<(const Tight& o) const {
            if (material != o.material) return material < o.material;
            if (cell != o.cell) return cell < o.cell;
            return key != o.key ? key < o.key : index < o.index;
        }
    };
    // Tight polygons sorted, with where each (material, cell) group starts.
    struct Sorted {
        std::vector<Tight> entries;
        std::vector<int> start;  // group (material slot * cells + cell - minCell); one past the last at the end
        int minCell = 0, cells = 0;
        std::vector<Tight> grouped;  // scratch of index
        std::vector<int> cursor;     // scratch of index

        void clear() { entries.clear(); }
        void index(const std::vector<int>& materials);
    };
    bool inRegion(const Vertex3D& v) const;
    // Narrows the region to the box of the finite corners inside it: only
    // polygons with every corner inside are searched by normal or offset.
    void shrinkRegion(const PlaneCandidate* const* polys, int n);
    double tiltBound(const PlaneCandidate& c, double slab) const;
    template <class Near>
    void search(const Sorted& list, int slot, int i, const Vertex3D& want, double from, double to, Near near,
                std::vector<int>& out) const;

    const PlaneCandidate* const* polys_ = nullptr;
    int count_ = 0;
    float lo_[3] = {0, 0, 0}, hi_[3] = {0, 0, 0};
    double tolerance_ = 0.0;      // the plane test's, widened by its rounding
    Sorted tight_;                // keyed by normal y
    Sorted planar_;               // keyed by offset: whose offset is near the plane's
    std::vector<int> materials_;  // of tight_ and planar_, ascending
    double centre_[3] = {0, 0, 0};
    double window_ = 0.0;  // bound on |offset + plane's offset| for a partner in planar_
    struct Loose {
        int index;
        int material;
        bool finite;     // of first
        Vertex3D first;  // first corner
    };
    std::vector<Loose> loose_;   // ascending
    std::vector<char> scanAll_;  // queries that list every later polygon
};

}  // namespace kvx_spatial

#endif
