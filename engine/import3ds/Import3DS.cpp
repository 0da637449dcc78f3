#include "import3ds/Import3DS.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "import3ds/FileBytes.h"
#include "import3ds/ImportMessages.h"
#include "import3ds/ImportState.h"
#include "render/ErrorLog.h"
#include "scene/Camera.h"
#include "scene/KVXPath.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "texture/Material.h"
#include "texture/TList.h"

namespace kvx_import {

namespace {

const char* const kDefaultMaterial = "KVXDefault";

// Bytes of a record the count of a list chunk promises; counts beyond what
// the chunk holds are cut to the records present.
int recordsPresent(Loader& in, int count, int recordSize) {
    int fit = in.remainingInChunk() / recordSize;
    return count < fit ? count : fit;
}

void report(void (*progress)(float), float x) {
    if (progress) progress(x);
}

// --- objects ----------------------------------------------------------------

// Faces naming a vertex past the vertex array are dropped: every later stage
// (preparation, drawing, octree, lighting) indexes the vertices with them.
void dropInvalidFaces(Mesh* m) {
    if (!m->faces) return;
    int kept = 0;
    for (int f = 0; f < m->faceCount; ++f) {
        if (!m->isFaceValid(f)) continue;
        if (kept != f) {
            m->faces[kept] = m->faces[f];
            if (m->faceMaterials) m->faceMaterials[kept] = m->faceMaterials[f];
            if (m->smoothingGroups) m->smoothingGroups[kept] = m->smoothingGroups[f];
            if (m->faceFlags) m->faceFlags[kept] = m->faceFlags[f];
        }
        ++kept;
    }
    m->faceCount = kept;
}

// A chunk that can only stand at the file's top level: a sub-chunk loop that
// meets one has run past its chunk and leaves it to the top-level loop.
bool isTopLevel(unsigned id) {
    return id == kNamedObject || id == kMaterialEntry || id == kKeyframer || id == kEditor || id == Loader::mainChunkID;
}

struct ObjectParse {
    char name[kNameSize] = {0};
    bool hidden = false;
    Mesh* mesh = nullptr;
    Light* light = nullptr;
    Camera* camera = nullptr;
    bool meshOwned = false;  // the group took it
    bool lightOwned = false;
    bool cameraOwned = false;
};

template <class T>
void discard(T*& item, bool& owned) {
    if (!owned) delete item;
    item = nullptr;
    owned = false;
}

// Replaces slot with a new object named as the object chunk, which the
// group keeps when the load flags ask for its kind.
template <class T>
void startObject(ImportContext& c, const ObjectParse& o, T*& slot, bool& owned, int flag, int (OGroup::*add)(T*)) {
    discard(slot, owned);
    slot = new T();
    if (c.flags & flag) owned = (c.group->*add)(slot) == 0;
    slot->visible = !o.hidden;
    slot->setName(o.name);
}

void finishMesh(ImportContext& c, ObjectParse& o) {
    if (!o.mesh) return;
    dropInvalidFaces(o.mesh);
    if (o.meshOwned) unmirror(c, o.mesh);
}

void readVertices(Loader& in, Mesh* m) {
    int n = recordsPresent(in, static_cast<uint16_t>(in.getShort()), 12);
    m->createVertices(n);
    in.copyFloat(m->originalVertices, 3 * n);
}

uint16_t littleEndian16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Face records: three 16-bit corners and a 16-bit flag word whose low byte is
// kept. The records present are taken in one copy and decoded from it.
void readFaces(Loader& in, Mesh* m) {
    const int kRecord = 8;
    int n = recordsPresent(in, static_cast<uint16_t>(in.getShort()), kRecord);
    m->createFaces(n);
    std::vector<unsigned char> records(static_cast<size_t>(n) * kRecord);
    in.copyFloat(records.data(), 2 * n);
    const unsigned char* p = records.data();
    for (int f = 0; f < n; ++f, p += kRecord) {
        m->faces[f] = Facelist{littleEndian16(p), littleEndian16(p + 2), littleEndian16(p + 4)};
        m->faceFlags[f] = static_cast<char>(p[6]);
    }
}

int materialNumber(const ImportContext& c, const char* name) {
    TList* list = c.materials;
    if (!list) return 0;
    Material* m = list->seekMaterial(name);
    if (!m) m = list->seekMaterial(kDefaultMaterial);
    return m ? m->id : 0;
}

void readFaceMaterials(const ImportContext& c, Loader& in, Mesh* m) {
    char name[kNameSize];
    in.getString(name, kNameSize);
    int number = materialNumber(c, name);
    int count = recordsPresent(in, in.getShort(), 2);
    for (int k = 0; k < count; ++k) {
        int f = in.getShort();
        if (f >= 0 && f < m->faceCount && m->faceMaterials) m->faceMaterials[f] = number;
    }
}

// Coordinates past the vertex count are not stored; the caller skips them.
void readTextureCoords(Loader& in, Mesh* m) {
    int n = recordsPresent(in, static_cast<uint16_t>(in.getShort()), 8);
    if (m->textureCoords) in.copyFloat(m->textureCoords, 2 * std::min(n, m->vertexCount));
}

void readSmoothingGroups(Loader& in, Mesh* m) {
    int n = recordsPresent(in, m->faceCount, 4);
    in.copyFloat(m->smoothingGroups, n);  // 32-bit values, stored as the file has them
}

void readVector(Loader& in, Vertex3D& v) {
    v.x = in.getFloat();
    v.y = in.getFloat();
    v.z = in.getFloat();
}

void startMesh(ImportContext& c, ObjectParse& o) {
    finishMesh(c, o);
    startObject(c, o, o.mesh, o.meshOwned, kvxLoadMeshes, &OGroup::addMesh);
    if (o.meshOwned) registerMesh(c, o.mesh);
}

unsigned startLight(ImportContext& c, ObjectParse& o) {
    Loader& in = c.loader;
    startObject(c, o, o.light, o.lightOwned, kvxLoadLights, &OGroup::addLight);
    readVector(in, o.light->location);
    in.getChunkID();
    unsigned colorLength = in.end ? 0 : in.chunkLength;
    if (!in.end) readColor(in, o.light->color);
    return colorLength;
}

void startCamera(ImportContext& c, ObjectParse& o) {
    Loader& in = c.loader;
    startObject(c, o, o.camera, o.cameraOwned, kvxLoadCameras, &OGroup::addCamera);
    readVector(in, o.camera->eye);
    readVector(in, o.camera->target);
    o.camera->roll = in.getFloat();
    o.camera->lens = in.getFloat();
    o.camera->calcFOV();
}

// Handles one sub-chunk of a mesh; false when it is not a mesh chunk.
bool readMeshChunk(ImportContext& c, unsigned id, Mesh* m) {
    Loader& in = c.loader;
    switch (id) {
        case kVertexList: readVertices(in, m); return true;
        case kFaceMaterials: readFaceMaterials(c, in, m); return true;
        case kTextureCoords: readTextureCoords(in, m); return true;
        case kSmoothingGroups: readSmoothingGroups(in, m); return true;
        case kLocalAxes: readLocalAxes(c, m); return true;
        default: return false;
    }
}

// Named object of length L, cursor after its header. Returns true when the
// header read last belongs to the top level and still awaits handling.
bool parseObject(ImportContext& c, unsigned length) {
    Loader& in = c.loader;
    ObjectParse o;
    long long consumed = in.getString(o.name, kNameSize) + Loader::headerSize;
    bool pending = false;
    for (SubChunk sub; nextSubChunk(in, consumed, length, sub);) {
        const unsigned id = sub.id;
        const unsigned chunk = sub.length;
        if (isTopLevel(id)) {
            pending = !in.end;
            break;
        }
        switch (id) {
            case kObjectHidden:
                o.hidden = true;
                consumed += Loader::headerSize;
                break;
            case kTriangleObject:
                startMesh(c, o);
                consumed += Loader::headerSize;
                break;
            case kFaceList:
                if (!o.mesh) {
                    in.skipChunk();
                    consumed += chunk;
                    break;
                }
                readFaces(in, o.mesh);
                consumed += 8 + 8LL * o.mesh->faceCount;
                break;
            case kLight: consumed += 18 + startLight(c, o); break;
            case kLightInnerRange:
            case kLightOuterRange:
                if (o.light) (id == kLightInnerRange ? o.light->innerRange : o.light->outerRange) = in.getFloat();
                in.skipChunk();
                consumed += chunk;
                break;
            case kCamera:
                startCamera(c, o);
                in.skipChunk();
                consumed += chunk;
                break;
            default:
                if (o.mesh) readMeshChunk(c, id, o.mesh);
                in.skipChunk();
                consumed += chunk;
                break;
        }
    }
    finishMesh(c, o);
    discard(o.mesh, o.meshOwned);
    discard(o.light, o.lightOwned);
    discard(o.camera, o.cameraOwned);
    return pending;
}

// --- the top-level walk -----------------------------------------------------

void walkChunks(ImportContext& c, int fileSize, void (*progress)(float)) {
    Loader& in = c.loader;
    bool stop = false;
    bool pending = true;  // the main chunk's header was read by the format check
    while (!in.end && !stop) {
        if (!pending) in.getChunkID();
        pending = false;
        if (in.end && in.chunkLength == 0) break;
        unsigned id = in.chunkID;
        unsigned length = in.chunkLength;
        switch (id) {
            case Loader::mainChunkID:
            case kEditor: break;
            case kNamedObject: pending = parseObject(c, length); break;
            case kMaterialEntry:
                if ((c.flags & kvxLoadMaterials) && c.materials)
                    parseMaterial(c, length);
                else
                    in.skipChunk();
                break;
            case kKeyframer:
                if ((c.flags & kvxLoadKeyframer) && c.paths)
                    stop = parseKeyframer(c, length) != 0;
                else
                    in.skipChunk();
                break;
            default: in.skipChunk(); break;
        }
        report(progress, 0.5f * static_cast<float>(in.offset()) / static_cast<float>(fileSize));
    }
}

// --- after the walk -----------------------------------------------------------

// A parent chain that leads back to the object (a node that is its own
// parent, or a cycle) is cut at the object, so no walk up a chain loops.
void breakCycle(Object* o, int maxDepth) {
    Object* p = o->parent;
    for (int depth = 0; p && depth < maxDepth; ++depth, p = p->parent)
        if (p == o) {
            o->parent = nullptr;
            return;
        }
}

template <class T>
void breakCycles(T* const* list, int count, int maxDepth) {
    for (int i = 0; i < count; ++i) breakCycle(list[i], maxDepth);
}

void resolveHierarchy(ImportContext& c, OGroup* g) {
    resolveNodeParents(c);
    int objects = g->meshCount + g->lightCount + g->cameraCount + 1;
    breakCycles(g->meshes, g->meshCount, objects);
    breakCycles(g->lights, g->lightCount, objects);
    breakCycles(g->cameras, g->cameraCount, objects);
}

}  // namespace
}  // namespace kvx_import

using namespace kvx_import;

int load3ds(const char* file, OGroup* group, const char* textureDir, int flags, void (*progress)(float),
            const char* archive) {
    kvxPutToErrorLog(kMsgStartLoading, kCodeSceneStructure);
    if (!file || std::strlen(file) < 2 || !group) return kvxPutToErrorLog(kMsgCannotOpen, kCodeCannotOpen);

    FileBytes bytes;
    bool read = (flags & kvxLoadFromArchive) ? bytes.readArchive(file, archive) : bytes.readDisk(file);
    if (!read) return kvxPutToErrorLog(kMsgCannotOpen, kCodeCannotOpen);

    ImportContext c;
    c.loader.initData(bytes.data(), bytes.size());
    if (!c.loader.checkFormat()) return kvxPutToErrorLog(kMsgNotA3ds, kCodeNotA3ds);
    c.group = group;
    c.flags = flags;
    c.archive = archive;
    if (flags & kvxLoadMaterials) {
        TList* list = new TList();
        list->setBaseDirectory(textureDir ? textureDir : "");
        if (group->addTList(list) == 0)
            c.materials = list;
        else
            delete list;
    }
    if (flags & kvxLoadKeyframer) {
        PathList* list = new PathList();
        if (group->addPathList(list) == 0)
            c.paths = list;
        else
            delete list;
    }
    kvxPutToErrorLog(kMsgStartProcessing, kCodeSceneStructure);

    walkChunks(c, bytes.size(), progress);
    bytes.release();
    c.loader = Loader();  // the buffer is gone: no dangling cursor stays behind

    // Every stage reports its mark, run or not, so a progress bar reaches 1.
    if ((flags & kvxLoadMaterials) && c.materials) loadMaterialTextures(c, progress);
    report(progress, 0.7f);
    if (flags & kvxLoadMeshes) {
        bool nodesDraw = (flags & kvxLoadKeyframer) && c.keyframesRead;
        placeInOwnAxes(c, nodesDraw);
        prepareMeshes(c, progress);
        settlePlacement(c, nodesDraw, nodesDraw || group->animated);
    }
    report(progress, 0.9f);
    if (flags & kvxLoadKeyframer) resolveHierarchy(c, group);
    report(progress, 0.95f);
    if ((flags & kvxLoadKeyframer) && c.keyframesRead) group->animated = true;
    report(progress, 1.0f);
    if (flags & kvxLoadOctree) group->constructOctree();
    return 0;
}
