#ifndef KVX_IMPORT3DS_IMPORTSTATE_H
#define KVX_IMPORT3DS_IMPORTSTATE_H

// The context of one import, passed down to every parser: the cursor, the
// group being filled and what the parsers have made so far.

#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "import3ds/ChunkIds.h"
#include "import3ds/Loader.h"
#include "scene/KVXPath.h"

class Mesh;
class Object;
class OGroup;
class TList;
class PathList;
struct Color;

namespace kvx_import {

const int kNameSize = 256;  // object and material names, NUL included

// Track numbers and node types of the paths the keyframer makes.
const int kTrackPosition = KVXPath::trackPosition;
const int kTrackRotation = KVXPath::trackRotation;
const int kTrackScale = KVXPath::trackScale;
const int kNodeObject = KVXPath::nodeObject;
const int kNodeLight = KVXPath::nodeLight;
const int kNodeCamera = KVXPath::nodeCamera;
const int kNodeTarget = KVXPath::nodeTarget;

// A mesh of this import with its local axes (chunk 0x4160): rows x, y, z and
// the origin, mapping the mesh's own frame to the stored vertices.
struct MeshAxes {
    Mesh* mesh;
    float axes[12];
    bool placedByNode;                 // a keyframer node draws it
    const Mesh* instanceOf = nullptr;  // the file's mesh this one copies
};

// One keyframer node: its number, its parent's number and what it moves.
struct NodeRecord {
    int number;
    int parent;
    Object* object;
};

struct ImportContext {
    Loader loader;
    OGroup* group = nullptr;
    TList* materials = nullptr;  // current material list
    PathList* paths = nullptr;   // current path list
    bool keyframesRead = false;
    int flags = 0;
    const char* archive = nullptr;
    std::vector<MeshAxes> meshes;                          // every mesh this import made, in order
    std::vector<NodeRecord> nodes;                         // every node that moves an object, in file order
    std::unordered_map<const Object*, size_t> meshRecord;  // index in meshes
    std::unordered_set<const Object*> drawn;               // the objects of nodes
};

using namespace kvx_chunk;  // the chunk ids, unqualified in the parsers

// A sub-chunk header of a chunk walk.
struct SubChunk {
    unsigned id;
    unsigned length;  // header included
};

// The head of every sub-chunk loop: while fewer than `length` bytes of the
// enclosing chunk are consumed and the buffer has more, reads the next
// header into sub and answers true.
inline bool nextSubChunk(Loader& in, long long consumed, long long length, SubChunk& sub) {
    if (consumed >= length || in.end) return false;
    in.getChunkID();
    sub = SubChunk{in.chunkID, in.chunkLength};
    return true;
}

// Reads the colour sub-chunk whose header was just read into out.
void readColor(Loader& in, Color& out);
// Material entry of length L (header included), cursor after its header.
void parseMaterial(ImportContext& c, unsigned length);
// Loads and uploads the textures of the current material list.
void loadMaterialTextures(ImportContext& c, void (*progress)(float));
// Keyframer chunk of length L; 0, or 37 after a failure.
int parseKeyframer(ImportContext& c, unsigned length);

// Mesh placement by local axes (ImportPlacement.cpp).
MeshAxes* axesOf(ImportContext& c, const Object* object);
// Records a new mesh of this import (identity axes until 0x4160 is read).
void registerMesh(ImportContext& c, Mesh* mesh);
// Reads the 12 floats of a local-axes chunk for the mesh.
void readLocalAxes(ImportContext& c, Mesh* mesh);
// A mirrored mesh (negative determinant) is mirrored back along its own x
// axis, faces turned so they keep facing out.
void unmirror(ImportContext& c, Mesh* mesh);
// Before preparation: meshes drawn by a node are put into their own frame
// (only when the keyframer was read whole: else nothing animates them).
void placeInOwnAxes(ImportContext& c, bool nodesDraw);
// After preparation: pivots of those meshes follow the centring; meshes no
// node draws keep their stored place in an animated group.
void settlePlacement(ImportContext& c, bool nodesDraw, bool animated);
// Parents by node number, for the objects of this import's nodes.
void resolveNodeParents(ImportContext& c);

// Prepares every mesh of the group (ImportPreparation.cpp).
void prepareMeshes(ImportContext& c, void (*progress)(float));

}  // namespace kvx_import

#endif
