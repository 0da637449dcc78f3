#include "spatial/Octree.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <system_error>
#include <thread>
#include <vector>

#include "core/Math.h"
#include "core/VectorOps.h"
#include "platform/FileSystem.h"
#include "scene/Mesh.h"
#include "spatial/CubeOverlap.h"
#include "spatial/SpatialMessages.h"

namespace {

const float kLargestFloat = 3.4028235e38f;
const float kSmallestNormalFloat = 1.1754944e-38f;
const char* const kLogFileName = "octree.log";

// Faces that overlap most children are copied into each of them, so hostile
// geometry could fill 8^6 leaves. The references a tree may hold are capped
// well above what real scenes need (2 to 14 per face); a node whose division
// would pass the cap stays a leaf, which keeps every query correct.
const int64_t kReferencesPerPolygon = 64;
const int64_t kMinReferenceBudget = 1 << 16;

// Splits of more references than this run their children on two threads.
const int64_t kThreadedReferences = 4096;

const float kHalf = 0.5f;
const int kBoundAttempts = 6;

// The fast split's slots (axis, half, scale of the x half) and the children
// each slot describes.
const int kSlots = 12;

unsigned childrenOfSlot(int k) {
    const int a = k / 4, h = (k / 2) & 1, sx = k & 1;
    unsigned mask = 0;
    for (int c = 0; c < 8; ++c)
        if (((c >> a) & 1) == h && (c & 1) == sx) mask |= 1u << c;
    return mask;
}

const unsigned kSlotChildren[kSlots] = {childrenOfSlot(0), childrenOfSlot(1), childrenOfSlot(2),  childrenOfSlot(3),
                                        childrenOfSlot(4), childrenOfSlot(5), childrenOfSlot(6),  childrenOfSlot(7),
                                        childrenOfSlot(8), childrenOfSlot(9), childrenOfSlot(10), childrenOfSlot(11)};

// For one slot's mapping f(v) = (v - centre) * scale, world coordinates from
// which on f surely passes each bound of the overlap test (f is monotone, so
// checking f at the coordinate itself proves it for everything beyond).
struct SlotBounds {
    float upperBeyond;  // f(v) > 0.5 for every v >= this
    float lowerBeyond;  // f(v) < -0.5 for every v <= this
    float insideFrom;   // f(v) >= -kSurelyInside for every v >= this
    float insideTo;     // f(v) <= kSurelyInside for every v <= this

    void set(float centre, float scale) {
        auto f = [=](float v) { return (v - centre) * scale; };
        upperBeyond = sure(centre, scale, kHalf, true, [&](float v) { return f(v) > kHalf; });
        lowerBeyond = sure(centre, scale, -kHalf, false, [&](float v) { return f(v) < -kHalf; });
        insideFrom = sure(centre, scale, -kvx_spatial::kSurelyInside, true,
                          [&](float v) { return f(v) >= -kvx_spatial::kSurelyInside; });
        insideTo = sure(centre, scale, kvx_spatial::kSurelyInside, false,
                        [&](float v) { return f(v) <= kvx_spatial::kSurelyInside; });
    }

    // A coordinate just past where f reaches edge (upwards when up) at which
    // holds(v) is true; infinity (never reached by a finite corner) if none is found.
    template <class Test>
    static float sure(float centre, float scale, float edge, bool up, Test holds) {
        const double at = double(centre) + double(edge) / double(scale);
        double slack = 1e-6 * (std::fabs(double(centre)) + std::fabs(double(edge) / double(scale))) + 1e-30;
        for (int attempt = 0; attempt < kBoundAttempts; ++attempt, slack *= 16.0) {
            const float v = float(up ? at + slack : at - slack);
            if (std::isfinite(v) && holds(v)) return v;
        }
        return up ? HUGE_VALF : -HUGE_VALF;
    }
};

// The x axis has only the slots whose half and scale agree.
const int kUsedSlots[10] = {0, 3, 4, 5, 6, 7, 8, 9, 10, 11};

bool finite(const Vertex3D& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

float axisOf(const Vertex3D& v, int a) { return a == 0 ? v.x : (a == 1 ? v.y : v.z); }

// False when no t in [-0.5, 0.5] puts t * d, with d the signs of n, inside
// the triangle's bounds on both axes other than the dominant one: the point
// where the triangle's plane crosses the cube diagonal then lies outside the
// triangle (a point-in-triangle test counts no crossing for a point beyond
// the corners on either projection axis). lo and hi hold the world bounds,
// mapped here as child c's cube maps them (centre by the child's bit on each
// axis, scale by its x bit).
bool diagonalMayMeet(const Vertex3D& n, int dominant, const float* lo, const float* hi, const float centre[3][2],
                     const float scale[2], int c) {
    float from = -kHalf, to = kHalf;
    for (int a = 0; a < 3; ++a) {
        if (a == dominant) continue;
        const float m = centre[a][(c >> a) & 1];
        const float low = (lo[a] - m) * scale[c & 1], high = (hi[a] - m) * scale[c & 1];
        const bool up = axisOf(n, a) >= 0.0f;
        from = std::max(from, up ? low : -high);
        to = std::min(to, up ? high : -low);
    }
    return from <= to;
}

// True when a corner lies surely inside child c's cube on every axis, which
// makes the overlap test answer true.
bool cornerSurelyInside(const SlotBounds bounds[], const Vertex3D corners[3], int c) {
    for (int k = 0; k < 3; ++k) {
        bool inside = true;
        for (int a = 0; a < 3 && inside; ++a) {
            const SlotBounds& b = bounds[a * 4 + ((c >> a) & 1) * 2 + (c & 1)];
            const float v = axisOf(corners[k], a);
            inside = v >= b.insideFrom && v <= b.insideTo;
        }
        if (inside) return true;
    }
    return false;
}

}  // namespace

// What the fast split computes once per polygon, and the children's lists of
// polygon numbers (one set of eight per depth) while it descends.
struct OctreePolygons {
    std::vector<OTPolyData> polys;  // the polygons of the node split was called on
    std::vector<Vertex3D> corners;  // three per polygon, as cornersOf gives them
    std::vector<Vertex3D> normals;  // calcPlaneNormal of the corners
    // What the split reads of every polygon it places, kept in one record.
    struct Box {
        float lo[3], hi[3];  // bounding box
        int dominant;        // kvx_spatial::dominantAxis of the normal
        bool finite;         // every corner finite
    };
    std::vector<Box> boxes;
};

// One thread's walk: the shared polygons, its lists, and what it did with
// the reference budget.
struct OctreeBuild {
    const OctreePolygons& in;
    int threadedDepth;  // the depth whose children may be split on two threads; -1 for none
    std::deque<std::array<std::vector<int>, octreeNode::kChildCount>> levels;
    int64_t lowestBudget = INT64_MAX;  // the least budget left after a division
    bool refused = false;              // a division was undone for the budget

    OctreeBuild(const OctreePolygons& polygons, int threaded) : in(polygons), threadedDepth(threaded) {}

    std::array<std::vector<int>, octreeNode::kChildCount>& level(int depth) {
        while (int(levels.size()) <= depth) levels.emplace_back();
        return levels[size_t(depth)];
    }
};

bool kvxOctreeFastBuild = true;

float maximum(float a, float b, float c) {
    float best = std::fabs(a) >= std::fabs(b) ? a : b;
    return std::fabs(best) >= std::fabs(c) ? best : c;
}

octreeNode::octreeNode() : radiusSquared(0.0f), isSplit(false), depth(0), planes(nullptr), maxDepth(0) {
    for (int i = 0; i < 3; ++i) {
        boxMin[i] = kLargestFloat;
        boxMax[i] = kSmallestNormalFloat;
    }
    for (octreeNode*& c : children) c = nullptr;
}

octreeNode::~octreeNode() {
    polygons.clear();
    destroyPlanes();
    deleteChildren();
    polygons.release();
}

void octreeNode::deleteChildren() {
    for (octreeNode*& c : children) {
        delete c;
        c = nullptr;
    }
}

// --- filling -----------------------------------------------------------------

void octreeNode::cornersOf(const OTPolyData& poly, Vertex3D corners[3]) const {
    const Mesh* m = poly.mesh;
    bool valid =
        m != nullptr && m->faces != nullptr && m->vertices != nullptr && poly.face >= 0 && poly.face < m->faceCount;
    const Facelist* f = valid ? &m->faces[poly.face] : nullptr;
    const int index[3] = {f ? f->a : 0, f ? f->b : 0, f ? f->c : 0};
    for (int k = 0; k < 3; ++k) {
        // Corrupt indices give the mesh origin rather than a read past the array.
        if (!valid || index[k] >= m->vertexCount) {
            corners[k] = valid ? m->position : Vertex3D{0.0f, 0.0f, 0.0f};
            continue;
        }
        const Vertex3D& v = m->vertices[index[k]];
        corners[k] = kvx_vector::add(v, m->position);
    }
}

int octreeNode::insert(OTPolyData* poly, bool updateBounds) {
    if (poly == nullptr) return kCodeOctreeArgument;
    polygons.append(*poly);
    if (updateBounds) {
        Vertex3D corners[3];
        cornersOf(*poly, corners);
        for (Vertex3D& c : corners) checkBounds(&c);
    }
    return 0;
}

int octreeNode::insert(Mesh* mesh, int face, bool updateBounds) {
    if (mesh == nullptr) return kCodeOctreeArgument;
    OTPolyData poly{mesh, face};
    return insert(&poly, updateBounds);
}

int octreeNode::checkBounds(Vertex3D* p) {
    if (p == nullptr) return kCodeOctreeArgument;
    const float v[3] = {p->x, p->y, p->z};
    for (int i = 0; i < 3; ++i) {
        if (v[i] < boxMin[i]) boxMin[i] = v[i];
        if (v[i] > boxMax[i]) boxMax[i] = v[i];
    }
    calcRadius();
    return 0;
}

int octreeNode::setBounds(int axis, float low, float high) {
    if (axis < 0 || axis > 2) return kCodeOctreeArgument;
    boxMin[axis] = low;
    boxMax[axis] = high;
    return 0;
}

void octreeNode::calcRadius() {
    // Only x is used: below the root every box is a cube.
    float half = ((boxMax[0] + boxMin[0]) * 0.5f) - boxMin[0];
    radiusSquared = 3.0f * half * half;
}

void octreeNode::adjustSize() {
    float extent = boxMax[0] - boxMin[0];
    for (int i = 1; i < 3; ++i)
        if (boxMax[i] - boxMin[i] > extent) extent = boxMax[i] - boxMin[i];
    for (int i = 0; i < 3; ++i) {
        float centre = (boxMin[i] + boxMax[i]) * 0.5f;
        setBounds(i, centre - extent * 0.5f, centre + extent * 0.5f);
    }
    calcRadius();
}

// --- splitting ---------------------------------------------------------------

void octreeNode::createChildren() {
    float centre[3];
    for (int i = 0; i < 3; ++i) centre[i] = (boxMin[i] + boxMax[i]) * 0.5f;
    for (int c = 0; c < kChildCount; ++c) {
        octreeNode* child = new octreeNode();
        child->depth = depth + 1;
        for (int axis = 0; axis < 3; ++axis) {
            bool upper = (c >> axis) & 1;
            child->setBounds(axis, upper ? centre[axis] : boxMin[axis], upper ? boxMax[axis] : centre[axis]);
        }
        child->calcRadius();
        children[c] = child;
    }
}

void octreeNode::distributePolygons() {
    if (!kvxOctreeFastBuild) {
        for (int p = 0; p < polygons.size(); ++p) {
            Vertex3D corners[3];
            cornersOf(polygons[p], corners);
            for (octreeNode* child : children)
                if (child->polyInside(corners)) child->insert(&polygons[p], false);
        }
        return;
    }
    // polyInside with the children's mappings and each triangle's normal
    // computed once, and most children decided before the full test.
    kvx_spatial::UnitCubeMap cube[kChildCount];
    bool mapped[kChildCount];
    for (int c = 0; c < kChildCount; ++c) mapped[c] = cube[c].set(children[c]->boxMin, children[c]->boxMax);
    for (int p = 0; p < polygons.size(); ++p) {
        Vertex3D corners[3];
        cornersOf(polygons[p], corners);
        const Vertex3D n = calcPlaneNormal(&corners[0], &corners[1], &corners[2]);
        const int dominant = kvx_spatial::dominantAxis(n);
        for (int c = 0; c < kChildCount; ++c) {
            if (!mapped[c]) continue;
            const Vertex3D tri[3] = {cube[c].map(corners[0]), cube[c].map(corners[1]), cube[c].map(corners[2])};
            if (kvx_spatial::triangleMeetsUnitCubeEarly(tri, n, dominant)) children[c]->insert(&polygons[p], false);
        }
    }
}

int octreeNode::split(int maxPolygons, int maxDepthLimit, kvxOctreeProgress progress) {
    if (maxPolygons < 1 || maxDepthLimit < 1) return kCodeOctreeArgument;
    int64_t held = polygons.size();
    int64_t budget = std::max(kMinReferenceBudget, kReferencesPerPolygon * held) - held;
    if (!kvxOctreeFastBuild || isSplit) return splitWithin(maxPolygons, maxDepthLimit, progress, budget);
    OctreePolygons shared;
    const int n = polygons.size();
    shared.polys.assign(polygons.data, polygons.data + n);
    shared.corners.resize(size_t(3 * n));
    shared.normals.resize(size_t(n));
    shared.boxes.resize(size_t(n));
    std::vector<int> ids(static_cast<size_t>(n));
    for (int p = 0; p < n; ++p) {
        ids[size_t(p)] = p;
        Vertex3D* c = &shared.corners[size_t(3 * p)];
        cornersOf(polygons[p], c);
        shared.normals[size_t(p)] = calcPlaneNormal(&c[0], &c[1], &c[2]);
        OctreePolygons::Box& box = shared.boxes[size_t(p)];
        box.dominant = kvx_spatial::dominantAxis(shared.normals[size_t(p)]);
        box.finite = finite(c[0]) && finite(c[1]) && finite(c[2]);
        for (int a = 0; a < 3; ++a) {
            const float x = axisOf(c[0], a), y = axisOf(c[1], a), z = axisOf(c[2], a);
            box.lo[a] = std::min(x, std::min(y, z));
            box.hi[a] = std::max(x, std::max(y, z));
        }
    }
    OctreeBuild build{shared, depth};
    splitFast(build, ids.data(), n, maxPolygons, maxDepthLimit, progress, budget);
    return 0;
}

// splitWithin over polygon numbers: the node's own list is written only
// when it stays a leaf.
void octreeNode::splitFast(OctreeBuild& build, const int* ids, int count, int maxPolygons, int maxDepthLimit,
                           kvxOctreeProgress progress, int64_t& budget) {
    if (count <= maxPolygons || depth > maxDepthLimit) {
        keepPolygons(build, ids, count);
        return;
    }
    createChildren();
    distributeFast(build, ids, count);
    std::array<std::vector<int>, kChildCount>& lists = build.level(depth + 1);
    int64_t added = -int64_t(count);
    for (const std::vector<int>& list : lists) added += int64_t(list.size());
    if (added > budget) {
        deleteChildren();
        keepPolygons(build, ids, count);
        build.refused = true;
        return;
    }
    budget -= added;
    build.lowestBudget = std::min(build.lowestBudget, budget);
    polygons.clear();
    isSplit = true;
    if (depth != build.threadedDepth || !splitChildrenTwoWays(build, maxPolygons, maxDepthLimit, budget))
        for (int c = 0; c < kChildCount; ++c) {
            const std::vector<int>& list = build.level(depth + 1)[size_t(c)];
            children[c]->splitFast(build, list.data(), int(list.size()), maxPolygons, maxDepthLimit, nullptr, budget);
            if (progress != nullptr) progress(c);
        }
    else if (progress != nullptr)
        for (int c = 0; c < kChildCount; ++c) progress(c);
    maxDepth = maxDepthLimit;
}

// The children's subtrees on two threads, the largest first, each taken by
// whichever thread is free. Each thread may spend the whole budget; the
// result stands when the budget, spent in child order, would never have
// refused a division (then the walk in order gives the same tree); else
// the children are reset and false returned.
bool octreeNode::splitChildrenTwoWays(OctreeBuild& build, int maxPolygons, int maxDepthLimit, int64_t& budget) {
    const std::array<std::vector<int>, kChildCount>& lists = build.level(depth + 1);
    int64_t total = 0;
    for (const std::vector<int>& list : lists) total += int64_t(list.size());
    if (total < kThreadedReferences || std::thread::hardware_concurrency() < 2) return false;
    // Largest first, each child to the thread that is free next.
    int order[kChildCount];
    for (int c = 0; c < kChildCount; ++c) order[c] = c;
    std::stable_sort(order, order + kChildCount,
                     [&lists](int a, int b) { return lists[size_t(a)].size() > lists[size_t(b)].size(); });
    std::atomic<int> next{0};
    OctreeBuild helperBuild{build.in, -1};
    OctreeBuild* builds[2] = {&build, &helperBuild};
    int64_t spent[kChildCount], peak[kChildCount];
    auto run = [&](int side) {
        OctreeBuild& b = *builds[side];
        for (int taken = next++; taken < kChildCount; taken = next++) {
            const int c = order[taken];
            int64_t left = budget;
            b.lowestBudget = left;
            const std::vector<int>& list = lists[size_t(c)];
            children[c]->splitFast(b, list.data(), int(list.size()), maxPolygons, maxDepthLimit, nullptr, left);
            spent[c] = budget - left;
            peak[c] = budget - b.lowestBudget;
        }
    };
    std::thread helper;
    try {
        helper = std::thread(run, 1);
    } catch (const std::system_error&) {
        return false;
    }
    run(0);
    helper.join();
    bool same = !build.refused && !helperBuild.refused;
    int64_t used = 0;
    for (int c = 0; c < kChildCount && same; ++c) {
        same = used + peak[c] <= budget;
        used += spent[c];
    }
    if (same) {
        budget -= used;
        build.lowestBudget = std::min(build.lowestBudget, budget);
        return true;
    }
    build.refused = false;
    for (octreeNode* child : children) {
        child->deleteChildren();
        child->isSplit = false;
        child->polygons.clear();
        child->maxDepth = 0;
    }
    return false;
}

void octreeNode::keepPolygons(const OctreeBuild& build, const int* ids, int count) {
    if (polygons.size() == count) return;  // the node split was called on
    polygons.clear();
    polygons.reserve(count);
    for (int i = 0; i < count; ++i) polygons.append(build.in.polys[size_t(ids[i])]);
}

// The children's lists of distributePolygons. The children share their
// mapping per axis (the centre by the child's bit on that axis, the scale by
// its x bit), and the mapping is monotone, so the bounding box tells exactly
// whether all three corners lie beyond a face of a child's cube or surely
// inside it; the full test runs only where the box leaves it open.
void octreeNode::distributeFast(OctreeBuild& build, const int* ids, int count) {
    std::array<std::vector<int>, kChildCount>& lists = build.level(depth + 1);
    for (std::vector<int>& list : lists) list.clear();
    kvx_spatial::UnitCubeMap cube[kChildCount];
    bool mapped[kChildCount];
    for (int c = 0; c < kChildCount; ++c) mapped[c] = cube[c].set(children[c]->boxMin, children[c]->boxMax);
    float centre[3][2], scale[2];
    for (int h = 0; h < 2; ++h) {
        for (int a = 0; a < 3; ++a) centre[a][h] = axisOf(cube[h << a].centre, a);
        scale[h] = cube[h].scale;
    }
    bool shared = true;
    for (int c = 0; c < kChildCount; ++c) {
        shared = shared && mapped[c] && cube[c].scale == scale[c & 1] && std::isfinite(cube[c].scale) &&
                 cube[c].scale > 0.0f;
        for (int a = 0; a < 3; ++a) shared = shared && axisOf(cube[c].centre, a) == centre[a][(c >> a) & 1];
        shared = shared && finite(cube[c].centre);
    }
    SlotBounds bounds[kSlots];
    if (shared)
        for (int k = 0; k < kSlots; ++k) bounds[k].set(centre[k / 4][(k / 2) & 1], scale[k & 1]);
    float middle[3];
    for (int a = 0; a < 3; ++a) middle[a] = centre[a][1] - (centre[a][1] - centre[a][0]) * 0.5f;
    for (int i = 0; i < count; ++i) {
        const int p = ids[i];
        const OctreePolygons::Box& box = build.in.boxes[size_t(p)];
        const Vertex3D* corners = &build.in.corners[size_t(3 * p)];
        const Vertex3D& n = build.in.normals[size_t(p)];
        const int dominant = box.dominant;
        // With every corner beyond one face of the cube each edge fails
        // that face's test, so only the diagonal can answer true.
        auto fullTest = [&](int c, bool edgesMiss) {
            const Vertex3D tri[3] = {cube[c].map(corners[0]), cube[c].map(corners[1]), cube[c].map(corners[2])};
            return edgesMiss ? kvx_spatial::diagonalMeetsUnitCube(tri, n)
                             : kvx_spatial::triangleMeetsUnitCubeEarly(tri, n, dominant);
        };
        if (!shared || !box.finite) {
            for (int c = 0; c < kChildCount; ++c)
                if (mapped[c] && fullTest(c, false)) lists[size_t(c)].push_back(p);
            continue;
        }
        const float* lo = box.lo;
        const float* hi = box.hi;
        // Most polygons lie surely beyond the other half on each axis (on y
        // and z for either x scale): only their own child and its sibling
        // across the dominant axis can hold them, and most lie surely inside
        // their own child.
        int half[3];
        bool clean = true, otherBeyond[3];
        for (int a = 0; a < 3; ++a) {
            half[a] = lo[a] >= middle[a] ? 1 : 0;
            const int h = half[a], other = 1 - h;
            const SlotBounds& own = bounds[a * 4 + h * 2 + half[0]];
            clean = clean && lo[a] >= own.insideFrom && hi[a] <= own.insideTo;
            const SlotBounds& far0 = bounds[a * 4 + other * 2 + (a == 0 ? other : 0)];
            const SlotBounds& far1 = bounds[a * 4 + other * 2 + (a == 0 ? other : 1)];
            otherBeyond[a] = h == 0 ? (hi[a] <= far0.lowerBeyond && hi[a] <= far1.lowerBeyond)
                                    : (lo[a] >= far0.upperBeyond && lo[a] >= far1.upperBeyond);
        }
        if (otherBeyond[(dominant + 1) % 3] && otherBeyond[(dominant + 2) % 3]) {
            const int home = half[0] | half[1] << 1 | half[2] << 2, sibling = home ^ (1 << dominant);
            if (clean || cornerSurelyInside(bounds, corners, home) || fullTest(home, false))
                lists[size_t(home)].push_back(p);
            bool meets;
            if (otherBeyond[dominant])
                meets = diagonalMayMeet(n, dominant, lo, hi, centre, scale, sibling) && fullTest(sibling, true);
            else
                meets = fullTest(sibling, false);
            if (meets) lists[size_t(sibling)].push_back(p);
            continue;
        }
        // Slot (a * 4 + h * 2 + s): axis a, half h, scale of x half s.
        float low[kSlots], high[kSlots];  // written for kUsedSlots
        unsigned beyond[3] = {0, 0, 0}, insideOnAxis[3] = {0, 0, 0};
        for (int k : kUsedSlots) {
            const int a = k / 4, h = (k / 2) & 1, sx = k & 1;
            low[k] = (lo[a] - centre[a][h]) * scale[sx];
            high[k] = (hi[a] - centre[a][h]) * scale[sx];
            const unsigned out = unsigned(low[k] > kHalf) | unsigned(high[k] < -kHalf);
            const unsigned in =
                unsigned(low[k] >= -kvx_spatial::kSurelyInside) & unsigned(high[k] <= kvx_spatial::kSurelyInside);
            beyond[a] |= kSlotChildren[k] & (0u - out);
            insideOnAxis[a] |= kSlotChildren[k] & (0u - in);
        }
        const unsigned inside = insideOnAxis[0] & insideOnAxis[1] & insideOnAxis[2];
        const unsigned beyondDominant = beyond[dominant];
        const unsigned excluded = beyond[(dominant + 1) % 3] | beyond[(dominant + 2) % 3];
        for (int c = 0; c < kChildCount; ++c) {
            const unsigned bit = 1u << c;
            if (excluded & bit) continue;
            bool meets;
            if (inside & bit) {
                meets = true;
            } else if (beyondDominant & bit) {
                // Beyond a face no edge meets the cube and no corner is inside:
                // only the plane's crossing of the cube diagonal can.
                meets = diagonalMayMeet(n, dominant, lo, hi, centre, scale, c) && fullTest(c, true);
            } else {
                meets = cornerSurelyInside(bounds, corners, c) || fullTest(c, false);
            }
            if (meets) lists[size_t(c)].push_back(p);
        }
    }
}

int octreeNode::splitWithin(int maxPolygons, int maxDepthLimit, kvxOctreeProgress progress, int64_t& budget) {
    if (polygons.size() <= maxPolygons || depth > maxDepthLimit) return 0;
    createChildren();
    distributePolygons();
    int64_t added = -int64_t(polygons.size());
    for (octreeNode* child : children) added += child->polygons.size();
    if (added > budget) {
        deleteChildren();
        return 0;
    }
    budget -= added;
    polygons.clear();
    isSplit = true;
    for (int c = 0; c < kChildCount; ++c) {
        children[c]->splitWithin(maxPolygons, maxDepthLimit, nullptr, budget);
        if (progress != nullptr) progress(c);
    }
    maxDepth = maxDepthLimit;
    return 0;
}

// --- point and triangle location ---------------------------------------------

bool octreeNode::pointInside(Vertex3D* p) {
    if (p == nullptr) return false;
    const float v[3] = {p->x, p->y, p->z};
    for (int i = 0; i < 3; ++i)
        if (!(v[i] >= boxMin[i] && v[i] <= boxMax[i])) return false;  // NaN fails too
    return true;
}

bool octreeNode::polyInside(Vertex3D* corners) {
    kvx_spatial::UnitCubeMap cube;
    if (!cube.set(boxMin, boxMax)) return false;
    const Vertex3D mapped[3] = {cube.map(corners[0]), cube.map(corners[1]), cube.map(corners[2])};
    Vertex3D n = calcPlaneNormal(&corners[0], &corners[1], &corners[2]);
    return kvx_spatial::triangleMeetsUnitCube(mapped, n);
}

bool octreeNode::segmentInside(const Vertex3D& from, const Vertex3D& to) {
    kvx_spatial::UnitCubeMap cube;
    if (!cube.set(boxMin, boxMax)) return false;
    return kvx_spatial::segmentMeetsUnitCube(cube.map(from), cube.map(to));
}

// --- diagnostics -------------------------------------------------------------

void octreeNode::logWrite(const char* text) {
    if (text == nullptr) return;
    FILE* f = kvxOpenFile(kLogFileName, "ab");
    if (f == nullptr) return;
    std::fwrite(text, 1, std::strlen(text), f);
    std::fclose(f);
}
