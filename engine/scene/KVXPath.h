#ifndef KVX_SCENE_KVXPATH_H
#define KVX_SCENE_KVXPATH_H

// Keyframe tracks: a KVXPath is one track (position, rotation, scalar or scale) of one
// object; a PathList holds the tracks and pivots of one loaded animation.

#include <cstdint>

#include "core/Types.h"

class Object;

struct Key {
    Vertex3D position;
    Vertex3D axis;
    float angle;  // degrees, relative to the previous key
    float value;
    int32_t frame;
    float tension;
    float continuity;
    float bias;
    float inTangent[4];   // x, y, z, angle
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

    Key* keys;        // owned, keyCount entries
    int32_t keyCount; // real keys plus one closing key
    int32_t nodeType; // 5 object, 6 light, 7 camera, 8 camera target
    int32_t track;    // 0 position, 1 rotation, 2 scalar, 3 scale (x, y, z in position)
    Object* object;   // not owned

    KVXPath(int n, int nodeType, int track, Object* object);
    KVXPath(int nodeType, int track, Object* object);
    ~KVXPath();

    void initKeys(int n);
    void set(int k, float value, int frame);
    void set(int k, float c, float b, float a, int frame);
    void set(int k, float c, float b, float a, float angle, int frame);
    void calcTans();
    Key interpolateKey(float t);

private:
    KVXPath(const KVXPath&) = delete;
    KVXPath& operator=(const KVXPath&) = delete;

    Key* beginKey(int k, int frame);
    void closeAfter(int k);
};

struct PivotPoint {
    Vertex3D point;
    Object* object;
};

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

    int addPath(KVXPath* p);
    int delPath(int i);
    KVXPath* findPath(Object* o);
    void initPivots(int n);
    void addPivotPoint(Object* o, Vertex3D* point);

private:
    PathList(const PathList&) = delete;
    PathList& operator=(const PathList&) = delete;
};

#endif
