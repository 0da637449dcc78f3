#ifndef KVX_SCENE_KVXPATH_H
#define KVX_SCENE_KVXPATH_H

// Keyframe tracks: a KVXPath is one track (position, rotation, scalar or scale) of one
// object; a PathList holds the tracks and pivots of one loaded animation.

#include <cstdint>

#include "core/Types.h"

class Object;

// One key of a track: its frame, value, spline parameters and tangents.
struct Key {
    Vertex3D position;
    Vertex3D axis;
    float angle;  // degrees, relative to the previous key
    float value;
    int32_t frame;
    float tension;
    float continuity;
    float bias;
    float inTangent[4];  // x, y, z, angle
    float outTangent[4];
};

class KVXPath {
public:
    static constexpr int32_t closingFrame = 65535;
    // Values of track and nodeType.
    static constexpr int32_t trackPosition = 0;
    static constexpr int32_t trackRotation = 1;
    static constexpr int32_t trackScalar = 2;
    static constexpr int32_t trackScale = 3;
    static constexpr int32_t nodeObject = 5;
    static constexpr int32_t nodeLight = 6;
    static constexpr int32_t nodeCamera = 7;
    static constexpr int32_t nodeTarget = 8;

    Key* keys;         // owned, keyCount entries
    int32_t keyCount;  // real keys plus one closing key
    int32_t nodeType;  // 5 object, 6 light, 7 camera, 8 camera target
    int32_t track;     // 0 position, 1 rotation, 2 scalar, 3 scale (x, y, z in position)
    Object* object;    // not owned

    // A track of object with room for n keys.
    KVXPath(int n, int nodeType, int track, Object* object);
    // A track of object with no keys yet.
    KVXPath(int nodeType, int track, Object* object);
    ~KVXPath();

    // Makes room for n keys and the closing key, dropping any keys held.
    void initKeys(int n);
    // Sets key k of a scalar track.
    void set(int k, float value, int frame);
    // Sets key k of a position track to (a, b, c).
    void set(int k, float c, float b, float a, int frame);
    // Sets key k of a rotation track: axis (a, b, c) and angle in degrees.
    void set(int k, float c, float b, float a, float angle, int frame);
    // Computes every key's spline tangents from its tension, continuity and bias.
    void calcTans();
    // Returns the track's value at frame t, interpolated between its keys.
    Key interpolateKey(float t);

private:
    KVXPath(const KVXPath&) = delete;
    KVXPath& operator=(const KVXPath&) = delete;

    Key* beginKey(int k, int frame);
    void closeAfter(int k);
};

// The pivot of one object.
struct PivotPoint {
    Vertex3D point;
    Object* object;
};

// The tracks and pivots of one loaded animation, and its frame range.
class PathList {
public:
    static constexpr int maxPaths = 4096;

    KVXPath* paths[maxPaths];  // owned
    PivotPoint* pivots;        // owned, pivotCapacity entries
    int32_t pathCount;
    int32_t pivotCount;
    int32_t startFrame;
    int32_t endFrame;
    int32_t frameCount;
    bool clampFrames;
    int32_t pivotCapacity;

    PathList();
    ~PathList();

    // Adds p (owned from now on); returns 0, or an error code when the list is full.
    int addPath(KVXPath* p);
    // Deletes track i; returns 0, or an error code when there is none.
    int delPath(int i);
    // Returns the first track of o, or null.
    KVXPath* findPath(Object* o);
    // Makes room for n pivots, dropping any held.
    void initPivots(int n);
    // Records the pivot of o; dropped when the room is full.
    void addPivotPoint(Object* o, Vertex3D* point);

private:
    PathList(const PathList&) = delete;
    PathList& operator=(const PathList&) = delete;
};

#endif
