#include <cmath>

#include "GroupTestSupport.h"

namespace {

const float kR = 0.70710677f;

void expectVec(const Vertex3D& v, float x, float y, float z, float eps = 1e-4f) {
    EXPECT_NEAR(v.x, x, eps);
    EXPECT_NEAR(v.y, y, eps);
    EXPECT_NEAR(v.z, z, eps);
}

struct ViewportGuard {
    Viewport saved = kvxViewport;
    ViewportGuard(float fov, float aspect, float zFar) {
        kvxViewport.fov = fov;
        kvxViewport.aspect = aspect;
        kvxViewport.zFar = zFar;
    }
    ~ViewportGuard() { kvxViewport = saved; }
};

Mesh* sphere(float x, float y, float z, float r) {
    Mesh* m = new Mesh();
    m->position = Vertex3D{x, y, z};
    m->radius = r;
    return m;
}

TEST(Frustrum, PlanesOfACameraLookingAlongX) {
    ViewportGuard v(90, 1, 500);
    Camera c;
    c.eye = Vertex3D{0, 0, 0};
    c.target = Vertex3D{10, 0, 0};
    Frustrum f;
    kvxMakeFrustrum(&c, &f);
    expectVec(f.normal[0], -kR, 0, kR);
    expectVec(f.normal[1], -kR, 0, -kR);
    expectVec(f.normal[2], -kR, kR, 0);
    expectVec(f.normal[3], -kR, -kR, 0);
    expectVec(f.normal[4], 1, 0, 0);
    expectVec(f.point[4], 500, 0, 0);
    for (int i = 0; i < 4; ++i) expectVec(f.point[i], 0, 0, 0);

    struct {
        float x, y, z;
        bool in;
    } cases[] = {{5, 0, 0, true}, {-5, 0, 0, false}, {5, 6, 0, true}, {5, 8, 0, false}, {5, 0, -8, false}};
    for (auto& k : cases) {
        Mesh* m = sphere(k.x, k.y, k.z, 1);
        EXPECT_EQ(kvxIsObjectInFrustrum(&f, m), k.in) << k.x << " " << k.y;
        delete m;
    }
    // Touching a side plane counts as inside.
    Mesh* touching = sphere(5, 6, 0, 0.0f);
    touching->radius = 5 * f.normal[2].x + 6 * f.normal[2].y;
    EXPECT_TRUE(kvxIsObjectInFrustrum(&f, touching));
    touching->radius *= 0.999f;
    EXPECT_FALSE(kvxIsObjectInFrustrum(&f, touching));
    delete touching;
}

TEST(Frustrum, NullCameraAndDegenerateTargets) {
    ViewportGuard v(90, 1, 100);
    Frustrum f;
    f.point[0] = Vertex3D{9, 9, 9};
    kvxMakeFrustrum(nullptr, &f);
    expectVec(f.point[0], 9, 9, 9);

    Camera c;
    c.eye = Vertex3D{1, 2, 3};
    c.target = c.eye;
    kvxMakeFrustrum(&c, &f);
    expectVec(c.target, 2, 2, 3);
    expectVec(f.normal[4], 1, 0, 0);

    // Straight down the z axis: still five unit normals, the sides
    // perpendicular to each other's pair and the far plane along the view.
    c.eye = Vertex3D{0, 0, 10};
    c.target = Vertex3D{0, 0, 0};
    kvxMakeFrustrum(&c, &f);
    for (int i = 0; i < 5; ++i) {
        float len =
            std::sqrt(f.normal[i].x * f.normal[i].x + f.normal[i].y * f.normal[i].y + f.normal[i].z * f.normal[i].z);
        EXPECT_NEAR(len, 1.0f, 1e-4f) << i;
    }
    expectVec(f.normal[4], 0, 0, -1);
    Mesh* below = sphere(0, 0, 0, 0.5f);
    Mesh* above = sphere(0, 0, 20, 0.5f);
    Mesh* aside = sphere(30, 0, 5, 0.5f);
    EXPECT_TRUE(kvxIsObjectInFrustrum(&f, below));
    EXPECT_FALSE(kvxIsObjectInFrustrum(&f, above));
    EXPECT_FALSE(kvxIsObjectInFrustrum(&f, aside));
    delete below;
    delete above;
    delete aside;
}

TEST(Frustrum, PointInsideAClosedCube) {
    Mesh* empty = new Mesh();
    Vertex3D anywhere{100, 100, 100};
    EXPECT_TRUE(kvxPointInsideObject(empty, &anywhere));
    delete empty;

    // Unit cube around the origin, faces wound outwards, placed at (10, 0, 0).
    Mesh* cube = new Mesh();
    cube->createVertices(8);
    for (int i = 0; i < 8; ++i)
        cube->vertices[i] = Vertex3D{(i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f};
    const uint16_t quads[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    cube->createFaces(12);
    for (int q = 0; q < 6; ++q) {
        cube->faces[2 * q] = Facelist{quads[q][0], quads[q][1], quads[q][2]};
        cube->faces[2 * q + 1] = Facelist{quads[q][0], quads[q][2], quads[q][3]};
    }
    cube->position = Vertex3D{10, 0, 0};
    Vertex3D centre{10, 0, 0}, onFace{11, 0.5f, 0}, outside{11.01f, 0, 0}, above{10, 0, 1.2f};
    EXPECT_TRUE(kvxPointInsideObject(cube, &centre));
    EXPECT_TRUE(kvxPointInsideObject(cube, &onFace));
    EXPECT_FALSE(kvxPointInsideObject(cube, &outside));
    EXPECT_FALSE(kvxPointInsideObject(cube, &above));
    delete cube;
}

}  // namespace
