#include <gtest/gtest.h>

#include <cmath>

#include "spatial/RayTriangle.h"

namespace {

Vertex3D A{0, 0, 0}, B{1, 0, 0}, C{0, 1, 0};  // faces +z

float hit(Vertex3D from, Vertex3D to) { return intersect2(&from, &to, &A, &B, &C); }

}  // namespace

TEST(RayTriangle, HitsOnlyTheFrontFace) {
    EXPECT_FLOAT_EQ(hit({0.2f, 0.2f, 1}, {0.2f, 0.2f, -1}), 0.5f);
    EXPECT_FLOAT_EQ(hit({0, 0, 1}, {0, 0, -1}), 0.5f);         // on a corner
    EXPECT_EQ(hit({0.2f, 0.2f, -1}, {0.2f, 0.2f, 1}), -1.0f);  // from below
    // Beyond `to` and behind `from` are answered as computed.
    EXPECT_FLOAT_EQ(hit({0.2f, 0.2f, 1}, {0.2f, 0.2f, 0.5f}), 2.0f);
    EXPECT_FLOAT_EQ(hit({0.2f, 0.2f, -1}, {0.2f, 0.2f, -2}), -1.0f);
}

TEST(RayTriangle, MissesOutsideTheEdges) {
    EXPECT_EQ(hit({-0.01f, 0.5f, 1}, {-0.01f, 0.5f, -1}), -1.0f);
    EXPECT_EQ(hit({0.5f, -0.01f, 1}, {0.5f, -0.01f, -1}), -1.0f);
    EXPECT_EQ(hit({0.51f, 0.51f, 1}, {0.51f, 0.51f, -1}), -1.0f);
    EXPECT_GE(hit({0.5f, 0.5f, 1}, {0.5f, 0.5f, -1}), 0.0f);  // on the hypotenuse
    // Parallel to the plane, and a degenerate triangle.
    EXPECT_EQ(hit({0.2f, 0.2f, 0}, {0.3f, 0.2f, 0}), -1.0f);
    Vertex3D from{0.2f, 0.2f, 1}, to{0.2f, 0.2f, -1}, d{2, 0, 0};
    EXPECT_EQ(intersect2(&from, &to, &A, &B, &d), -1.0f);
    // NaN input is a miss.
    Vertex3D nanFrom{NAN, 0, 1};
    EXPECT_EQ(intersect2(&nanFrom, &to, &A, &B, &C), -1.0f);
}

TEST(RayTriangle, IntersectionPointWithThePlane) {
    Vertex3D from{0.3f, 0.2f, 4}, to{0.3f, 0.2f, 2};
    Vertex3D p = findIntersectionPoint(&from, &to, &A, &B, &C);
    EXPECT_FLOAT_EQ(p.x, 0.3f);
    EXPECT_FLOAT_EQ(p.y, 0.2f);
    EXPECT_NEAR(p.z, 0.0f, 1e-6f);
    // Outside the triangle the line still meets the plane.
    Vertex3D f2{5, 5, 1}, t2{6, 5, 0};
    p = findIntersectionPoint(&f2, &t2, &A, &B, &C);
    EXPECT_FLOAT_EQ(p.x, 6.0f);
    EXPECT_NEAR(p.z, 0.0f, 1e-6f);
    // In the plane: `from` itself; parallel above it: very far or infinite.
    Vertex3D inPlane{0.5f, 0.5f, 0}, inPlaneTo{0.7f, 0.5f, 0};
    p = findIntersectionPoint(&inPlane, &inPlaneTo, &A, &B, &C);
    EXPECT_FLOAT_EQ(p.x, 0.5f);
    EXPECT_FLOAT_EQ(p.y, 0.5f);
    Vertex3D above{0, 0, 1}, aboveTo{1, 0, 1};
    p = findIntersectionPoint(&above, &aboveTo, &A, &B, &C);
    EXPECT_TRUE(std::isinf(p.x) || std::fabs(p.x) > 1e30f);
}
