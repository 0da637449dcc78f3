#include "spatial/SlabIndex.h"

#include <algorithm>
#include <cmath>

namespace kvx_spatial {

namespace {

const int kLeafTriangles = 8;
const int kMortonBits = 10;

float coordinate(const Vertex3D& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

// Interleaves the low kMortonBits bits of x, y and z.
uint32_t morton(const uint32_t q[3]) {
    uint32_t code = 0;
    for (int b = 0; b < kMortonBits; ++b)
        for (int a = 0; a < 3; ++a) code |= ((q[a] >> b) & 1u) << (3 * b + a);
    return code;
}

}  // namespace

void SlabIndex::Bounds::set(const Vertex3D& v) {
    for (int a = 0; a < 3; ++a) lo[a] = hi[a] = coordinate(v, a);
}

void SlabIndex::Bounds::grow(const Vertex3D& v) {
    for (int a = 0; a < 3; ++a) {
        lo[a] = std::min(lo[a], coordinate(v, a));
        hi[a] = std::max(hi[a], coordinate(v, a));
    }
}

// Triangles are sorted by group, then along a Morton curve of their first
// corners, so boxes hold one group where they can.
void SlabIndex::build(const Vertex3D* corners, const Vertex3D* directions, const int* groups, int count) {
    corners_ = corners;
    directions_ = directions;
    groups_ = groups;
    order_.resize(size_t(count));
    boxes_.clear();
    if (count == 0) return;
    Bounds all;
    all.set(corners[0]);
    for (int i = 1; i < count; ++i) all.grow(corners[kCorners * i]);
    std::vector<std::pair<std::pair<int, uint32_t>, int>> keyed(static_cast<size_t>(count));
    const double cells = double((1 << kMortonBits) - 1);
    for (int i = 0; i < count; ++i) {
        uint32_t q[3];
        for (int a = 0; a < 3; ++a) {
            const double extent = double(all.hi[a]) - all.lo[a];
            const double at = double(coordinate(corners[kCorners * i], a)) - all.lo[a];
            q[a] = extent > 0.0 ? uint32_t(at / extent * cells) : 0u;
        }
        keyed[size_t(i)] = {{groups[i], morton(q)}, i};
    }
    std::sort(keyed.begin(), keyed.end());
    for (int i = 0; i < count; ++i) order_[size_t(i)] = keyed[size_t(i)].second;
    int leaves = (count + kLeafTriangles - 1) / kLeafTriangles, size = 1;
    while (size < leaves) size *= 2;
    boxes_.resize(size_t(2 * size));
    buildNode(0, 0, count);
}

void SlabIndex::buildNode(int node, int begin, int end) {
    Box& box = boxes_[size_t(node)];
    for (int i = begin; i < end; ++i) {
        const int t = order_[size_t(i)];
        for (int k = 0; k < kCorners; ++k) {
            if (i == begin)
                box.corner[k].set(corners_[kCorners * t + k]);
            else
                box.corner[k].grow(corners_[kCorners * t + k]);
        }
        if (i == begin)
            box.direction.set(directions_[t]);
        else
            box.direction.grow(directions_[t]);
        box.groupLo = i == begin ? groups_[t] : std::min(box.groupLo, groups_[t]);
        box.groupHi = i == begin ? groups_[t] : std::max(box.groupHi, groups_[t]);
    }
    if (end - begin <= kLeafTriangles) return;
    const int middle = begin + (end - begin) / 2;
    buildNode(2 * node + 1, begin, middle);
    buildNode(2 * node + 2, middle, end);
}

void SlabIndex::near(int group, const Vertex3D& origin, const Vertex3D& normal, double distance, double relative,
                     double limit, std::vector<int>& out) const {
    if (order_.empty()) return;
    const Query q{group, {origin.x, origin.y, origin.z}, {normal.x, normal.y, normal.z}, distance, relative, limit};
    visit(0, 0, int(order_.size()), q, out);
}

// True when the box's nearest point to the plane lies farther than the
// distance allowed for its farthest point: |n . (centre - origin)| -
// sum |n_a| * half extent_a against distance + relative * sum |n_a| * reach_a.
bool SlabIndex::beyond(const Bounds& b, const Query& q) {
    double centre = 0.0, half = 0.0, far = 0.0;
    for (int a = 0; a < 3; ++a) {
        const double lo = double(b.lo[a]) - q.origin[a], hi = double(b.hi[a]) - q.origin[a], n = q.normal[a];
        centre += n * (lo + hi) * 0.5;
        half += std::fabs(n) * (hi - lo) * 0.5;
        far += std::fabs(n) * std::max(std::fabs(lo), std::fabs(hi));
    }
    return std::fabs(centre) - half > q.distance + q.relative * far;
}

// A box is left out when it holds no triangle of the group, when one of its
// corner boxes lies beyond the plane's slab, or when the smallest dot
// product of n with any direction of its direction box is not below the limit.
void SlabIndex::visit(int node, int begin, int end, const Query& q, std::vector<int>& out) const {
    const Box& box = boxes_[size_t(node)];
    if (q.group < box.groupLo || q.group > box.groupHi) return;
    double facing = 0.0;
    for (int a = 0; a < 3; ++a)
        facing += std::min(q.normal[a] * box.direction.lo[a], q.normal[a] * box.direction.hi[a]);
    if (facing > q.limit) return;
    for (const Bounds& b : box.corner)
        if (beyond(b, q)) return;
    if (end - begin <= kLeafTriangles) {
        for (int i = begin; i < end; ++i)
            if (groups_[order_[size_t(i)]] == q.group) out.push_back(order_[size_t(i)]);
        return;
    }
    const int middle = begin + (end - begin) / 2;
    visit(2 * node + 1, begin, middle, q, out);
    visit(2 * node + 2, middle, end, q, out);
}

}  // namespace kvx_spatial
