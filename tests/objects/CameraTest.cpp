#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/Math.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Object.h"

namespace {

const float kEps = 1e-4f;

void expectVec(const Vertex3D& v, float x, float y, float z, float eps = kEps) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

// Difference of two headings folded into (-180, 180].
float headingDelta(float a, float b) {
    float d = std::fmod(a - b, 360.0f);
    if (d <= -180.0f) d += 360.0f;
    if (d > 180.0f) d -= 360.0f;
    return d;
}

TEST(Object, DefaultsSpecialAndNames) {
    Object o;
    EXPECT_EQ(o.name, nullptr);
    EXPECT_EQ(o.parent, nullptr);
    EXPECT_TRUE(o.visible);
    EXPECT_FALSE(o.special);
    EXPECT_EQ(o.id, 0);
    EXPECT_EQ(o.parentId, 0);

    o.setName("first");
    o.setName("SECOND");
    EXPECT_STREQ(o.name, "SECOND");
    o.setName(o.name);  // renaming to itself must not read freed memory
    EXPECT_STREQ(o.name, "SECOND");

    o.setSpecial(1);
    EXPECT_TRUE(o.special);
    EXPECT_EQ(o.specialType, 1);
    EXPECT_FALSE(o.visible);
}

TEST(Object, CopiesCarryEveryFieldAndTheirOwnName) {
    Camera c;
    c.setName("CAM01");
    c.eye = {1, 2, 3};
    c.target = {4, 5, 6};
    c.rotation = {10, 20, 30};
    c.lens = 35.0f;
    c.fov = 60.0f;
    c.id = 7;
    c.parentId = -1;

    Camera* copy = static_cast<Camera*>(c.copyObject());
    expectVec(copy->eye, 1, 2, 3);
    expectVec(copy->target, 4, 5, 6);
    expectVec(copy->rotation, 10, 20, 30);
    EXPECT_EQ(copy->lens, 35.0f);
    EXPECT_EQ(copy->fov, 60.0f);
    EXPECT_EQ(copy->id, 7);
    EXPECT_EQ(copy->parentId, -1);
    EXPECT_STREQ(copy->name, "CAM01");
    EXPECT_NE(copy->name, c.name);
    c.setName("OTHER");
    EXPECT_STREQ(copy->name, "CAM01");
    delete copy;

    Light l;
    l.setName("LAMP");
    l.color = {1, 2, 3, 4};
    l.outerRange = 50.0f;
    Light assigned;
    assigned = l;
    EXPECT_STREQ(assigned.name, "LAMP");
    EXPECT_NE(assigned.name, l.name);
    EXPECT_EQ(assigned.color.b, 3.0f);
    EXPECT_EQ(assigned.outerRange, 50.0f);
    Light* lc = static_cast<Light*>(l.copyObject());
    EXPECT_EQ(lc->color.a, 4.0f);
    delete lc;
}

TEST(Camera, DefaultsAndLightDefaults) {
    Camera c;
    EXPECT_EQ(c.fov, 90.0f);
    EXPECT_TRUE(c.visible);
    expectVec(c.eye, 0, 0, 0);
    expectVec(c.target, 0, 0, 0);
    EXPECT_EQ(c.roll, 0.0f);
    EXPECT_EQ(c.lens, 0.0f);

    Light l;
    EXPECT_EQ(l.color.r, 255.0f);
    EXPECT_EQ(l.color.g, 255.0f);
    EXPECT_EQ(l.color.b, 255.0f);
    EXPECT_EQ(l.color.a, 255.0f);
    EXPECT_EQ(l.innerRange, 0.0f);
    EXPECT_EQ(l.outerRange, 10000.0f);
    EXPECT_TRUE(l.visible);
}

TEST(Camera, FieldOfViewFromLens) {
    Camera c;
    c.lens = 0.0f;
    c.calcFOV();
    EXPECT_NEAR(c.fov, 178.1292f, 1e-4f);
    c.lens = 50.0f;
    c.calcFOV();
    EXPECT_NEAR(c.fov, 46.3594f, 1e-4f);
    c.lens = 28.0f;
    c.calcFOV();
    EXPECT_NEAR(c.fov, 75.7358f, 1e-4f);
    // Longer lenses narrow the view (a 164.77 mm lens is about 14.6 degrees
    // to other readers); nothing leaves the range of a real projection.
    float previous = 180.0f;
    for (float lens : {-10.0f, 0.0f, 20.0f, 50.0f, 50.5f, 85.0f, 164.77f, 500.0f, 1e6f}) {
        c.lens = lens;
        c.calcFOV();
        EXPECT_LE(c.fov, previous) << lens;
        EXPECT_GT(c.fov, 0.0f) << lens;
        previous = c.fov;
    }
    c.lens = 164.77f;
    c.calcFOV();
    EXPECT_NEAR(c.fov, 14.6f, 0.5f);
}

TEST(Camera, MovementFollowsHeadingAndTilt) {
    Camera c;
    c.target = {100, 100, 100};

    c.rotation = {0, 90, 0};  // level, heading along +y
    c.forward(10);
    expectVec(c.eye, 0, 10, 0);
    c.reverse(10);
    expectVec(c.eye, 0, 0, 0);
    c.stepLeft(10);
    expectVec(c.eye, -10, 0, 0);
    c.stepRight(10);
    expectVec(c.eye, 0, 0, 0);

    c.rotation = {0, 0, 0};  // straight down
    c.forward(10);
    expectVec(c.eye, 0, 0, -10);
    c.stepLeft(10);  // sideways steps vanish with sin(tilt) = 0
    expectVec(c.eye, 0, 0, -10);

    c.eye = {0, 0, 0};
    c.rotation = {90, 90, 0};
    c.forward(10);
    expectVec(c.eye, -10, 0, 0);

    c.eye = {0, 0, 0};
    c.rotation = {0, 45, 0};
    c.forward(10);
    float h = 10.0f * std::sqrt(0.5f);
    expectVec(c.eye, 0, h, -h);
    c.stepLeft(10);  // scaled by sin(tilt), z untouched
    expectVec(c.eye, -h, h, -h);

    expectVec(c.target, 100, 100, 100);  // movement never drags the target
}

TEST(Camera, AimingRoundTrip) {
    Camera c;
    c.eye = {0, 0, 0};
    c.target = {1, 0, 0};
    c.rotation.z = 33.0f;
    c.rotationFromTarget();
    EXPECT_NEAR(c.rotation.x, 90.0f, kEps);
    EXPECT_NEAR(c.rotation.y, 90.0f, kEps);
    EXPECT_EQ(c.rotation.z, 33.0f);

    c.target = {0, 5, -5};  // below the eye
    c.rotationFromTarget();
    EXPECT_LT(c.rotation.y, 90.0f);

    const float headings[] = {0, 30, 135, 200, 315};
    const float tilts[] = {1, 45, 90, 120, 179};
    for (float h : headings) {
        for (float p : tilts) {
            c.eye = {3, -2, 7};
            c.rotation = {h, p, 0};
            c.targetFromRotation(50);
            EXPECT_NEAR(kvxDistance(&c.eye, &c.target), 50.0f, 1e-3f);
            c.rotationFromTarget();
            EXPECT_NEAR(c.rotation.y, p, 1e-2f) << "h=" << h << " p=" << p;
            EXPECT_NEAR(std::fabs(headingDelta(c.rotation.x, h)), 180.0f, 1e-2f) << "h=" << h << " p=" << p;
        }
    }
}

}  // namespace
