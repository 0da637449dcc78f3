// Mesh preparation after the parse. Every mesh's preparation depends on that
// mesh alone, so independent meshes are prepared side by side on two cores;
// a keyframer instance, a copy of a file's mesh, takes its source's prepared
// arrays, which the same steps would compute from the same arrays again.
// Display lists and progress follow in mesh order on the caller's thread,
// which owns the rendering context.

#include <algorithm>
#include <cstring>
#include <thread>
#include <unordered_map>
#include <vector>

#include "import3ds/HelperThread.h"
#include "import3ds/Import3DS.h"
#include "import3ds/ImportState.h"
#include "scene/Mesh.h"
#include "scene/MeshArrays.h"
#include "scene/OGroup.h"

namespace kvx_import {

namespace {

// Below this many faces in all, one thread prepares everything: starting a
// second costs more than it saves.
const long kThreadedFaces = 4000;

// The preparation steps that need no rendering context, in the import's order.
void prepareArrays(Mesh* m, bool smoothing) {
    if (smoothing) m->prepareSmoothing();
    m->center();
    m->calcNormals();
    m->originalToCalculated();
    m->calcRadius();
    m->sortFacesByMaterial();
    m->calcEdgeNormals();
}

template <class T>
void replaceArray(T*& to, const T* from, int n) {
    kvx_mesh::release(to);
    to = kvx_mesh::duplicate(from, n);
}

// Same static transform, bit for bit: the edge normals come out the same.
bool samePlacement(const Object& a, const Object& b) {
    return std::memcmp(&a.position, &b.position, sizeof a.position) == 0 &&
           std::memcmp(&a.pivot, &b.pivot, sizeof a.pivot) == 0 &&
           std::memcmp(&a.rotation, &b.rotation, sizeof a.rotation) == 0;
}

// The instance's arrays become those of its prepared source; the edge normals
// follow the instance's own placement.
void takePrepared(Mesh* m, const Mesh* source) {
    const int vertices = source->vertexCount, faces = source->faceCount;
    kvx_mesh::visitVertexArrays(
        [&](auto member, kvx_mesh::ArrayKind) { replaceArray(m->*member, source->*member, vertices); });
    kvx_mesh::visitFaceArrays(
        [&](auto member, kvx_mesh::ArrayKind) { replaceArray(m->*member, source->*member, faces); });
    m->vertexCount = vertices;
    m->faceCount = faces;
    delete m->materialGroups;
    m->materialGroups = source->materialGroups ? source->materialGroups->copy() : nullptr;
    m->position = source->position;
    m->radius = source->radius;
    if (!samePlacement(*m, *source)) m->calcEdgeNormals();
}

// Runs work(item) for every item, with the helper thread when asked. Items
// are independent, so the results do not depend on who ran which.
template <class Work>
void forEachItem(const std::vector<int>& items, bool twoThreads, Work work) {
    if (!twoThreads || items.size() < 2) {
        for (int item : items) work(item);
        return;
    }
    HelperThread::instance().run(int(items.size()), [&](int k) { work(items[size_t(k)]); });
}

void report(void (*progress)(float), float x) {
    if (progress) progress(x);
}

}  // namespace

void prepareMeshes(ImportContext& c, void (*progress)(float)) {
    OGroup* g = c.group;
    // Welding changes the first mesh after its copies were made.
    const bool weld = (c.flags & kvxLoadWeld) != 0;
    if (weld) g->closeCombine(0.5f);

    std::unordered_map<const Mesh*, const Mesh*> instances;
    if (!weld)
        for (const MeshAxes& record : c.meshes)
            if (record.instanceOf) instances[record.mesh] = record.instanceOf;

    // Each mesh is prepared itself or copied from its source.
    std::vector<const Mesh*> sourceOf(size_t(g->meshCount), nullptr);
    std::vector<int> own, copies;
    long faces = 0;
    for (int i = 0; i < g->meshCount; ++i) {
        const Mesh* m = g->meshes[i];
        auto found = instances.find(m);
        if (found != instances.end() && m->vertexCount <= found->second->vertexCount &&
            m->faceCount <= found->second->faceCount)
            sourceOf[size_t(i)] = found->second;
        (sourceOf[size_t(i)] ? copies : own).push_back(i);
        faces += m->faceCount;
    }
    // The largest first, so that the two threads finish close together.
    std::stable_sort(own.begin(), own.end(),
                     [g](int a, int b) { return g->meshes[a]->faceCount > g->meshes[b]->faceCount; });

    const bool twoThreads = faces >= kThreadedFaces && std::thread::hardware_concurrency() > 1;
    const bool smoothing = (c.flags & kvxLoadSmoothing) != 0;
    forEachItem(own, twoThreads, [&](int i) { prepareArrays(g->meshes[i], smoothing); });
    // Copying is bound by memory rather than by a core: this thread does it,
    // so the arrays come from the heap of the thread that frees the group.
    for (int i : copies) takePrepared(g->meshes[i], sourceOf[size_t(i)]);

    for (int i = 0; i < g->meshCount; ++i) {
        g->meshes[i]->createDisplayList();
        report(progress, 0.7f + 0.2f * static_cast<float>(i) / static_cast<float>(g->meshCount));
    }
}

}  // namespace kvx_import
