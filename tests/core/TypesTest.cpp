#include <gtest/gtest.h>

#include "Korvex3D.h"

TEST(Types, Vertex3DOperators) {
    Vertex3D zero{0, 0, 0};
    zero.normalize();
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);

    Vertex3D v{3, 0, 4};
    EXPECT_FLOAT_EQ(float(v), 5.0f);
    v.normalize();
    EXPECT_FLOAT_EQ(v.x, 0.6f);
    EXPECT_FLOAT_EQ(v.z, 0.8f);

    Vertex3D ex{1, 0, 0}, ey{0, 1, 0};
    Vertex3D c = ex ^ ey;
    EXPECT_EQ(c.x, 0.0f);
    EXPECT_EQ(c.y, 0.0f);
    EXPECT_EQ(c.z, 1.0f);
    Vertex3D d = ey ^ ex;
    EXPECT_EQ(d.z, -1.0f);

    Vertex3D a{1, 2, 3}, b{4, 5, 6};
    EXPECT_FLOAT_EQ(a * b, 32.0f);
    Vertex3D s = a + b, m = b - a, n = -a;
    EXPECT_EQ(s.z, 9.0f);
    EXPECT_EQ(m.x, 3.0f);
    EXPECT_EQ(n.y, -2.0f);
    a += b;
    EXPECT_EQ(a.x, 5.0f);
    a -= b;
    EXPECT_EQ(a.x, 1.0f);
    a *= 2.0f;
    EXPECT_EQ(a.y, 4.0f);
    a /= 4.0f;
    EXPECT_EQ(a.z, 1.5f);
}

TEST(Types, ViewportResetKeepsSize) {
    Viewport vp{640, 480, 2.0f, 1, 2, 3};
    vp.reset();
    EXPECT_EQ(vp.width, 640.0f);
    EXPECT_EQ(vp.height, 480.0f);
    EXPECT_EQ(vp.aspect, 2.0f);
    EXPECT_FLOAT_EQ(vp.zNear, 0.01f);
    EXPECT_EQ(vp.zFar, 100000.0f);
    EXPECT_EQ(vp.fov, 90.0f);
    vp.calcAspect();
    EXPECT_EQ(vp.aspect, 640.0f / 480.0f);
}

TEST(Types, PlaneListDestructionFreesTail) {
    // Run under the sanitizer build, a leak or double free here fails the suite.
    Plane* head = new Plane;
    head->create(2);
    head->create(3);  // replaces the first array
    head->next = new Plane;
    head->next->create(1);
    head->next->next = new Plane;
    EXPECT_EQ(head->count, 3);
    EXPECT_EQ(head->next->next->points, nullptr);
    delete head;

    // A long list must not recurse once per node.
    Plane* big = new Plane;
    Plane* tail = big;
    for (int i = 0; i < 200000; i++) {
        tail->next = new Plane;
        tail = tail->next;
    }
    delete big;
}

TEST(Types, SceneParamsDefaults) {
    SceneParams p;
    for (int i = 0; i < 9; i++) EXPECT_EQ(p.value[i], i == 2 ? 15 : 0);
    for (bool f : p.flagA) EXPECT_FALSE(f);
    for (bool f : p.flagB) EXPECT_TRUE(f);
}
