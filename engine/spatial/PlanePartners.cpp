#include "spatial/PlanePartners.h"

#include <algorithm>
#include <cmath>

namespace kvx_spatial {

namespace {

// Tight polygons have normals within this distance of the negated normal of
// any plane they may join; the range search looks this far on each axis.
const double kBand = 0.125;
const float kBandReach = float(kBand * 1.0001 + 1e-6);
// Upper bound on w / h for a tight polygon; asin(x) <= kAsinSlope * x below it.
const double kMaxTilt = 0.1;
const double kAsinSlope = 1.1;

// Float rounding: one unit in the last place relative to a value, and the
// bound on calcNormal's length error.
const double kUlp = 1.0 / 16777216.0;
const double kUnitError = 1e-6;
const double kSqrt3 = 1.7320509;
// Rounding of a plane test per unit of corner offset, with room to spare:
// the difference (kUlp per component, summed over a unit normal) and the
// double products.
const double kPlaneTestRounding = 2.0 * kUlp * kSqrt3;
// Corners count as near within this many cube extents around the leaf, or
// farther while the rounding of a plane test over the region stays below
// this share of the tolerance.
const double kRegionReach = 1.0;
const double kRoundingShare = 0.25;

// Tight polygons whose normal error reaches at most this share of the leaf
// extent over their distance from the leaf centre are searched by offset.
const double kPlanarShare = 0.02;

// Tight polygons are binned by normal x in cells of this width.
const double kCellWidth = kBand;

int cellOf(float nx) { return int(std::floor((double(nx) + 1.0) / kCellWidth)); }

bool finite(const Vertex3D& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

float axis(const Vertex3D& v, int a) { return a == 0 ? v.x : (a == 1 ? v.y : v.z); }

}  // namespace

bool PlanePartners::inRegion(const Vertex3D& v) const {
    for (int a = 0; a < 3; ++a)
        if (!(axis(v, a) >= lo_[a] && axis(v, a) <= hi_[a])) return false;
    return true;
}

void PlaneCandidate::measure() {
    double e[3][3];
    const int from[3] = {0, 0, 1}, to[3] = {1, 2, 2};
    longest = 0.0;
    for (int k = 0; k < 3; ++k) {
        for (int a = 0; a < 3; ++a) e[k][a] = double(axis(corner[to[k]], a)) - axis(corner[from[k]], a);
        longest = std::max(longest, std::sqrt(e[k][0] * e[k][0] + e[k][1] * e[k][1] + e[k][2] * e[k][2]));
    }
    const double cx = e[0][1] * e[1][2] - e[0][2] * e[1][1], cy = e[0][2] * e[1][0] - e[0][0] * e[1][2],
                 cz = e[0][0] * e[1][1] - e[0][1] * e[1][0];
    const double twiceArea = std::sqrt(cx * cx + cy * cy + cz * cz);
    altitude = longest > 0.0 && twiceArea > 0.0 ? twiceArea / longest * (1.0 - 1e-9) : 0.0;
}

// For a polygon with its corners inside the region (so that each distance a
// plane test rounds is at most the region's extent), a bound on the
// distance of its normal from the negation of every plane normal it can
// join; infinity when there is none below kBand.
double PlanePartners::tiltBound(const PlaneCandidate& c, double slab) const {
    if (!finite(c.normal)) return HUGE_VAL;
    for (const Vertex3D& v : c.corner)
        if (!inRegion(v)) return HUGE_VAL;
    if (!(c.altitude > 0.0)) return HUGE_VAL;
    const double tilt = slab / c.altitude;
    if (!(tilt <= kMaxTilt)) return HUGE_VAL;
    // calcNormal rounds the two edges and their cross product in float.
    const double normalError = 16.0 * kUlp * c.longest / c.altitude + 2.0 * kUnitError;
    const double bound = kAsinSlope * tilt + normalError;
    return bound <= kBand ? bound : HUGE_VAL;
}

void PlanePartners::shrinkRegion(const PlaneCandidate* const* polys, int n) {
    float low[3] = {HUGE_VALF, HUGE_VALF, HUGE_VALF}, high[3] = {-HUGE_VALF, -HUGE_VALF, -HUGE_VALF};
    bool any = false;
    for (int i = 0; i < n; ++i)
        for (const Vertex3D& v : polys[i]->corner) {
            if (!finite(v) || !inRegion(v)) continue;
            any = true;
            for (int a = 0; a < 3; ++a) {
                low[a] = std::min(low[a], axis(v, a));
                high[a] = std::max(high[a], axis(v, a));
            }
        }
    if (!any) return;
    for (int a = 0; a < 3; ++a) {
        lo_[a] = low[a];
        hi_[a] = high[a];
    }
}

void PlanePartners::prepare(const PlaneCandidate* const* polys, int n, const float boxMin[3], const float boxMax[3],
                            float tolerance) {
    polys_ = polys;
    count_ = n;
    double extent = 0.0;
    for (int a = 0; a < 3; ++a) extent = std::max(extent, double(boxMax[a]) - double(boxMin[a]));
    const double roundingReach = kRoundingShare * tolerance / (kUlp * kSqrt3 * (1.0 + kUnitError)) * 0.5;
    const double reachOut = std::max((0.5 + kRegionReach) * extent, roundingReach);
    for (int a = 0; a < 3; ++a) {
        const double centre = (double(boxMin[a]) + double(boxMax[a])) * 0.5;
        lo_[a] = float(centre - reachOut);
        hi_[a] = float(centre + reachOut);
    }
    shrinkRegion(polys, n);
    // A plane test rounds the corner difference (relative error kUlp per
    // component, the difference at most the region's span), the dot product
    // and its float result; a polygon passing it lies within `slab` of the
    // plane through the unit normal.
    double span = 0.0;
    for (int a = 0; a < 3; ++a) span = std::max(span, double(hi_[a]) - double(lo_[a]));
    const double reach = double(tolerance) * (1.0 + 2.0 * kUlp) + kUlp * kSqrt3 * (1.0 + kUnitError) * span;
    const double slab = 2.0 * reach * 1.001 * (1.0 + kUnitError);
    tolerance_ = double(tolerance) * (1.0 + 4.0 * kUlp);
    const bool usable = std::isfinite(slab) && std::isfinite(extent);
    tight_.clear();
    planar_.clear();
    loose_.clear();
    scanAll_.assign(size_t(n), 0);
    // Offsets are measured from the leaf centre, or from the region's middle
    // where the leaf centre lies farther from the region than its size (a
    // stray vertex stretches the root and with it a leaf far past what it
    // holds). Any centre keeps the search a superset: a partner's offset
    // from the centre, against the negated offset of the plane, differs by
    // at most the tilt bound times the first corner's distance from the
    // centre, the plane test's reach, and double rounding; the window is the
    // widest such bound among the polygons keyed by offset.
    double size = 0.0, away = 0.0;
    for (int a = 0; a < 3; ++a) {
        centre_[a] = (double(boxMin[a]) + double(boxMax[a])) * 0.5;
        size = std::max(size, double(hi_[a]) - double(lo_[a]));
        away = std::max(away, std::max(double(lo_[a]) - centre_[a], centre_[a] - double(hi_[a])));
    }
    if (away > size)
        for (int a = 0; a < 3; ++a) centre_[a] = (double(lo_[a]) + double(hi_[a])) * 0.5;
    const double spread = kPlanarShare * extent;
    double widest = 0.0;  // the largest reach of a polygon keyed by offset
    for (int i = 0; i < n; ++i) {
        const PlaneCandidate& c = *polys[i];
        const Vertex3D& nv = c.normal;
        const bool flat = nv.x == 0.0f && nv.y == 0.0f && nv.z == 0.0f;
        scanAll_[size_t(i)] = !usable || flat || !finite(nv) || !inRegion(c.corner[0]);
        const double bound = usable ? tiltBound(c, slab) : HUGE_VAL;
        if (!(bound <= kBand)) {
            loose_.push_back(Loose{i, c.material, finite(c.corner[0]), c.corner[0]});
            continue;
        }
        const double dx = c.corner[0].x - centre_[0], dy = c.corner[0].y - centre_[1], dz = c.corner[0].z - centre_[2];
        const double reach = bound * std::sqrt(dx * dx + dy * dy + dz * dz) * (1.0 + 1e-6);
        if (reach <= spread) {
            widest = std::max(widest, reach);
            planar_.entries.push_back(
                Tight{c.material, cellOf(nv.x), nv.x * dx + nv.y * dy + nv.z * dz, i, nv, c.corner[0]});
        } else {
            tight_.entries.push_back(Tight{c.material, cellOf(nv.x), nv.y, i, nv, c.corner[0]});
        }
    }
    window_ = widest + tolerance_ + kPlaneTestRounding * span + 1e-9 * span;
    materials_.clear();
    for (const Sorted* list : {&tight_, &planar_})
        for (const Tight& t : list->entries) materials_.push_back(t.material);
    std::sort(materials_.begin(), materials_.end());
    materials_.erase(std::unique(materials_.begin(), materials_.end()), materials_.end());
    tight_.index(materials_);
    planar_.index(materials_);
}

void PlanePartners::Sorted::index(const std::vector<int>& materials) {
    int maxCell = 0;
    minCell = 0;
    for (size_t k = 0; k < entries.size(); ++k) {
        minCell = k == 0 ? entries[k].cell : std::min(minCell, entries[k].cell);
        maxCell = k == 0 ? entries[k].cell : std::max(maxCell, entries[k].cell);
    }
    cells = maxCell - minCell + 1;
    // Entries go to their (material, cell) group by counting, then each group
    // is sorted by key: the order of Tight::operator< at a fraction of a full sort.
    auto groupOf = [&](const Tight& t) {
        const size_t slot =
            size_t(std::lower_bound(materials.begin(), materials.end(), t.material) - materials.begin());
        return slot * size_t(cells) + size_t(t.cell - minCell);
    };
    start.assign(materials.size() * size_t(cells) + 1, 0);
    for (const Tight& t : entries) ++start[groupOf(t) + 1];
    for (size_t g = 1; g < start.size(); ++g) start[g] += start[g - 1];
    grouped.resize(entries.size());
    cursor.assign(start.begin(), start.end() - 1);
    for (const Tight& t : entries) grouped[size_t(cursor[groupOf(t)]++)] = t;
    entries.swap(grouped);
    for (size_t g = 0; g + 1 < start.size(); ++g)
        if (start[g + 1] - start[g] > 1) std::sort(entries.begin() + start[g], entries.begin() + start[g + 1]);
}

// Appends the entries of list after i in the cells of want.x and the key
// range whose normals lie within the band of want and that pass near; slot
// is the material's in materials_.
template <class Near>
void PlanePartners::search(const Sorted& list, int slot, int i, const Vertex3D& want, double from, double to, Near near,
                           std::vector<int>& out) const {
    const int first = std::max(cellOf(want.x - kBandReach), list.minCell);
    const int last = std::min(cellOf(want.x + kBandReach), list.minCell + list.cells - 1);
    for (int cell = first; cell <= last; ++cell) {
        const size_t group = size_t(slot) * size_t(list.cells) + size_t(cell - list.minCell);
        const auto begin = list.entries.begin() + list.start[group], end = list.entries.begin() + list.start[group + 1];
        auto it = std::lower_bound(begin, end, from, [](const Tight& t, double key) { return t.key < key; });
        for (; it != end && it->key <= to; ++it) {
            if (it->index > i && std::fabs(it->normal.x - want.x) <= kBandReach &&
                std::fabs(it->normal.y - want.y) <= kBandReach && std::fabs(it->normal.z - want.z) <= kBandReach &&
                near(it->first))
                out.push_back(it->index);
        }
    }
}

void PlanePartners::candidates(int i, std::vector<int>& out) const {
    out.clear();
    if (scanAll_[size_t(i)]) {
        for (int j = i + 1; j < count_; ++j) out.push_back(j);
        return;
    }
    const PlaneCandidate& c = *polys_[i];
    // The first corner of a partner passes the plane test, so its distance
    // from the plane is below the tolerance plus the test's rounding, which
    // grows with the corner's offset; in double that distance is exact but
    // for a rounding far below the slack.
    const double nx = c.normal.x, ny = c.normal.y, nz = c.normal.z;
    const double ox = c.corner[0].x, oy = c.corner[0].y, oz = c.corner[0].z;
    auto near = [&](const Vertex3D& q) {
        const double dx = q.x - ox, dy = q.y - oy, dz = q.z - oz;
        const double offset = std::max(std::fabs(dx), std::max(std::fabs(dy), std::fabs(dz)));
        return std::fabs(nx * dx + ny * dy + nz * dz) <= tolerance_ + kPlaneTestRounding * offset;
    };
    auto after = std::upper_bound(loose_.begin(), loose_.end(), i, [](int k, const Loose& l) { return k < l.index; });
    for (auto it = after; it != loose_.end(); ++it)
        if (it->material == c.material && (!it->finite || near(it->first))) out.push_back(it->index);
    const auto material = std::lower_bound(materials_.begin(), materials_.end(), c.material);
    if (material == materials_.end() || *material != c.material) return;
    const int slot = int(material - materials_.begin());
    const Vertex3D want{-c.normal.x, -c.normal.y, -c.normal.z};
    const size_t looseFound = out.size();
    search(tight_, slot, i, want, double(want.y) - kBandReach, double(want.y) + kBandReach, near, out);
    const double offset = -(nx * (ox - centre_[0]) + ny * (oy - centre_[1]) + nz * (oz - centre_[2]));
    search(planar_, slot, i, want, offset - window_, offset + window_, near, out);
    if (out.size() > looseFound) std::sort(out.begin(), out.end());
}

}  // namespace kvx_spatial
