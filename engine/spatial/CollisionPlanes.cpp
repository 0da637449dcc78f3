// Collision planes: each leaf groups its polygons into planes of one
// material (a polygon with its back-to-back coplanar partners), numbered
// across the tree in pre-order.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/Math.h"
#include "core/VectorOps.h"
#include "scene/Mesh.h"
#include "spatial/Octree.h"
#include "spatial/PlanePartners.h"

namespace {

using kvx_spatial::PlaneCandidate;

int planeCounter = 0;

// Leaves up to this size scan every later polygon for plane partners; larger
// ones narrow the scan with PlanePartners first.
const int kScannedLeaf = 24;

// A partner must face away from the first polygon of its plane.
const float kOppositeNormalLimit = 0.0001f;
const float kCombineNormalLimit = 0.00001f;

int faceMaterial(const Mesh* m, int face) {
    if (m == nullptr || m->faceMaterials == nullptr || face < 0 || face >= m->faceCount) return -1;
    return m->faceMaterials[face];
}

// Corners placed by the mesh's static transform, the face normal and material.
PlaneCandidate describe(Mesh* m, int face, const Vertex3D* placed) {
    PlaneCandidate c;
    bool valid = m != nullptr && m->faces != nullptr && face >= 0 && face < m->faceCount;
    const Facelist f = valid ? m->faces[face] : Facelist{0, 0, 0};
    const int index[3] = {f.a, f.b, f.c};
    for (int k = 0; k < 3; ++k) {
        if (!valid)
            c.corner[k] = Vertex3D{0.0f, 0.0f, 0.0f};
        else if (placed == nullptr)
            c.corner[k] = m->calculatedVertex(index[k]);
        else
            c.corner[k] = m->vertices != nullptr && index[k] < m->vertexCount ? placed[index[k]] : Vertex3D{0, 0, 0};
    }
    c.normal = calcNormal(&c.corner[0], &c.corner[1], &c.corner[2]);
    c.material = faceMaterial(m, face);
    c.measure();
    return c;
}

// Every face described once per makePlanes, however many leaves hold it.
class FaceTable {
public:
    const PlaneCandidate* of(const OTPolyData& p) {
        Faces& faces = facesOf(p.mesh);
        if (p.face < 0 || p.face >= int(faces.described.size())) {
            spare_ = describe(p.mesh, p.face, nullptr);
            return &spare_;
        }
        if (!faces.ready[size_t(p.face)]) {
            faces.described[size_t(p.face)] = describe(p.mesh, p.face, faces.placed.data());
            faces.ready[size_t(p.face)] = 1;
        }
        return &faces.described[size_t(p.face)];
    }

private:
    struct Faces {
        std::vector<Vertex3D> placed;
        std::vector<PlaneCandidate> described;
        std::vector<char> ready;
    };
    Faces& facesOf(Mesh* m) {
        if (m == lastMesh_ && last_ != nullptr) return *last_;
        auto found = table_.find(m);
        if (found == table_.end()) {
            Faces& f = table_[m];
            if (m != nullptr) {
                f.placed.resize(size_t(std::max(m->vertexCount, 0)));
                if (m->vertices != nullptr) m->placeVertices(f.placed.data());
                f.described.resize(size_t(m->faces != nullptr ? std::max(m->faceCount, 0) : 0));
                f.ready.assign(f.described.size(), 0);
            }
            found = table_.find(m);
        }
        lastMesh_ = m;
        last_ = &found->second;
        return *last_;
    }

    std::unordered_map<Mesh*, Faces> table_;
    Mesh* lastMesh_ = nullptr;
    Faces* last_ = nullptr;
    PlaneCandidate spare_;
};

// Scratch of the fast build, alive while makePlanes runs.
struct PlaneScratch {
    FaceTable faces;
    kvx_spatial::PlanePartners partners;
    std::vector<const PlaneCandidate*> described;
    std::vector<char> taken;
    std::vector<int> found;
    std::vector<PlaneList> members;
};

thread_local PlaneScratch* scratch = nullptr;  // set while makePlanes runs the fast build

// Trees with more polygon references than this build their leaves' planes
// on two threads; each leaf's planes depend on its polygons alone.
const int kThreadedPolygons = 8192;

// The nodes of makePlanes, taken from the front by this thread and from the
// back by the helper until the two meet: each walks one run of the tree,
// and both finish together however the work is spread.
class PreOrderQueue {
public:
    explicit PreOrderQueue(const std::vector<octreeNode*>& nodes) : nodes_(nodes), front_(0), back_(nodes.size()) {}

    // The next node from the chosen end; null when every node is taken.
    octreeNode* take(bool fromBack) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (front_ == back_) return nullptr;
        return fromBack ? nodes_[--back_] : nodes_[front_++];
    }

private:
    const std::vector<octreeNode*>& nodes_;
    size_t front_, back_;
    std::mutex mutex_;
};

void collectPreOrder(octreeNode* node, std::vector<octreeNode*>& out) {
    out.push_back(node);
    if (node->isSplit)
        for (octreeNode* child : node->children) collectPreOrder(child, out);
}

float planeDistance(const Vertex3D& point, const Vertex3D& origin, Vertex3D normal) {
    Vertex3D d = kvx_vector::sub(point, origin);
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

}  // namespace

void octreeNode::makePlanes(float tolerance) {
    planeCounter = 0;
    if (!kvxOctreeFastBuild) {
        constructPlanes(tolerance);
        unifyPlanes();
        return;
    }
    std::vector<octreeNode*> nodes;
    collectPreOrder(this, nodes);
    int64_t total = 0;
    for (octreeNode* n : nodes) total += n->polygons.size();
    PreOrderQueue queue(nodes);
    auto build = [&queue, tolerance](bool fromBack) {
        PlaneScratch fast;
        scratch = &fast;
        while (octreeNode* node = queue.take(fromBack)) node->createPlanes(tolerance);
        scratch = nullptr;
    };
    std::thread helper;
    if (total > kThreadedPolygons && std::thread::hardware_concurrency() > 1) {
        try {
            helper = std::thread(build, true);
        } catch (const std::system_error&) {
            // No thread: all on this one.
        }
    }
    build(false);
    if (helper.joinable()) helper.join();
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
    if (n == 0) return 0;
    PlaneScratch plain;
    PlaneScratch& s = scratch != nullptr ? *scratch : plain;
    std::vector<PlaneCandidate> own;
    s.described.resize(size_t(n));
    if (scratch != nullptr) {
        for (int i = 0; i < n; ++i) s.described[size_t(i)] = s.faces.of(polygons[i]);
    } else {
        own.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            own[size_t(i)] = describe(polygons[i].mesh, polygons[i].face, nullptr);
            s.described[size_t(i)] = &own[size_t(i)];
        }
    }
    const bool narrowed = scratch != nullptr && n > kScannedLeaf;
    if (narrowed) s.partners.prepare(s.described.data(), n, boxMin, boxMax, tolerance);
    s.taken.assign(size_t(n), 0);
    Plane* last = nullptr;
    for (int i = 0; i < n; ++i) {
        if (s.taken[size_t(i)]) continue;
        s.taken[size_t(i)] = 1;
        s.members.assign(1, PlaneList{polygons[i].face, polygons[i].mesh});
        const PlaneCandidate& first = *s.described[size_t(i)];
        // Every polygon before i is taken by now.
        auto tryJoin = [&](int j) {
            if (s.taken[size_t(j)] || !joinsPlane(first, *s.described[size_t(j)], tolerance)) return;
            s.taken[size_t(j)] = 1;
            s.members.push_back(PlaneList{polygons[j].face, polygons[j].mesh});
        };
        if (narrowed) {
            s.partners.candidates(i, s.found);
            for (int j : s.found) tryJoin(j);
        } else {
            for (int j = i + 1; j < n; ++j) tryJoin(j);
        }
        Plane* plane = buildPlane(first, s.members);
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
