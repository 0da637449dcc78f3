// Collision planes: each leaf groups its polygons into planes of one
// material (a polygon with its back-to-back coplanar partners), numbered
// across the tree in pre-order.

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "core/Math.h"
#include "scene/Mesh.h"
#include "spatial/Octree.h"
#include "spatial/SlabIndex.h"

namespace {

int planeCounter = 0;

// Leaves with more polygons than this look their partners up in a SlabIndex;
// up to here scanning every later polygon is as fast (measured on real files,
// whose leaves reach a few thousand polygons).
const int kIndexedLeaf = 4096;
// Widens the index's search beyond the tolerance by more than the rounding
// of planeDistance can shift a point, so every partner is listed: the float
// difference errs by 2^-24 of each |q_a - o_a|, the float result by 2^-24
// of the tolerance.
const double kToleranceSlack = 1.001;
const double kRoundingSlack = 2e-7;
// Likewise for the facing test: dotProd sums exact products in double and
// rounds once to float.
const double kFacingReach = 1.001e-4;

// A partner must face away from the first polygon of its plane.
const float kOppositeNormalLimit = 0.0001f;
const float kCombineNormalLimit = 0.00001f;

struct PlaneCandidate {
    Vertex3D corner[3];
    Vertex3D normal;
    int material;
};

int faceMaterial(const OTPolyData& p) {
    const Mesh* m = p.mesh;
    if (m == nullptr || m->faceMaterials == nullptr || p.face < 0 || p.face >= m->faceCount) return -1;
    return m->faceMaterials[p.face];
}

// Each mesh's vertices under its static transform, placed once per
// makePlanes instead of once per corner.
class PlacedVertices {
public:
    const Vertex3D* of(Mesh* m) {
        auto found = placed_.find(m);
        if (found != placed_.end()) return found->second.data();
        std::vector<Vertex3D>& v = placed_[m];
        v.resize(size_t(m->vertexCount));
        if (m->vertices != nullptr) m->placeVertices(v.data());
        return v.data();
    }

private:
    std::unordered_map<Mesh*, std::vector<Vertex3D>> placed_;
};

PlacedVertices* placedVertices = nullptr;  // set while makePlanes runs

Vertex3D placedCorner(Mesh* m, int i) {
    if (placedVertices == nullptr || !kvxOctreeFastBuild) return m->calculatedVertex(i);
    if (m->vertices == nullptr || i < 0 || i >= m->vertexCount) return Vertex3D{0.0f, 0.0f, 0.0f};
    return placedVertices->of(m)[i];
}

// Corners placed by the mesh's static transform.
PlaneCandidate describe(const OTPolyData& p) {
    PlaneCandidate c;
    Mesh* m = p.mesh;
    bool valid = m != nullptr && m->faces != nullptr && p.face >= 0 && p.face < m->faceCount;
    const Facelist f = valid ? m->faces[p.face] : Facelist{0, 0, 0};
    const int index[3] = {f.a, f.b, f.c};
    for (int k = 0; k < 3; ++k) c.corner[k] = valid ? placedCorner(m, index[k]) : Vertex3D{0.0f, 0.0f, 0.0f};
    c.normal = calcNormal(&c.corner[0], &c.corner[1], &c.corner[2]);
    c.material = faceMaterial(p);
    return c;
}

bool isFinite(const Vertex3D& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

bool allFinite(const std::vector<PlaneCandidate>& described) {
    for (const PlaneCandidate& c : described) {
        if (!isFinite(c.normal)) return false;
        for (const Vertex3D& v : c.corner)
            if (!isFinite(v)) return false;
    }
    return true;
}

float planeDistance(const Vertex3D& point, const Vertex3D& origin, Vertex3D normal) {
    Vertex3D d{point.x - origin.x, point.y - origin.y, point.z - origin.z};
    return std::fabs(dotProd(&d, &normal));
}

bool joinsPlane(const PlaneCandidate& first, const PlaneCandidate& other, float tolerance) {
    if (other.material != first.material) return false;
    Vertex3D a = first.normal, b = other.normal;
    if (!(dotProd(&a, &b) < kOppositeNormalLimit)) return false;
    for (const Vertex3D& q : other.corner)
        if (!(planeDistance(q, first.corner[0], first.normal) < tolerance)) return false;
    return true;
}

Plane* buildPlane(const PlaneCandidate& first, const std::vector<PlaneList>& members) {
    Plane* plane = new Plane();
    plane->create(int(members.size()));
    for (size_t i = 0; i < members.size(); ++i) plane->points[i] = members[i];
    plane->normal = first.normal;
    plane->origin = first.corner[0];
    return plane;
}

// In large leaves, the polygons after `first` that may join its plane, in
// order: those the index finds with every corner near the first polygon's
// plane, of its material and not facing its way. Elsewhere the caller tries
// every later polygon.
class PartnerSearch {
public:
    PartnerSearch(const std::vector<PlaneCandidate>& described, float tolerance) : described_(described) {
        const int n = int(described.size());
        indexed_ = kvxOctreeFastBuild && n > kIndexedLeaf && allFinite(described);
        if (!indexed_) return;
        corners_.resize(size_t(3 * n));
        normals_.resize(size_t(n));
        materials_.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            for (int k = 0; k < 3; ++k) corners_[size_t(3 * i + k)] = described[size_t(i)].corner[k];
            normals_[size_t(i)] = described[size_t(i)].normal;
            materials_[size_t(i)] = described[size_t(i)].material;
        }
        index_.build(corners_.data(), normals_.data(), materials_.data(), n);
        reach_ = double(tolerance) * kToleranceSlack;
    }

    // False when the caller must try every later polygon.
    bool lookUp(int first) {
        const PlaneCandidate& c = described_[size_t(first)];
        const Vertex3D& n = c.normal;
        const bool flat = n.x == 0.0f && n.y == 0.0f && n.z == 0.0f;  // every distance is then 0
        if (!indexed_ || flat || !isFinite(n) || !(reach_ < HUGE_VAL)) return false;
        found_.clear();
        index_.near(c.material, c.corner[0], n, reach_, kRoundingSlack, kFacingReach, found_);
        found_.erase(std::remove_if(found_.begin(), found_.end(), [first](int j) { return j <= first; }), found_.end());
        std::sort(found_.begin(), found_.end());
        return true;
    }
    const std::vector<int>& found() const { return found_; }

private:
    const std::vector<PlaneCandidate>& described_;
    bool indexed_ = false;
    std::vector<Vertex3D> corners_;
    std::vector<Vertex3D> normals_;
    std::vector<int> materials_;
    kvx_spatial::SlabIndex index_;
    double reach_ = 0.0;
    std::vector<int> found_;
};

}  // namespace

void octreeNode::makePlanes(float tolerance) {
    planeCounter = 0;
    PlacedVertices placed;
    placedVertices = &placed;
    constructPlanes(tolerance);
    placedVertices = nullptr;
    unifyPlanes();
}

void octreeNode::constructPlanes(float tolerance) {
    createPlanes(tolerance);
    if (isSplit)
        for (octreeNode* child : children) child->constructPlanes(tolerance);
}

int octreeNode::createPlanes(float tolerance) {
    // A rebuilt list replaces the old one, which would otherwise leak.
    destroyPlanes();
    const int n = polygons.size();
    std::vector<PlaneCandidate> described(n);
    for (int i = 0; i < n; ++i) described[i] = describe(polygons[i]);
    std::vector<bool> taken(n, false);
    std::vector<PlaneList> members;
    PartnerSearch partners(described, tolerance);
    Plane* last = nullptr;
    for (int i = 0; i < n; ++i) {
        if (taken[i]) continue;
        taken[i] = true;
        members.assign(1, PlaneList{polygons[i].face, polygons[i].mesh});
        // Every polygon before i is taken by now.
        auto tryJoin = [&](int j) {
            if (taken[j] || !joinsPlane(described[i], described[j], tolerance)) return;
            taken[j] = true;
            members.push_back(PlaneList{polygons[j].face, polygons[j].mesh});
        };
        if (partners.lookUp(i))
            for (int j : partners.found()) tryJoin(j);
        else
            for (int j = i + 1; j < n; ++j) tryJoin(j);
        Plane* plane = buildPlane(described[i], members);
        if (last == nullptr)
            planes = plane;
        else
            last->next = plane;
        last = plane;
    }
    return 0;
}

void octreeNode::unifyPlanes() {
    for (Plane* p = planes; p != nullptr; p = p->next) p->planeId = planeCounter++;
    if (isSplit)
        for (octreeNode* child : children) child->unifyPlanes();
}

int octreeNode::destroyPlanes() {
    delete planes;  // the first plane frees the rest of the list and the point arrays
    planes = nullptr;
    return 0;
}

void octreeNode::combinePlanes(octreeNode* other, float tolerance) {
    if (other == nullptr) return;
    other->subCombinePlanes(this, tolerance);
    if (isSplit)
        for (octreeNode* child : children) child->combinePlanes(other, tolerance);
}

// Runs over this subtree (the "other" tree of combinePlanes) and renumbers
// the matching planes of target.
void octreeNode::subCombinePlanes(octreeNode* target, float tolerance) {
    if (target == nullptr) return;
    for (Plane* p = planes; p != nullptr; p = p->next) {
        for (Plane* q = target->planes; q != nullptr; q = q->next) {
            Vertex3D qn = q->normal, pn = p->normal;
            if (dotProd(&qn, &pn) < kCombineNormalLimit && planeDistance(p->origin, q->origin, q->normal) < tolerance)
                q->planeId = p->planeId;
        }
    }
    if (isSplit)
        for (octreeNode* child : children) child->subCombinePlanes(target, tolerance);
}
