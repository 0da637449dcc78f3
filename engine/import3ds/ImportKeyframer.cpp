// The keyframer chunk: segment, nodes with their hierarchy, pivots and the
// position and rotation tracks.

#include "core/Math.h"
#include "import3ds/ImportState.h"
#include "render/ErrorLog.h"
#include "scene/KVXPath.h"
#include "scene/Mesh.h"
#include "scene/Object.h"
#include "scene/OGroup.h"

namespace kvx_import {

namespace {

const int kCodeKeyframer = 37;
const int kTrackPadding = 4;          // 16-bit words between a track's flags and its key count
const int kSplineBits = 5;           // tension, continuity, bias, ease to, ease from
const int kPositionKeyBytes = 6 + 12;
const int kRotationKeyBytes = 6 + 16;

struct NodeState {
    int nodeType = 0;
    Object* object = nullptr;
    int nodeNumber = 0;
};

// Key header: frame (low 16 bits kept, high half passed over), then the key's
// flag word. Frames past 32,767 therefore differ from readers that keep all
// 32 bits: position keys read them as negative, rotation keys up to 65,535. Each of its five low bits announces one spline float, which the
// linear animation does not use: they are passed over so the values line up.
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

void addTrack(KVXPath* path) {
    if (state().paths->addPath(path) != 0) delete path;
}

void readPositionTrack(Loader& in, const NodeState& node) {
    int n = readKeyCount(in, kPositionKeyBytes);
    KVXPath* path = new KVXPath(n, node.nodeType, 0, node.object);
    in.getShort();
    for (int k = 0; k < n && !in.end; ++k) {
        int frame = static_cast<int16_t>(readKeyHeader(in));
        float x = in.getFloat(), y = in.getFloat(), z = in.getFloat();
        path->set(k, z, y, x, frame);
    }
    addTrack(path);
}

void readRotationTrack(Loader& in, const NodeState& node) {
    int n = readKeyCount(in, kRotationKeyBytes);
    KVXPath* path = new KVXPath(n, node.nodeType, 1, node.object);
    in.getShort();
    for (int k = 0; k < n && !in.end; ++k) {
        int frame = readKeyHeader(in);
        float angle = kvxUnRad(in.getFloat());
        float x = in.getFloat(), y = in.getFloat(), z = in.getFloat();
        path->set(k, z, y, x, angle, frame);
    }
    addTrack(path);
}

void readSegment(Loader& in) {
    int first = in.getInt();
    int last = in.getInt();
    OGroup* g = state().group;
    PathList* p = state().paths;
    g->startFrame = p->startFrame = first;
    g->endFrame = p->endFrame = last;
    g->frameCount = p->frameCount = last - first;
}

// False when the header names no object of the group.
bool readNodeHeader(Loader& in, NodeState& node) {
    char name[kNameSize];
    in.getString(name, kNameSize);
    in.getShort();
    in.getShort();
    int parent = in.getShort();
    node.object = state().group->findObject(name);
    if (!node.object) return false;
    node.object->parentId = parent;
    if (parent == -1) node.object->parent = nullptr;
    node.object->id = node.nodeNumber;
    return true;
}

void readPivot(Loader& in, Object* object) {
    PathList* p = state().paths;
    OGroup* g = state().group;
    if (!p->pivots) p->initPivots(g->meshCount + g->cameraCount + g->lightCount);
    object->pivot.x = in.getFloat();
    object->pivot.y = in.getFloat();
    object->pivot.z = in.getFloat();
    p->addPivotPoint(object, &object->pivot);
}

int nodeTypeOf(unsigned id) {
    switch (id) {
        case kObjectNode: return 5;
        case kCameraNode: return 7;
        case kTargetNode: return 8;
        case kLightNode: return 6;
        default: return 0;
    }
}

}  // namespace

// Pivots and tracks met before any node header have no object and are skipped.
int parseKeyframer(unsigned length) {
    Loader& in = state().loader;
    NodeState node;
    long long consumed = Loader::headerSize;
    while (consumed < length && !in.end) {
        in.getChunkID();
        unsigned id = in.chunkID;
        unsigned chunk = in.chunkLength;
        if (nodeTypeOf(id) != 0) {
            node.nodeType = nodeTypeOf(id);
            consumed += Loader::headerSize;
            continue;
        }
        switch (id) {
            case kSegment: readSegment(in); break;
            case kNodeHeader:
                if (!readNodeHeader(in, node))
                    return kvxPutToErrorLog("Fatal keyframer error in .3DS loader!", kCodeKeyframer);
                break;
            case kPivot:
                if (node.object) readPivot(in, node.object);
                break;
            case kPositionTrack:
                if (node.object) readPositionTrack(in, node);
                break;
            case kRotationTrack:
                if (node.object) readRotationTrack(in, node);
                break;
            case kNodeId: node.nodeNumber = in.getShort(); break;
            default: break;
        }
        in.skipChunk();
        consumed += chunk;
    }
    state().keyframesRead = true;
    return 0;
}

}  // namespace kvx_import
