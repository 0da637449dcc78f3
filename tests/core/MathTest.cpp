#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "Korvex3D.h"

namespace {

float heading(float ax, float ay, float bx, float by) {
    Vertex2D a{ax, ay}, b{bx, by};
    return kvxAngle(&a, &b);
}

void expectVec(const Vertex3D& v, float x, float y, float z, float tol = 1e-6f) {
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

// Row pointers over a plain 4x4 array, as Quaternion2Mat takes them.
struct RowMatrix {
    float m[4][4];
    float* rows[4] = {m[0], m[1], m[2], m[3]};
};

Vertex4D axisAngleQuaternion(float deg, float ax, float ay, float az) {
    double half = deg * 0.5 * M_PI / 180.0;
    double len = std::sqrt(double(ax) * ax + double(ay) * ay + double(az) * az);
    double s = std::sin(half) / len;
    return Vertex4D{float(ax * s), float(ay * s), float(az * s), float(std::cos(half))};
}

void transpose(float (&m)[4][4]) {
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) std::swap(m[i][j], m[j][i]);
}

}  // namespace

TEST(Math, SettersTakeTheirFieldsInOrder) {
    Vertex2D v2;
    kvxSetVertex2D(&v2, 1, 2);
    EXPECT_EQ(v2.x, 1.0f);
    EXPECT_EQ(v2.y, 2.0f);
    Vertex4D v4;
    kvxSetVertex4D(&v4, 9, 1, 2, 3);
    EXPECT_EQ(v4.w, 9.0f);
    EXPECT_EQ(v4.x, 1.0f);
    EXPECT_EQ(v4.y, 2.0f);
    EXPECT_EQ(v4.z, 3.0f);
}

TEST(Math, VectorArithmetic) {
    Vertex3D a, b, out;
    kvxSetVertex3D(&a, 1, 2, 3);
    kvxSetVertex3D(&b, 4, 5, 6);
    kvxAddVectors(&a, &b, &out);
    expectVec(out, 5, 7, 9);
    kvxSubVectors(&a, &b, &out);
    expectVec(out, -3, -3, -3);
    EXPECT_EQ(dotProd(&a, &b), 32.0f);
    EXPECT_EQ(kvxDotVectors(&a, &b), 32.0f);

    Vertex3D ex{1, 0, 0}, ey{0, 1, 0};
    crossProd(&ex, &ey, &out);
    expectVec(out, 0, 0, 1);
    crossProd(&a, &b, &out);
    expectVec(out, -3, 6, -3);
    // The result may land in one of the operands.
    Vertex3D c = a;
    crossProd(&c, &b, &c);
    expectVec(c, -3, 6, -3);
    c = b;
    crossProd(&a, &c, &c);
    expectVec(c, -3, 6, -3);
}

TEST(Math, ClampAppliesUpperBoundFirst) {
    float v = 3;
    clamp(&v, 0, 1);
    EXPECT_EQ(v, 1.0f);
    v = -2;
    clamp(&v, 0, 1);
    EXPECT_EQ(v, 0.0f);
    v = 0.5f;
    clamp(&v, 0, 1);
    EXPECT_EQ(v, 0.5f);
    for (float x : {-10.0f, 0.0f, 3.0f, 100.0f}) {
        v = x;
        clamp(&v, 5, 1);
        EXPECT_EQ(v, 5.0f);
    }
}

TEST(Math, NormalizeKeepsZeroVectorZero) {
    Vertex3D z{0, 0, 0};
    kvxNormalize(&z);
    expectVec(z, 0, 0, 0, 0);
    EXPECT_FALSE(std::isnan(z.x));
    Vertex3D v{3, 0, 4};
    kvxNormalize(&v);
    expectVec(v, 0.6f, 0, 0.8f);
    Vertex3D tiny{1e-30f, 0, 0};
    kvxNormalize(&tiny);
    EXPECT_NEAR(tiny.x, 1.0f, 1e-6f);
}

TEST(Math, DegreesAndRadians) {
    EXPECT_FLOAT_EQ(kvxRad(180), float(M_PI));
    EXPECT_FLOAT_EQ(kvxUnRad(float(M_PI)), 180.0f);
    EXPECT_NEAR(kvxDSin(90), 1.0f, 1e-7f);
    EXPECT_NEAR(kvxDSin(30), 0.5f, 1e-7f);
    EXPECT_NEAR(kvxDCos(60), 0.5f, 1e-7f);
    EXPECT_NEAR(kvxDCos(180), -1.0f, 1e-7f);
}

TEST(Math, Distances) {
    Vertex3D o{0, 0, 0}, p{3, 4, 0}, q{1, 2, 2};
    EXPECT_EQ(kvxDistance(&o, &p), 5.0f);
    EXPECT_EQ(kvxFakeDistance(&o, &p), 25.0f);
    EXPECT_EQ(kvxDistance(&o, &q), 3.0f);
    EXPECT_EQ(kvxFakeDistance(&q, &o), 9.0f);
    Vertex2D a{1, 1}, b{4, 5};
    EXPECT_EQ(kvxDistance(&a, &b), 5.0f);
}

TEST(Math, HeadingCompassPoints) {
    EXPECT_EQ(heading(0, 0, 0, 1), 180.0f);
    EXPECT_EQ(heading(0, 0, 1, 0), 90.0f);
    EXPECT_EQ(heading(0, 0, -1, 0), 270.0f);
    EXPECT_FLOAT_EQ(heading(0, 0, 1, -1), 45.0f);
    EXPECT_FLOAT_EQ(heading(0, 0, 1, 1), 135.0f);
    EXPECT_FLOAT_EQ(heading(0, 0, -1, 1), 225.0f);
    EXPECT_FLOAT_EQ(heading(0, 0, -1, -1), 315.0f);
    // Straight along -y wraps to 360, not 0; a point to itself is 270.
    EXPECT_EQ(heading(0, 0, 0, -1), 360.0f);
    EXPECT_EQ(heading(5, 5, 5, 5), 270.0f);
    // Independent of the origin and of the distance.
    EXPECT_FLOAT_EQ(heading(10, -3, 11, -4), 45.0f);
    EXPECT_FLOAT_EQ(heading(0, 0, 1000, -1000), 45.0f);
}

TEST(Math, HeadingMatchesDirectionEverywhere) {
    // (dx, dy) = d (sin h, -cos h) for every heading, never NaN.
    for (int deg = 1; deg < 360; ++deg) {
        double r = deg * M_PI / 180.0;
        float dx = float(7 * std::sin(r)), dy = float(-7 * std::cos(r));
        float h = heading(2, 3, 2 + dx, 3 + dy);
        ASSERT_FALSE(std::isnan(h)) << deg;
        EXPECT_NEAR(h, float(deg), 2e-3f) << deg;
    }
    // Nearly axis-aligned offsets where |dy| / d rounds to 1.
    EXPECT_NEAR(heading(0, 0, 1e-6f, 1000), 180.0f, 1e-3f);
    EXPECT_NEAR(heading(0, 0, 1e-6f, -1000), 0.0f, 1e-3f);
}

TEST(Math, AnglesOfThreeDimensionalPoints) {
    Vertex3D a{0, 0, 0}, b{1, 5, 0};
    Vertex2D r = kvxAngle(&a, &b);
    EXPECT_EQ(r.x, 90.0f);   // (x, z) plane: +x
    EXPECT_EQ(r.y, 180.0f);  // (z, y) plane: +y
}

TEST(Math, LookAtHeadingAndPitch) {
    Vertex3D a{0, 0, 10};
    float h = 0, p = 0;
    Vertex3D below{0, 0, 0}, above{0, 0, 20}, level{3, 4, 10}, same = a;
    kvxCalcAngles(&a, &below, h, p);
    EXPECT_EQ(p, 360.0f);
    kvxCalcAngles(&a, &above, h, p);
    EXPECT_EQ(p, 180.0f);
    kvxCalcAngles(&a, &level, h, p);
    EXPECT_EQ(p, 90.0f);
    kvxCalcAngles(&a, &same, h, p);
    EXPECT_EQ(h, 270.0f);
    EXPECT_EQ(p, 270.0f);

    Vertex3D east{5, 0, 15};  // 45 degrees up, along +x
    kvxCalcAngles(&a, &east, h, p);
    EXPECT_EQ(h, 90.0f);
    EXPECT_FLOAT_EQ(p, 135.0f);
    Vertex3D northDown{0, 5, 5};  // 45 degrees down, along +y
    kvxCalcAngles(&a, &northDown, h, p);
    EXPECT_EQ(h, 180.0f);
    EXPECT_FLOAT_EQ(p, 45.0f);
}

TEST(Math, FaceNormals) {
    Vertex3D a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0};
    Vertex3D pn = calcPlaneNormal(&a, &b, &c);
    expectVec(pn, 0, 0, 1);
    Vertex3D n = calcNormal(&a, &b, &c);
    expectVec(n, 0, 0, 1);

    Vertex3D b2{4, 0, 0}, c2{0, 4, 0};
    pn = calcPlaneNormal(&a, &b2, &c2);
    expectVec(pn, 0, 0, 16);  // not normalised
    n = calcNormal(&a, &c2, &b2);
    expectVec(n, 0, 0, -1);

    Vertex3D p{1, 1, 1}, q{2, 2, 2}, r{5, 5, 5};
    n = calcNormal(&p, &q, &r);
    expectVec(n, 0, 0, 0, 0);
    n = calcNormal(&p, &p, &p);
    expectVec(n, 0, 0, 0, 0);
}

TEST(Math, IntersectDependsOnWinding) {
    Vertex3D tri[3] = {{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}};
    Vertex3D reversed[3] = {tri[0], tri[2], tri[1]};
    Vertex3D p{0, 0, 5}, q{0, 0, -5};
    bool one = intersect(tri, &p, &q);
    bool other = intersect(reversed, &p, &q);
    EXPECT_NE(one, other);
    // A line that misses the triangle fails for both windings.
    Vertex3D p2{5, 5, 5}, q2{5, 5, -5};
    EXPECT_FALSE(intersect(tri, &p2, &q2));
    EXPECT_FALSE(intersect(reversed, &p2, &q2));
    // The segment's length is not a limit.
    Vertex3D qShort{0, 0, 4};
    EXPECT_EQ(intersect(one ? tri : reversed, &p, &qShort), true);
}

TEST(Math, QuaternionToMatrix) {
    RowMatrix r;
    Vertex4D identity{0, 0, 0, 1};
    Quaternion2Mat(r.rows, &identity);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_EQ(r.m[i][j], i == j ? 1.0f : 0.0f);

    // 90 degrees about z, row by row: maps +x to +y.
    Vertex4D qz = axisAngleQuaternion(90, 0, 0, 1);
    Quaternion2Mat(r.rows, &qz);
    EXPECT_NEAR(r.m[0][0], 0, 1e-6f);
    EXPECT_NEAR(r.m[0][1], -1, 1e-6f);
    EXPECT_NEAR(r.m[1][0], 1, 1e-6f);
    EXPECT_NEAR(r.m[2][2], 1, 1e-6f);
    EXPECT_EQ(r.m[3][3], 1.0f);
    EXPECT_EQ(r.m[0][3], 0.0f);
}

TEST(Math, QuaternionMatrixRoundTrip) {
    struct Case {
        float deg, x, y, z;
    };
    const Case cases[] = {{90, 0, 0, 1}, {30, 1, 0, 0}, {120, 1, 1, 1}, {45, 0, -1, 0}, {170, 2, -1, 3}};
    for (const Case& c : cases) {
        Vertex4D q = axisAngleQuaternion(c.deg, c.x, c.y, c.z);
        RowMatrix r;
        Quaternion2Mat(r.rows, &q);
        float len = std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);

        // Row order gives the negated axis.
        Vertex4D back;
        Mat2Quaternion(r.m, &back);
        EXPECT_NEAR(back.w, c.deg, 1e-3f);
        EXPECT_NEAR(back.x, -c.x / len, 1e-4f);
        EXPECT_NEAR(back.y, -c.y / len, 1e-4f);
        EXPECT_NEAR(back.z, -c.z / len, 1e-4f);

        // Column order, as OpenGL keeps it, gives the axis itself.
        transpose(r.m);
        Mat2Quaternion(r.m, &back);
        EXPECT_NEAR(back.w, c.deg, 1e-3f);
        EXPECT_NEAR(back.x, c.x / len, 1e-4f);
        EXPECT_NEAR(back.y, c.y / len, 1e-4f);
        EXPECT_NEAR(back.z, c.z / len, 1e-4f);
    }
}

TEST(Math, MatrixWithoutRotationOrHalfTurnGivesFiniteAxis) {
    float id[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    Vertex4D q;
    Mat2Quaternion(id, &q);
    EXPECT_EQ(q.w, 0.0f);
    EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z));
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z, 1.0f, 1e-6f);

    // Half turn about y, and about a slanted axis.
    float halfY[4][4] = {{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}};
    Mat2Quaternion(halfY, &q);
    EXPECT_NEAR(q.w, 180.0f, 1e-3f);
    EXPECT_NEAR(std::fabs(q.y), 1.0f, 1e-6f);
    EXPECT_NEAR(q.x, 0.0f, 1e-6f);
    EXPECT_NEAR(q.z, 0.0f, 1e-6f);

    Vertex4D half = axisAngleQuaternion(180, 1, 2, 2);
    RowMatrix r;
    Quaternion2Mat(r.rows, &half);
    Mat2Quaternion(r.m, &q);
    EXPECT_NEAR(q.w, 180.0f, 0.1f);
    EXPECT_NEAR(std::fabs(q.x), 1.0f / 3, 1e-3f);
    EXPECT_NEAR(std::fabs(q.y), 2.0f / 3, 1e-3f);
    EXPECT_NEAR(std::fabs(q.z), 2.0f / 3, 1e-3f);
    EXPECT_GT(q.x * q.y, 0.0f);  // same sign: the axis, not a mirror of it
    EXPECT_GT(q.y * q.z, 0.0f);
}

TEST(Math, InvertAffineMatrix) {
    float in[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 2, 3, 1}};
    float out[4][4];
    ASSERT_TRUE(kvxInvertMatrix(out, in));
    const float expected[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {-1, -2, -3, 1}};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_EQ(out[i][j], expected[i][j]) << i << j;

    // Rotation, scale and translation: in * out is the identity.
    Vertex4D q = axisAngleQuaternion(40, 1, -2, 0.5f);
    RowMatrix r;
    Quaternion2Mat(r.rows, &q);
    float m[4][4];
    std::memcpy(m, r.m, sizeof m);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] *= (j == 1 ? 2.0f : 0.5f);
    m[3][0] = 4;
    m[3][1] = -7;
    m[3][2] = 0.25f;
    ASSERT_TRUE(kvxInvertMatrix(out, m));
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += double(m[i][k]) * out[k][j];
            EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, 1e-5) << i << j;
        }

    // Inverting in place gives the same result.
    ASSERT_TRUE(kvxInvertMatrix(m, m));
    EXPECT_EQ(std::memcmp(m, out, sizeof m), 0);
}

TEST(Math, InvertRefusesNonAffineAndSingular) {
    float sentinel[4][4];
    for (auto& row : sentinel)
        for (float& v : row) v = 42;
    float out[4][4];

    float tilted[4][4] = {{1, 0, 0, 0.002f}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
    std::memcpy(out, sentinel, sizeof out);
    EXPECT_FALSE(kvxInvertMatrix(out, tilted));
    EXPECT_EQ(std::memcmp(out, sentinel, sizeof out), 0);

    float w[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1.01f}};
    EXPECT_FALSE(kvxInvertMatrix(out, w));
    EXPECT_EQ(std::memcmp(out, sentinel, sizeof out), 0);

    // Within tolerance is still affine.
    float nearly[4][4] = {{2, 0, 0, 0}, {0, 2, 0, 0.0005f}, {0, 0, 2, 0}, {0, 0, 0, 1.0005f}};
    EXPECT_TRUE(kvxInvertMatrix(out, nearly));
    EXPECT_FLOAT_EQ(out[1][1], 0.5f);
    EXPECT_EQ(out[1][3], 0.0f);
    EXPECT_EQ(out[3][3], 1.0f);

    // A flattened block has no inverse.
    float flat[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 0}, {1, 1, 1, 1}};
    std::memcpy(out, sentinel, sizeof out);
    EXPECT_FALSE(kvxInvertMatrix(out, flat));
    EXPECT_EQ(std::memcmp(out, sentinel, sizeof out), 0);
}
