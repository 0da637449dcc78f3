#include <memory>

#include "GLFixture.h"
#include "render/RenderState.h"
#include "render/TransparentStack.h"
#include "scene/Camera.h"
#include "texture/Material.h"

using meshtest::makeMesh;

namespace {

// Three large overlapping triangles, 20 pixels apart along x, coloured red,
// green and blue; pixel (330, 200) lies inside all of them.
std::unique_ptr<Mesh> overlapping() {
    std::unique_ptr<Mesh> m(makeMesh({{200, 100, 0},
                                      {440, 100, 0},
                                      {320, 400, 0},
                                      {220, 100, 0},
                                      {460, 100, 0},
                                      {340, 400, 0},
                                      {240, 100, 0},
                                      {480, 100, 0},
                                      {360, 400, 0}},
                                     {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}));
    const Color rgb[3] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}};
    for (int i = 0; i < 9; ++i) m->colors[i] = rgb[i / 3];
    return m;
}

void queue(Mesh& m, int first, int last, Material* material) {
    kvxAddTransparentFace(m.colors, m.textureCoords, m.vertices, m.normals, m.faces, first, last, material,
                          &m.position);
}

}  // namespace

class TransparentStack : public GLFixture {
protected:
    void SetUp() override {
        GLFixture::SetUp();
        kvxInitTransparentPlaneStack(16);
    }
    void TearDown() override { kvxUnInitTransparentPlaneStack(); }
    Material plain;
    Camera camera;
};

TEST_F(TransparentStack, DrawsFarthestFirstSoTheNearestIsOnTop) {
    auto m = overlapping();
    // Seen from far out on +x, the blue face is nearest; queue it first anyway.
    camera.eye = Vertex3D{5000, 250, 0};
    queue(*m, 2, 2, &plain);
    queue(*m, 0, 1, &plain);
    ASSERT_EQ(kvxTransparentPlaneCount, 3);
    kvxDrawTransparentPlanes(&camera);
    EXPECT_TRUE(colorNear(px(330, 200), 0, 0, 255));
    EXPECT_EQ(kvxTransparentPlaneCount, 0);

    // From the other side red is nearest and ends on top.
    glClear(GL_COLOR_BUFFER_BIT);
    camera.eye = Vertex3D{-5000, 250, 0};
    queue(*m, 0, 2, &plain);
    kvxDrawTransparentPlanes(&camera);
    EXPECT_TRUE(colorNear(px(330, 200), 255, 0, 0));
}

TEST_F(TransparentStack, SortsBySquaredDistanceOfTheMovedCentroid) {
    // Centroids at x = 0, 1, 2 (corners around each), the mesh moved by 1 on x:
    // squared distances from the origin are 1, 4 and 9.
    std::unique_ptr<Mesh> m(
        makeMesh({{-1, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, 0, 0}, {2, 0, 0}, {1, 0, 0}, {1, 0, 0}, {3, 0, 0}, {2, 0, 0}},
                 {{3, 4, 5}, {6, 7, 8}, {0, 1, 2}}));
    m->position = Vertex3D{1, 0, 0};
    camera.eye = Vertex3D{0, 0, 0};
    queue(*m, 0, 2, &plain);  // distances 4, 9, 1
    kvxDrawTransparentPlanes(&camera);
    // The records stay in the array in drawing order.
    EXPECT_FLOAT_EQ(kvxTransparentPlaneStack[0].distance, 9.0f);
    EXPECT_FLOAT_EQ(kvxTransparentPlaneStack[1].distance, 4.0f);
    EXPECT_FLOAT_EQ(kvxTransparentPlaneStack[2].distance, 1.0f);
}

TEST_F(TransparentStack, NeverWritesPastItsCapacity) {
    auto m = overlapping();
    kvxInitTransparentPlaneStack(2);
    // A guard record right behind the two slots would be overwritten by a third face.
    queue(*m, 0, 2, &plain);
    EXPECT_EQ(kvxTransparentPlaneCount, 2);
    queue(*m, 0, 0, &plain);
    EXPECT_EQ(kvxTransparentPlaneCount, 2);
    camera.eye = Vertex3D{-5000, 250, 0};
    kvxDrawTransparentPlanes(&camera);
    EXPECT_TRUE(colorNear(px(330, 200), 255, 0, 0));  // red and green drawn, blue dropped
    EXPECT_TRUE(black(470, 110));                     // only blue would reach here

    // Re-initialising drops whatever was queued.
    queue(*m, 0, 1, &plain);
    kvxInitTransparentPlaneStack(4);
    EXPECT_EQ(kvxTransparentPlaneCount, 0);
}

TEST_F(TransparentStack, FacesKeepTheMatrixTheyWereQueuedWith) {
    auto m = overlapping();
    glTranslatef(100, 0, 0);
    queue(*m, 0, 0, &plain);
    glLoadIdentity();
    kvxDrawTransparentPlanes(&camera);
    EXPECT_TRUE(colorNear(px(420, 120), 255, 0, 0));
    EXPECT_TRUE(black(300, 120));
}

TEST_F(TransparentStack, EmptyOrMissingStackOnlyTouchesCullingAndBlending) {
    auto m = overlapping();
    kvxDrawTransparentPlanes(&camera);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    GLint src = 0, dst = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_TRUE(black(330, 200));

    kvxUnInitTransparentPlaneStack();
    EXPECT_EQ(kvxTransparentPlaneStack, nullptr);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    queue(*m, 0, 2, &plain);  // no stack: ignored
    EXPECT_EQ(kvxTransparentPlaneCount, 0);
    kvxDrawTransparentPlanes(&camera);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(black(330, 200));
}

TEST_F(TransparentStack, BlendsWithTheQueuedColourAlpha) {
    auto m = overlapping();
    for (int i = 0; i < 3; ++i) m->colors[i] = Color{1, 1, 1, 0.5f};
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    queue(*m, 0, 0, &plain);
    kvxDrawTransparentPlanes(&camera);
    EXPECT_TRUE(colorNear(px(300, 120), 128, 128, 128, 3));
}
