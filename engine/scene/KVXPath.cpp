#include "scene/KVXPath.h"

#include <cmath>
#include <cstring>

#include "render/ErrorLog.h"
#include "scene/SceneMessages.h"

namespace {
const float kDefaultTension = 0.9f;
const float kClosingTension = 0.5f;
const float kNeutral = 0.5f;  // continuity and bias of every key set

Key* newZeroedKeys(int count) {
    if (count <= 0) return nullptr;
    Key* k = new Key[count];
    memset(k, 0, sizeof(Key) * static_cast<size_t>(count));
    return k;
}

// Kochanek-Bartels tangent coefficients of one key.
struct TcbWeights {
    double a, b, a2, b2;
};

TcbWeights weightsOf(const Key& k) {
    double t = 1.0 - k.tension;
    double c = k.continuity;
    double bias = k.bias;
    return {0.5 * t * (1.0 - c) * (1.0 + bias), t * (1.0 + c) * (1.0 - bias), 0.5 * t * (1.0 + c) * (1.0 + bias),
            t * (1.0 - c) * (1.0 - bias)};
}

// Corrects the tangents of a key for uneven spacing of its neighbours; keys
// whose intervals are not both forward (the wrap of the closed path) keep
// the even-spacing tangents.
void scaleForSpacing(Key& k, int prevFrame, int nextFrame) {
    double before = static_cast<double>(k.frame) - prevFrame;
    double after = static_cast<double>(nextFrame) - k.frame;
    if (before <= 0.0 || after <= 0.0) return;
    double inScale = 2.0 * before / (before + after);
    double outScale = 2.0 * after / (before + after);
    for (int c = 0; c < 4; ++c) {
        k.inTangent[c] = static_cast<float>(k.inTangent[c] * inScale);
        k.outTangent[c] = static_cast<float>(k.outTangent[c] * outScale);
    }
}

void tangentsFor(Key& k, const float* prev, const float* cur, const float* next, const TcbWeights& w) {
    for (int c = 0; c < 3; ++c) {
        double back = static_cast<double>(cur[c]) - prev[c];
        double ahead = static_cast<double>(next[c]) - cur[c];
        k.inTangent[c] = static_cast<float>(back * w.a + ahead * w.b);
        k.outTangent[c] = static_cast<float>(back * w.a2 + ahead * w.b2);
    }
}

const float* axisOf(const Key& k) { return &k.axis.x; }
const float* positionOf(const Key& k) { return &k.position.x; }
}  // namespace

KVXPath::KVXPath(int n, int type, int trk, Object* obj)
    : keys(nullptr), keyCount(0), nodeType(type), track(trk), object(obj) {
    initKeys(n);
}

KVXPath::KVXPath(int type, int trk, Object* obj)
    : keys(nullptr), keyCount(0), nodeType(type), track(trk), object(obj) {}

KVXPath::~KVXPath() {
    delete[] keys;
    keys = nullptr;
    keyCount = 0;
    nodeType = 0;
    object = nullptr;
}

void KVXPath::initKeys(int n) {
    delete[] keys;
    if (n < 0) n = 0;
    keyCount = n + 1;
    keys = newZeroedKeys(keyCount);
}

Key* KVXPath::beginKey(int k, int frame) {
    if (k < 0 || k >= keyCount) return nullptr;
    Key* key = &keys[k];
    key->frame = frame;
    key->tension = kDefaultTension;
    key->continuity = kNeutral;
    key->bias = kNeutral;
    return key;
}

// The key after k repeats k's values at the closing frame, so searches along
// the path always stop; the next set overwrites it.
void KVXPath::closeAfter(int k) {
    if (k + 1 >= keyCount) return;
    keys[k + 1] = keys[k];
    keys[k + 1].frame = closingFrame;
    keys[k + 1].tension = kClosingTension;
    keys[k + 1].continuity = kClosingTension;
    keys[k + 1].bias = kClosingTension;
}

void KVXPath::set(int k, float value, int frame) {
    Key* key = beginKey(k, frame);
    if (!key) return;
    key->value = value;
    closeAfter(k);
}

void KVXPath::set(int k, float c, float b, float a, int frame) {
    Key* key = beginKey(k, frame);
    if (!key) return;
    key->position = {a, b, c};
    closeAfter(k);
}

void KVXPath::set(int k, float c, float b, float a, float angle, int frame) {
    Key* key = beginKey(k, frame);
    if (!key) return;
    key->axis = {a, b, c};
    key->angle = angle;
    closeAfter(k);
}

void KVXPath::calcTans() {
    int n = keyCount;
    for (int k = 0; k < n; ++k) {
        const Key& prev = keys[k == 0 ? n - 1 : k - 1];
        const Key& next = keys[k == n - 1 ? 0 : k + 1];
        Key& cur = keys[k];
        TcbWeights w = weightsOf(cur);
        // Axis first, then position into the same slots: a track holds one.
        tangentsFor(cur, axisOf(prev), axisOf(cur), axisOf(next), w);
        tangentsFor(cur, positionOf(prev), positionOf(cur), positionOf(next), w);
        double ahead = static_cast<double>(next.angle) - cur.angle;
        cur.inTangent[3] = static_cast<float>(ahead * w.b + cur.angle * w.a);
        cur.outTangent[3] = static_cast<float>(ahead * w.b2 + cur.angle * w.a2);
        if (n > 1) scaleForSpacing(cur, prev.frame, next.frame);
    }
}

Key KVXPath::interpolateKey(float t) {
    Key out;
    memset(&out, 0, sizeof out);
    if (keyCount <= 0) return out;
    int i = 0;
    for (int k = 0; k < keyCount; ++k)
        if (keys[k].frame <= t) i = k;
    const Key& k0 = keys[i];
    // Past the last key, or keys sharing a frame: hold the key's own values.
    bool segment = i + 1 < keyCount && keys[i + 1].frame > k0.frame;
    const Key& k1 = segment ? keys[i + 1] : k0;
    double u = segment ? (t - k0.frame) / (static_cast<double>(k1.frame) - k0.frame) : 0.0;
    if (u < 0.0) u = 0.0;  // before the first key: no extrapolation
    double u2 = pow(u, 2.0), u3 = pow(u, 3.0);
    double h1 = 2 * u3 - 3 * u2 + 1, h2 = 3 * u2 - 2 * u3;
    double h3 = u3 - 2 * u2 + u, h4 = u3 - u2;
    const float* p0 = positionOf(k0);
    const float* p1 = positionOf(k1);
    const float* a0 = axisOf(k0);
    const float* a1 = axisOf(k1);
    float* po = &out.position.x;
    float* ao = &out.axis.x;
    for (int c = 0; c < 3; ++c) {
        double tan = h3 * k0.outTangent[c] + h4 * k1.inTangent[c];
        po[c] = static_cast<float>(h1 * p0[c] + h2 * p1[c] + tan);
        ao[c] = static_cast<float>(h1 * a0[c] + h2 * a1[c] + tan);
    }
    out.angle = static_cast<float>(h1 * k0.angle + h2 * k1.angle + h3 * k0.outTangent[3] + h4 * k1.inTangent[3]);
    return out;
}

PathList::PathList()
    : pivots(nullptr), pathCount(0), pivotCount(0), startFrame(0), endFrame(0), frameCount(0), clampFrames(false),
      pivotCapacity(0) {
    for (KVXPath*& p : paths) p = nullptr;
}

PathList::~PathList() {
    for (int i = 0; i < pathCount; ++i) {
        delete paths[i];
        paths[i] = nullptr;
    }
    pathCount = 0;
    delete[] pivots;
}

int PathList::addPath(KVXPath* p) {
    if (pathCount >= maxPaths) return kvxPutToErrorLog(kMsgPathListFull, kCodePathListFull);
    paths[pathCount++] = p;
    return 0;
}

int PathList::delPath(int i) {
    if (i < 0 || i >= pathCount || !paths[i]) return kvxPutToErrorLog(kMsgPathNull, kCodePathNull);
    delete paths[i];
    for (int k = i; k + 1 < pathCount; ++k) paths[k] = paths[k + 1];
    paths[--pathCount] = nullptr;
    return 0;
}

KVXPath* PathList::findPath(Object* o) {
    for (int i = 0; i < pathCount; ++i)
        if (paths[i] && paths[i]->object == o) return paths[i];
    return nullptr;
}

void PathList::initPivots(int n) {
    delete[] pivots;
    pivots = nullptr;
    pivotCapacity = n > 0 ? n : 0;
    if (pivotCapacity > 0) {
        pivots = new PivotPoint[pivotCapacity];
        memset(pivots, 0, sizeof(PivotPoint) * static_cast<size_t>(pivotCapacity));
    }
    pivotCount = 0;
}

// The array sized by initPivots grows when an import adds objects (dummies,
// instances) after sizing it.
void PathList::addPivotPoint(Object* o, Vertex3D* point) {
    if (!point) return;
    if (pivotCount >= pivotCapacity) {
        int capacity = pivotCapacity > 0 ? 2 * pivotCapacity : 16;
        PivotPoint* grown = new PivotPoint[capacity];
        memset(grown, 0, sizeof(PivotPoint) * static_cast<size_t>(capacity));
        for (int i = 0; i < pivotCount; ++i) grown[i] = pivots[i];
        delete[] pivots;
        pivots = grown;
        pivotCapacity = capacity;
    }
    pivots[pivotCount].point = *point;
    pivots[pivotCount].object = o;
    ++pivotCount;
}
