// Frames, track interpolation, relative rotation keys, hierarchy and pinning.

#include <cmath>

#include "GroupTestSupport.h"

using namespace kvxtest;

namespace {

const float kEps = 1e-4f;

TEST(Animation, SetCurrentFrameWrapsOrClamps) {
    OGroup g;
    g.frameCount = 100;
    g.setCurrentFrame(250);
    EXPECT_EQ(g.currentFrame, 50);
    g.setCurrentFrame(-1);
    EXPECT_EQ(g.currentFrame, -1);
    g.setCurrentFrame(99);
    EXPECT_EQ(g.currentFrame, 99);
    g.clampFrames = true;
    g.setCurrentFrame(250);
    EXPECT_EQ(g.currentFrame, 99);
    g.setCurrentFrame(100);
    EXPECT_EQ(g.currentFrame, 99);
    g.setCurrentFrame(42);
    EXPECT_EQ(g.currentFrame, 42);
    g.frameCount = 0;
    g.setCurrentFrame(7);
    EXPECT_EQ(g.currentFrame, 0);
}

TEST(Animation, PositionTracksInterpolateLinearly) {
    kvxtest::window();
    OGroup g;
    Mesh* m = unitTriangle("m");
    g.addMesh(m);
    animate(g, 100)->addPath(xPath(m, {{0, 0.0f}, {10, 10.0f}}));
    const int frames[] = {0, 5, 40};
    const float xs[] = {0.0f, 5.0f, 10.0f};
    for (int i = 0; i < 3; ++i) {
        g.setCurrentFrame(frames[i]);
        // No rotation track: the pivot is not subtracted either.
        EXPECT_NEAR(placed(g, m, Vertex3D{0, 0, 0}).x, xs[i], kEps) << frames[i];
    }
    // A single key is used without searching.
    OGroup h;
    Mesh* n = unitTriangle("n");
    h.addMesh(n);
    animate(h, 100)->addPath(xPath(n, {{20, 3.0f}}));
    h.setCurrentFrame(90);
    EXPECT_NEAR(placed(h, n, Vertex3D{0, 0, 0}).x, 3.0f, kEps);
}

TEST(Animation, RotationKeysAreRelativeAndAccumulate) {
    kvxtest::window();
    OGroup g;
    Mesh* m = unitTriangle("m");
    g.addMesh(m);
    animate(g, 100)->addPath(zTurns(m, {{0, 90.0f}, {10, 90.0f}}));
    // Frame 5: half of the second key, then the whole first, about -z.
    g.setCurrentFrame(5);
    Vertex3D p = placed(g, m, Vertex3D{1, 0, 0});
    EXPECT_NEAR(p.x, std::cos(-135.0 * M_PI / 180.0), kEps);
    EXPECT_NEAR(p.y, std::sin(-135.0 * M_PI / 180.0), kEps);
    // At and long after the last key: both keys in full, no creeping on.
    for (int f : {10, 60, 99}) {
        g.setCurrentFrame(f);
        p = placed(g, m, Vertex3D{1, 0, 0});
        EXPECT_NEAR(p.x, -1.0f, kEps) << f;
        EXPECT_NEAR(p.y, 0.0f, kEps) << f;
    }
    g.setCurrentFrame(0);  // at the first key: nothing of the second yet
    p = placed(g, m, Vertex3D{1, 0, 0});
    EXPECT_NEAR(p.x, 0.0f, kEps);
    EXPECT_NEAR(p.y, -1.0f, kEps);
}

TEST(Animation, ManyKeysComposeExactly) {
    kvxtest::window();
    OGroup g;
    Mesh* m = unitTriangle("m");
    g.addMesh(m);
    KVXPath* turns = new KVXPath(31, 5, 1, m);
    for (int k = 0; k <= 30; ++k) turns->set(k, 0.6f, 0.0f, 0.8f, 7.0f, 10 * k);  // axis (0.8, 0, 0.6)
    animate(g, 400)->addPath(turns);
    g.setCurrentFrame(350);
    float got[16];
    g.getObjectAnimatedMatrix(m, got);
    kvxPushMatrix();
    kvxInitMatrix();
    kvxRotate(31 * 7.0f, -0.8f, 0.0f, -0.6f);
    float want[16];
    kvxGetModelViewMatrix(want);
    kvxPopMatrix();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(got[i], want[i], 1e-3f) << i;
}

TEST(Animation, PivotAndParentsPlaceTheMesh) {
    kvxtest::window();
    OGroup g;
    Mesh* parent = unitTriangle("parent");
    Mesh* child = unitTriangle("child");
    g.addMesh(parent);
    g.addMesh(child);
    child->parent = parent;
    child->pivot = Vertex3D{1, 0, 0};
    parent->pivot = Vertex3D{50, 50, 50};  // a parent's pivot is not subtracted
    PathList* list = animate(g, 100);
    list->addPath(xPath(parent, {{0, 5.0f}}));
    list->addPath(zTurns(parent, {{0, 0.0f}}));
    list->addPath(xPath(child, {{0, 2.0f}}));
    list->addPath(zTurns(child, {{0, 0.0f}}));
    g.setCurrentFrame(3);
    EXPECT_NEAR(placed(g, child, Vertex3D{0, 0, 0}).x, 6.0f, kEps);  // 5 + 2 - 1

    // A loop built by hand ends at the depth limit instead of recursing forever.
    parent->parent = child;
    placed(g, child, Vertex3D{0, 0, 0});

    g.animated = false;
    child->position = Vertex3D{0, 0, 4};
    child->rotation = Vertex3D{0, 0, 90};
    // position, -pivot, rotation, +pivot: (1, 0, 0) -> (2, 0, 0) -> (0, 2, 0) -> (-1, 2, 0).
    Vertex3D p = placed(g, child, Vertex3D{1, 0, 0});
    EXPECT_NEAR(p.x, -1.0f, kEps);
    EXPECT_NEAR(p.y, 2.0f, kEps);
    EXPECT_NEAR(p.z, 4.0f, kEps);

    OGroup none;
    none.animated = true;
    EXPECT_EQ(none.doAnimation(child, child), 34);
}

TEST(Animation, CameraFollowsItsEyeAndTargetPaths) {
    OGroup g;
    Camera* c = new Camera();
    g.addCamera(c);
    PathList* list = animate(g, 100);
    KVXPath* eye = new KVXPath(2, 7, 0, c);
    eye->set(0, 0.0f, 0.0f, 0.0f, 0);
    eye->set(1, 10.0f, 0.0f, 0.0f, 10);  // z from 0 to 10
    KVXPath* target = new KVXPath(1, 8, 0, c);
    target->set(0, 0.0f, 3.0f, 0.0f, 0);
    KVXPath* roll = new KVXPath(2, 7, 2, c);
    roll->set(0, 0.0f, 0);
    roll->set(1, 20.0f, 10);
    list->addPath(target);
    list->addPath(eye);
    list->addPath(roll);
    g.setCurrentFrame(5);
    g.doCameraAnim(c);
    EXPECT_FLOAT_EQ(c->eye.z, 5.0f);
    EXPECT_FLOAT_EQ(c->target.y, 3.0f);
    EXPECT_FLOAT_EQ(c->roll, 10.0f);
}

TEST(Animation, OverrideObjectPositionPinsTheObject) {
    kvxtest::window();
    OGroup g;
    Mesh* box = unitTriangle("box");
    g.addMesh(box);
    PathList* list = animate(g, 100);
    list->addPath(xPath(box, {{0, 0.0f}, {50, 100.0f}}));
    list->addPath(zTurns(box, {{0, 30.0f}, {50, 60.0f}}));
    Vertex3D p{7, 8, 9};
    g.overrideObjectPosition("box", &p, nullptr);
    g.overrideObjectPosition("nobody", &p, nullptr);
    for (int f : {0, 25, 75}) {
        g.setCurrentFrame(f);
        Vertex3D at = placed(g, box, Vertex3D{0, 0, 0});
        EXPECT_NEAR(at.x, 7.0f, kEps);
        EXPECT_NEAR(at.z, 9.0f, kEps);
    }
    Vertex4D turn{0, 0, 1, 0};  // no rotation
    g.overrideObjectPosition("box", &p, &turn);
    g.setCurrentFrame(80);
    Vertex3D q = placed(g, box, Vertex3D{1, 0, 0});
    EXPECT_NEAR(q.x, 8.0f, kEps);
    EXPECT_NEAR(q.y, 8.0f, kEps);
}

TEST(Animation, TransformVerticesAndRenderObjectStepFrames) {
    kvxtest::window();
    OGroup g;
    Mesh* m = unitTriangle("m");
    g.addMesh(m);
    animate(g, 3)->addPath(xPath(m, {{0, 0.0f}, {2, 2.0f}}));
    g.setCurrentFrame(1);
    g.transformVertices(m);
    EXPECT_NEAR(m->worldVertices[1].x, 2.0f, kEps);
    EXPECT_NEAR(m->worldVertices[2].y, 1.0f, kEps);

    EXPECT_EQ(g.renderObject(m, 0), 0);
    EXPECT_EQ(g.currentFrame, 2);
    g.renderObject(m, 0);
    EXPECT_EQ(g.currentFrame, 3);
    g.renderObject(m, 0);
    EXPECT_EQ(g.currentFrame, 0);
    g.renderObject(m, 0x80);
    EXPECT_EQ(g.currentFrame, 0);
    Mesh other;
    EXPECT_EQ(g.renderObject(&other, 0), 39);
    EXPECT_EQ(g.renderObject(nullptr, 0), 38);
}

}  // namespace
