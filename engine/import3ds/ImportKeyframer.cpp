// The keyframer chunk: segment, nodes with their hierarchy, pivots and the
// position, rotation and scale tracks. A node naming no object is a dummy:
// an invisible object that only moves its children. Further nodes naming a
// mesh already drawn by a node are instances, each with a copy of the mesh.

#include <cstring>
#include <string>
#include <unordered_map>

#include "core/Math.h"
#include "import3ds/Import3DS.h"
#include "import3ds/ImportMessages.h"
#include "import3ds/ImportState.h"
#include "render/ErrorLog.h"
#include "scene/Camera.h"
#include "scene/KVXPath.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "scene/Object.h"

namespace kvx_import {

namespace {

const int kTrackPadding = 4;  // 16-bit words between a track's flags and its key count
const int kSplineBits = 5;    // tension, continuity, bias, ease to, ease from
const int kPositionKeyBytes = 6 + 12;
const int kRotationKeyBytes = 6 + 16;

struct NodeState {
    int nodeType = 0;
    Object* object = nullptr;
    int nodeNumber = 0;
    int nodesSeen = 0;      // numbers nodes in file order where no node-id chunk does
    bool named = false;     // the node's header was read
    bool madeHere = false;  // the object is this node's dummy or instance copy
    // The group's meshes before the keyframer added any, by name (the first of a name).
    std::unordered_map<std::string, Mesh*> fileMeshes;
};

// Key header: frame (low 16 bits kept, high half passed over), then the key's
// flag word. Frames past 32,767 therefore differ from readers that keep all
// 32 bits: position keys read them as negative, rotation keys up to 65,535. Each of its five low bits announces one
// spline float, which the linear animation does not use: they are passed over so the values line up.
uint16_t readKeyHeader(Loader& in) {
    uint16_t frame = static_cast<uint16_t>(in.getShort());
    in.getShort();
    int flags = in.getShort();
    for (int bit = 0; bit < kSplineBits; ++bit)
        if (flags & (1 << bit)) in.getFloat();
    return frame;
}

// Track header; the key count is cut to the keys the chunk can hold, so a
// corrupt count cannot allocate far more keys than the file carries.
int readKeyCount(Loader& in, int keyBytes) {
    in.getShort();
    for (int i = 0; i < kTrackPadding; ++i) in.getShort();
    int n = in.getShort();
    if (n < 0) n = 0;
    int fit = (in.remainingInChunk() - 2) / keyBytes;
    if (fit < 0) fit = 0;
    return n < fit ? n : fit;
}

void addTrack(ImportContext& c, KVXPath* path) {
    if (c.paths->addPath(path) != 0) delete path;
}

// Position and scale tracks: three floats per key.
void readVectorTrack(ImportContext& c, const NodeState& node, int track) {
    Loader& in = c.loader;
    int n = readKeyCount(in, kPositionKeyBytes);
    KVXPath* path = new KVXPath(n, node.nodeType, track, node.object);
    in.getShort();
    for (int k = 0; k < n && !in.end; ++k) {
        int frame = static_cast<int16_t>(readKeyHeader(in));
        float x = in.getFloat(), y = in.getFloat(), z = in.getFloat();
        path->set(k, z, y, x, frame);
    }
    addTrack(c, path);
}

void readRotationTrack(ImportContext& c, const NodeState& node) {
    Loader& in = c.loader;
    int n = readKeyCount(in, kRotationKeyBytes);
    KVXPath* path = new KVXPath(n, node.nodeType, kTrackRotation, node.object);
    in.getShort();
    for (int k = 0; k < n && !in.end; ++k) {
        int frame = readKeyHeader(in);
        float angle = kvxUnRad(in.getFloat());
        float x = in.getFloat(), y = in.getFloat(), z = in.getFloat();
        path->set(k, z, y, x, angle, frame);
    }
    addTrack(c, path);
}

void readSegment(ImportContext& c) {
    Loader& in = c.loader;
    int first = in.getInt();
    int last = in.getInt();
    OGroup* g = c.group;
    PathList* p = c.paths;
    g->startFrame = p->startFrame = first;
    g->endFrame = p->endFrame = last;
    g->frameCount = p->frameCount = last - first;
}

// The object of the group a node names: a mesh the file defined (not one of
// the keyframer's dummies and copies), then a light, then a camera.
template <class T>
T* byName(T* const* list, int count, const char* name) {
    for (int i = 0; i < count; ++i)
        if (list[i]->name && std::strcmp(list[i]->name, name) == 0) return list[i];
    return nullptr;
}

void indexFileMeshes(const OGroup* g, NodeState& node) {
    for (int i = 0; i < g->meshCount; ++i)
        if (g->meshes[i]->name) node.fileMeshes.emplace(g->meshes[i]->name, g->meshes[i]);
}

Mesh* namedMesh(const NodeState& node, const char* name) {
    auto found = node.fileMeshes.find(name);
    return found == node.fileMeshes.end() ? nullptr : found->second;
}

Object* namedObject(ImportContext& c, const NodeState& node, const char* name) {
    OGroup* g = c.group;
    if (Mesh* m = namedMesh(node, name)) return m;
    if (Light* l = byName(g->lights, g->lightCount, name)) return l;
    return byName(g->cameras, g->cameraCount, name);
}

// Adds a keyframer-made mesh to the group; false (the mesh freed) when the
// group is full.
bool addMadeMesh(ImportContext& c, Mesh* m, const char* name) {
    m->setName(name);
    if (c.group->addMesh(m) == 0) return true;
    delete m;
    return false;
}

Mesh* makeDummy(ImportContext& c, const char* name) {
    Mesh* d = new Mesh();
    d->visible = false;
    if (!addMadeMesh(c, d, name)) return nullptr;
    registerMesh(c, d);
    return d;
}

// A copy of the source for a further node that draws it. Its arrays are
// copied from the source once that is prepared (prepareMeshes); until then
// it holds only the source's object fields. Welding changes the first mesh
// before preparation, so with it the arrays are copied at once.
Mesh* makeInstance(ImportContext& c, Mesh* source) {
    Mesh* copy = nullptr;
    if (c.flags & kvxLoadWeld) {
        copy = static_cast<Mesh*>(source->copyObject());
        for (int f = 0; f < source->faceCount && source->smoothingGroups; ++f)
            copy->smoothingGroups[f] = source->smoothingGroups[f];
    } else {
        copy = new Mesh();
        static_cast<Object&>(*copy) = static_cast<const Object&>(*source);
    }
    copy->parent = nullptr;
    copy->pivot = Vertex3D{0.0f, 0.0f, 0.0f};  // the node's own pivot chunk sets it
    if (!addMadeMesh(c, copy, source->name)) return nullptr;
    registerMesh(c, copy);
    MeshAxes* from = axesOf(c, source);
    MeshAxes* to = axesOf(c, copy);
    if (from && to)
        for (int i = 0; i < 12; ++i) to->axes[i] = from->axes[i];
    if (to) to->instanceOf = source;
    return copy;
}

// The object an object node moves: the mesh it names, a copy of it when an
// earlier node drew the mesh already, or a dummy when it names nothing.
// False when such an object cannot be stored.
bool objectNodeTarget(ImportContext& c, const char* name, NodeState& node) {
    Object* named = namedObject(c, node, name);
    Mesh* mesh = namedMesh(node, name);
    node.madeHere = false;
    if (named && !(mesh && c.drawn.count(mesh))) {
        node.object = named;
    } else if (!(c.flags & kvxLoadMeshes)) {
        node.object = nullptr;  // no meshes are kept: nothing to move
        return true;
    } else {
        node.object = named ? makeInstance(c, mesh) : makeDummy(c, name);
        node.madeHere = true;
        if (!node.object) return false;
    }
    if (MeshAxes* axes = axesOf(c, node.object)) axes->placedByNode = true;
    return true;
}

// Reads a node header; false when the node's object cannot be stored.
// Camera and light nodes naming nothing move nothing; a target node moves
// its camera's target and leaves the camera's numbers alone.
bool readNodeHeader(ImportContext& c, NodeState& node) {
    Loader& in = c.loader;
    char name[kNameSize];
    in.getString(name, kNameSize);
    in.getShort();
    in.getShort();
    int parent = in.getShort();
    node.named = true;
    if (node.nodeType == kNodeObject) {
        if (!objectNodeTarget(c, name, node)) return false;
    } else {
        node.object = namedObject(c, node, name);
        node.madeHere = false;
    }
    if (!node.object || node.nodeType == kNodeTarget) return true;
    node.object->parentId = parent;
    if (parent == -1) node.object->parent = nullptr;
    node.object->id = node.nodeNumber;
    c.nodes.push_back(NodeRecord{node.nodeNumber, parent, node.object});
    c.drawn.insert(node.object);
    return true;
}

// Instance name (chunk 0xB011): names the node's dummy or copy.
void readInstanceName(Loader& in, const NodeState& node) {
    char name[kNameSize];
    in.getString(name, kNameSize);
    if (node.object && node.madeHere && name[0]) node.object->setName(name);
}

void readPivot(ImportContext& c, Object* object) {
    Loader& in = c.loader;
    PathList* p = c.paths;
    OGroup* g = c.group;
    if (!p->pivots) p->initPivots(g->meshCount + g->cameraCount + g->lightCount);
    object->pivot.x = in.getFloat();
    object->pivot.y = in.getFloat();
    object->pivot.z = in.getFloat();
    p->addPivotPoint(object, &object->pivot);
}

bool isSkippedNode(unsigned id) { return id == kAmbientNode || id == kLightTargetNode || id == kSpotlightNode; }

int nodeTypeOf(unsigned id) {
    switch (id) {
        case kObjectNode: return kNodeObject;
        case kCameraNode: return kNodeCamera;
        case kTargetNode: return kNodeTarget;
        case kLightNode: return kNodeLight;
        default: return 0;
    }
}

}  // namespace

// A pivot or track before its node's header is broken input (code 37), as is
// a node whose object cannot be stored.
int parseKeyframer(ImportContext& c, unsigned length) {
    Loader& in = c.loader;
    NodeState node;
    indexFileMeshes(c.group, node);
    long long consumed = Loader::headerSize;
    for (SubChunk sub; nextSubChunk(in, consumed, length, sub); consumed += sub.length) {
        const unsigned id = sub.id;
        if (nodeTypeOf(id) != 0) {
            node.nodeType = nodeTypeOf(id);
            node.nodeNumber = node.nodesSeen++;
            node.object = nullptr;
            node.named = false;
            sub.length = Loader::headerSize;  // its sub-chunks follow as siblings
            continue;
        }
        if (isSkippedNode(id)) ++node.nodesSeen;
        bool needsHeader = id == kPivot || id == kPositionTrack || id == kRotationTrack || id == kScaleTrack;
        if (needsHeader && !node.named) return kvxPutToErrorLog(kMsgKeyframer, kCodeKeyframer);
        switch (id) {
            case kSegment: readSegment(c); break;
            case kNodeHeader:
                if (!readNodeHeader(c, node)) return kvxPutToErrorLog(kMsgKeyframer, kCodeKeyframer);
                break;
            case kInstanceName: readInstanceName(in, node); break;
            case kPivot:
                if (node.object) readPivot(c, node.object);
                break;
            case kPositionTrack:
                if (node.object) readVectorTrack(c, node, kTrackPosition);
                break;
            case kRotationTrack:
                if (node.object) readRotationTrack(c, node);
                break;
            case kScaleTrack:
                if (node.object) readVectorTrack(c, node, kTrackScale);
                break;
            case kNodeId: node.nodeNumber = in.getShort(); break;
            default: break;
        }
        in.skipChunk();
    }
    c.keyframesRead = true;
    return 0;
}

}  // namespace kvx_import
