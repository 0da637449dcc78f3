#include <gtest/gtest.h>

#include <string>

#include "console/Console.h"
#include "render/ErrorLog.h"
#include "scene/KVXPath.h"
#include "scene/Object.h"
#include "scene/SceneMessages.h"

namespace {

const float kEps = 1e-4f;

// A position path with real keys at the given frames and x positions.
KVXPath* positionPath(const int* frames, const float* xs, int n, Object* o = nullptr) {
    KVXPath* p = new KVXPath(n, 5, 0, o);
    for (int k = 0; k < n; ++k) p->set(k, 0.0f, 0.0f, xs[k], frames[k]);
    return p;
}

// Captures what the error log writes while alive.
struct LogCapture {
    Console console;
    LogCapture() {
        console.getText(nullptr);
        kvxInitErrorLog(&console);
    }
    ~LogCapture() { kvxInitErrorLog(3); }
    std::string text() {
        static char buf[Console::textSize];
        console.getText(buf);
        return buf;
    }
};

TEST(KVXPath, KeysAndClosingKey) {
    Object obj;
    KVXPath p(3, 5, 0, &obj);
    EXPECT_EQ(p.keyCount, 4);
    EXPECT_EQ(p.nodeType, 5);
    EXPECT_EQ(p.track, 0);
    EXPECT_EQ(p.object, &obj);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(p.keys[k].frame, 0);

    p.set(0, 3, 2, 1, 10);
    EXPECT_EQ(p.keys[0].position.x, 1.0f);
    EXPECT_EQ(p.keys[0].position.y, 2.0f);
    EXPECT_EQ(p.keys[0].position.z, 3.0f);
    EXPECT_EQ(p.keys[0].frame, 10);
    EXPECT_FLOAT_EQ(p.keys[0].tension, 0.9f);
    EXPECT_FLOAT_EQ(p.keys[0].continuity, 0.5f);
    EXPECT_FLOAT_EQ(p.keys[0].bias, 0.5f);
    p.set(1, 6, 5, 4, 20);
    p.set(2, 9, 8, 7, 30);
    const Key& closing = p.keys[3];
    EXPECT_EQ(closing.frame, 65535);
    EXPECT_EQ(closing.position.x, 7.0f);
    EXPECT_EQ(closing.position.z, 9.0f);
    EXPECT_FLOAT_EQ(closing.tension, 0.5f);
    EXPECT_FLOAT_EQ(closing.continuity, 0.5f);
    EXPECT_FLOAT_EQ(closing.bias, 0.5f);

    // Keys outside the array are ignored; the closing key itself has no successor.
    p.set(4, 1, 1, 1, 5);
    p.set(-1, 1, 1, 1, 5);
    p.set(3, 0, 0, 42, 40);
    EXPECT_EQ(p.keys[3].position.x, 42.0f);

    KVXPath r(2, 5, 1, &obj);
    r.set(0, 3, 2, 1, 45.0f, 0);
    EXPECT_EQ(r.keys[0].axis.x, 1.0f);
    EXPECT_EQ(r.keys[0].axis.z, 3.0f);
    EXPECT_EQ(r.keys[0].angle, 45.0f);
    EXPECT_EQ(r.keys[1].angle, 45.0f);
    EXPECT_EQ(r.keys[1].frame, 65535);

    KVXPath s(1, 7, 2, &obj);
    s.set(0, 12.5f, 3);
    EXPECT_EQ(s.keys[0].value, 12.5f);
    EXPECT_EQ(s.keys[1].value, 12.5f);
    EXPECT_EQ(s.keys[1].frame, 65535);

    KVXPath empty(5, 0, &obj);
    EXPECT_EQ(empty.keyCount, 0);
    EXPECT_EQ(empty.keys, nullptr);
    empty.initKeys(2);
    EXPECT_EQ(empty.keyCount, 3);
    empty.initKeys(0);
    EXPECT_EQ(empty.keyCount, 1);
}

TEST(KVXPath, TangentCoefficientsAndWrap) {
    const int frames[] = {0, 10, 20};
    const float xs[] = {0, 10, 30};
    KVXPath* p = positionPath(frames, xs, 3);
    p->calcTans();
    // Default tension 0.9, continuity/bias 0.5: a=0.0375 b=0.075 a'=0.1125 b'=0.025.
    const Key& k1 = p->keys[1];
    EXPECT_NEAR(k1.inTangent[0], 10 * 0.0375f + 20 * 0.075f, kEps);
    EXPECT_NEAR(k1.outTangent[0], 10 * 0.1125f + 20 * 0.025f, kEps);
    EXPECT_NEAR(k1.inTangent[1], 0.0f, kEps);

    // The path is closed: the first key's predecessor is the closing key (x=30),
    // and the wrap interval is not used to rescale.
    const Key& k0 = p->keys[0];
    EXPECT_NEAR(k0.inTangent[0], -30 * 0.0375f + 10 * 0.075f, kEps);
    EXPECT_NEAR(k0.outTangent[0], -30 * 0.1125f + 10 * 0.025f, kEps);

    for (int k = 0; k < p->keyCount; ++k) {
        p->keys[k].tension = p->keys[k].continuity = p->keys[k].bias = 0.0f;
    }
    p->calcTans();  // a = a' = 0.5, b = b' = 1
    EXPECT_NEAR(p->keys[1].inTangent[0], 10 * 0.5f + 20, kEps);
    EXPECT_NEAR(p->keys[1].outTangent[0], 10 * 0.5f + 20, kEps);
    delete p;

    // Uneven neighbours: in-tangent scaled by 2*10/30, out-tangent by 2*20/30.
    const int uneven[] = {0, 10, 30};
    p = positionPath(uneven, xs, 3);
    for (int k = 0; k < p->keyCount; ++k) {
        p->keys[k].tension = p->keys[k].continuity = p->keys[k].bias = 0.0f;
    }
    p->calcTans();
    EXPECT_NEAR(p->keys[1].inTangent[0], 25.0f * 2 / 3, 1e-3f);
    EXPECT_NEAR(p->keys[1].outTangent[0], 25.0f * 4 / 3, 1e-3f);
    delete p;

    KVXPath r(2, 5, 1, nullptr);
    r.set(0, 0, 0, 1, 10.0f, 0);
    r.set(1, 0, 0, 1, 30.0f, 10);
    for (int k = 0; k < r.keyCount; ++k) {
        r.keys[k].tension = r.keys[k].continuity = r.keys[k].bias = 0.0f;
    }
    r.calcTans();
    // angle tangent of key 0: (angle_n - angle_k)*b + angle_k*a, unscaled at the wrap
    EXPECT_NEAR(r.keys[0].inTangent[3], (30 - 10) * 1.0f + 10 * 0.5f, kEps);
    EXPECT_NEAR(r.keys[0].outTangent[3], (30 - 10) * 1.0f + 10 * 0.5f, kEps);
}

TEST(KVXPath, InterpolationEdges) {
    const int frames[] = {0, 10, 20};
    const float xs[] = {0, 10, 30};
    KVXPath* p = positionPath(frames, xs, 3);
    // Without tangents the curve is the smoothstep blend of the two keys.
    EXPECT_NEAR(p->interpolateKey(0).position.x, 0.0f, kEps);
    EXPECT_NEAR(p->interpolateKey(10).position.x, 10.0f, kEps);
    EXPECT_NEAR(p->interpolateKey(20).position.x, 30.0f, kEps);
    EXPECT_NEAR(p->interpolateKey(5).position.x, 5.0f, kEps);
    EXPECT_NEAR(p->interpolateKey(12.5f).position.x, 10 + 20 * 0.15625f, kEps);
    // Before the first key and between the last key and the closing key.
    EXPECT_NEAR(p->interpolateKey(-5).position.x, 0.0f, 1e-2f);
    EXPECT_NEAR(p->interpolateKey(1000).position.x, 30.0f, kEps);
    // At and beyond the closing key the last values hold.
    EXPECT_NEAR(p->interpolateKey(65535).position.x, 30.0f, kEps);
    EXPECT_NEAR(p->interpolateKey(70000).position.x, 30.0f, kEps);

    p->calcTans();
    EXPECT_NEAR(p->interpolateKey(10).position.x, 10.0f, kEps);
    EXPECT_NEAR(p->interpolateKey(20).position.x, 30.0f, kEps);
    delete p;

    // A single key with no closing slot, and keys sharing one frame.
    KVXPath one(0, 5, 0, nullptr);
    one.set(0, 0, 0, 4.0f, 3);
    EXPECT_EQ(one.keyCount, 1);
    EXPECT_NEAR(one.interpolateKey(3).position.x, 4.0f, kEps);
    EXPECT_NEAR(one.interpolateKey(100).position.x, 4.0f, kEps);

    const int same[] = {5, 5};
    const float vals[] = {1, 2};
    p = positionPath(same, vals, 2);
    Key k = p->interpolateKey(5);
    EXPECT_TRUE(k.position.x == 2.0f) << k.position.x;
    delete p;

    KVXPath none(5, 0, nullptr);
    k = none.interpolateKey(1);
    EXPECT_EQ(k.position.x, 0.0f);

    KVXPath rot(1, 5, 1, nullptr);
    rot.set(0, 3, 2, 1, 90.0f, 0);
    k = rot.interpolateKey(0);
    EXPECT_NEAR(k.axis.x, 1.0f, kEps);
    EXPECT_NEAR(k.axis.z, 3.0f, kEps);
    EXPECT_NEAR(k.angle, 90.0f, kEps);
}

TEST(PathList, AddDeleteFind) {
    LogCapture log;
    Object a, b;
    PathList* list = new PathList;
    EXPECT_EQ(list->pathCount, 0);
    EXPECT_EQ(list->pivots, nullptr);

    KVXPath* p0 = new KVXPath(1, 5, 0, &a);
    KVXPath* p1 = new KVXPath(1, 5, 1, &a);
    KVXPath* p2 = new KVXPath(1, 5, 0, &b);
    EXPECT_EQ(list->addPath(p0), 0);
    EXPECT_EQ(list->addPath(p1), 0);
    EXPECT_EQ(list->addPath(p2), 0);
    EXPECT_EQ(list->findPath(&a), p0);
    EXPECT_EQ(list->findPath(&b), p2);
    EXPECT_EQ(list->findPath(nullptr), nullptr);

    EXPECT_EQ(list->delPath(0), 0);
    EXPECT_EQ(list->pathCount, 2);
    EXPECT_EQ(list->paths[0], p1);
    EXPECT_EQ(list->paths[1], p2);
    EXPECT_EQ(list->paths[2], nullptr);
    EXPECT_EQ(list->findPath(&a), p1);

    EXPECT_EQ(list->delPath(2), kCodePathNull);
    EXPECT_EQ(list->delPath(-1), kCodePathNull);
    EXPECT_EQ(list->pathCount, 2);
    EXPECT_EQ(log.text(), "Path used in functioncall is NULL!\nPath used in functioncall is NULL!\n");

    list->initPivots(2);
    Vertex3D v = {1, 2, 3};
    list->addPivotPoint(&a, &v);
    list->addPivotPoint(&b, &v);
    list->addPivotPoint(&a, &v);  // beyond the sized array: the array grows
    EXPECT_EQ(list->pivotCount, 3);
    EXPECT_EQ(list->pivots[1].object, &b);
    EXPECT_EQ(list->pivots[1].point.z, 3.0f);
    EXPECT_EQ(list->pivots[2].object, &a);
    list->initPivots(1);
    EXPECT_EQ(list->pivotCount, 0);
    delete list;
}

TEST(PathList, CapacityIsFourThousandNinetySix) {
    LogCapture log;
    PathList* list = new PathList;
    for (int i = 0; i < PathList::maxPaths; ++i) ASSERT_EQ(list->addPath(new KVXPath(0, 5, 0, nullptr)), 0);
    EXPECT_EQ(log.text(), "");
    KVXPath* extra = new KVXPath(0, 5, 0, nullptr);
    EXPECT_EQ(list->addPath(extra), kCodePathListFull);
    EXPECT_EQ(list->pathCount, 4096);
    EXPECT_EQ(log.text(),
              "PathList is full (KVXPath) create another PathList or increase number of "
              "maxPaths\n");
    delete extra;
    delete list;
}

}  // namespace
