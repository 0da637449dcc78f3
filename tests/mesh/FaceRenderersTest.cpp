#include <memory>

#include "GLFixture.h"
#include "render/FaceRenderers.h"
#include "render/RenderState.h"

using meshtest::makeMesh;
using meshtest::makeTexture;

namespace {

// Face 0 on the left, face 1 on the right, both red and front-facing.
std::unique_ptr<Mesh> twoFaces() {
    std::unique_ptr<Mesh> m(
        makeMesh({{10, 100, 0}, {110, 100, 0}, {60, 200, 0}, {200, 100, 0}, {300, 100, 0}, {250, 200, 0}},
                 {{0, 1, 2}, {3, 4, 5}}));
    for (int i = 0; i < m->vertexCount; ++i) m->colors[i] = Color{1, 0, 0, 1};
    return m;
}

}  // namespace

class FaceRenderers : public GLFixture {};

TEST_F(FaceRenderers, OneFaceRangeDrawsOneTriangleWithEveryRenderer) {
    auto m = twoFaces();
    Mesh& s = *m;
    using Draw = void (*)(Mesh&);
    const Draw filled[] = {
        [](Mesh& x) { kvxRenderList(x.colors, x.textureCoords, x.vertices, x.normals, x.faces, 1, 1); },
        [](Mesh& x) { kvxRenderBasic(x.colors, x.textureCoords, x.vertices, x.normals, x.faces, 1, 1); },
        [](Mesh& x) { kvxRenderReflection(x.colors, x.vertices, x.normals, x.faces, 1, 1, 1.0f); },
    };
    for (Draw draw : filled) {
        glClear(GL_COLOR_BUFFER_BIT);
        draw(s);
        EXPECT_TRUE(colorNear(px(250, 130), 255, 0, 0));
        EXPECT_TRUE(black(60, 130));
    }

    // Lines through pixel centres: the a-b edge of face 1 lies on row 100.
    for (int i = 0; i < s.vertexCount; ++i) s.vertices[i].y += 0.5f;
    glClear(GL_COLOR_BUFFER_BIT);
    kvxRenderWire(s.colors, s.textureCoords, s.vertices, s.normals, s.faces, s.faceFlags, 1, 1);
    EXPECT_TRUE(colorNear(px(250, 100), 255, 0, 0));
    EXPECT_TRUE(black(250, 130));  // lines only
    EXPECT_TRUE(black(60, 100));

    // An empty range draws nothing.
    glClear(GL_COLOR_BUFFER_BIT);
    kvxRenderList(s.colors, s.textureCoords, s.vertices, s.normals, s.faces, 1, 0);
    kvxRenderBasic(s.colors, s.textureCoords, s.vertices, s.normals, s.faces, 1, 0);
    EXPECT_TRUE(black(250, 130));

    // Any rasterizer but OpenGL draws nothing.
    kvxSelectedRasterizer = 1;
    kvxRenderList(s.colors, s.textureCoords, s.vertices, s.normals, s.faces, 0, 1);
    kvxSelectedRasterizer = 0;
    EXPECT_TRUE(black(250, 130));
}

TEST_F(FaceRenderers, VertexArraysKeepAlphaAndImmediateModeForcesOne) {
    auto m = twoFaces();
    for (int i = 0; i < m->vertexCount; ++i) m->colors[i] = Color{0, 0, 0, 0.2f};
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    kvxRenderList(m->colors, m->textureCoords, m->vertices, m->normals, m->faces, 0, 0);
    kvxRenderBasic(m->colors, m->textureCoords, m->vertices, m->normals, m->faces, 1, 1);
    EXPECT_TRUE(colorNear(px(60, 130), 204, 204, 204));  // black at 0.2 over white
    EXPECT_TRUE(colorNear(px(250, 130), 0, 0, 0));       // black at 1.0
}

TEST_F(FaceRenderers, WireFlagsChooseEdgesAndFirstColourGivesAlpha) {
    std::unique_ptr<Mesh> m(
        makeMesh({{0, 0, 0}, {100.5f, 100.5f, 0}, {300.5f, 100.5f, 0}, {100.5f, 300.5f, 0}}, {{1, 2, 3}}));
    m->colors[0].a = 0.5f;  // not a corner of the face, yet its alpha is used
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    auto edges = [&](char flags, bool ab, bool bc, bool ca) {
        m->faceFlags[0] = flags;
        glClear(GL_COLOR_BUFFER_BIT);
        kvxRenderWire(m->colors, m->textureCoords, m->vertices, m->normals, m->faces, m->faceFlags, 0, 0);
        EXPECT_EQ(!black(200, 100), ab) << int(flags);
        EXPECT_EQ(!black(200, 200), bc) << int(flags);
        EXPECT_EQ(!black(100, 200), ca) << int(flags);
    };
    edges(7, true, true, true);
    EXPECT_TRUE(colorNear(px(200, 100), 128, 128, 128, 3));
    edges(2, true, false, false);
    edges(1, false, false, true);
    edges(4, false, true, false);
    edges(0, false, false, false);
}

TEST_F(FaceRenderers, ReflectionLooksUpTheTextureByNormal) {
    // 4 x 4 texels: (2, 2) green, (0, 3) blue, the rest grey.
    uint8_t texels[4 * 4 * 4];
    for (int i = 0; i < 16; ++i) {
        texels[4 * i] = texels[4 * i + 1] = texels[4 * i + 2] = 100;
        texels[4 * i + 3] = 255;
    }
    auto set = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* t = texels + 4 * (4 * y + x);
        t[0] = r, t[1] = g, t[2] = b;
    };
    set(2, 2, 0, 255, 0);
    set(0, 3, 0, 0, 255);
    std::unique_ptr<Texture> texture(makeTexture(4, 4, texels));
    kvxSetTexture(texture.get());
    glEnable(GL_TEXTURE_2D);

    auto m = twoFaces();
    for (int i = 0; i < 3; ++i) m->normals[i] = Vertex3D{0, 0, 1};
    for (int i = 3; i < 6; ++i) m->normals[i] = Vertex3D{-0.5f, 0.5f, 0.7f};
    for (int i = 0; i < 6; ++i) m->colors[i] = Color{1, 1, 1, 1};
    kvxRenderReflection(m->colors, m->vertices, m->normals, m->faces, 0, 1, 1.0f);
    EXPECT_TRUE(colorNear(px(60, 130), 0, 255, 0));   // (0.5, 0.5)
    EXPECT_TRUE(colorNear(px(250, 130), 0, 0, 255));  // (0, 1)
}

TEST_F(FaceRenderers, SetTextureBindsTheCurrentFrameAndBuildsTheTextureMatrix) {
    const uint8_t red[16] = {255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255};
    const uint8_t green[16] = {0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255};
    std::unique_ptr<Texture> t(makeTexture(2, 2, red, 0));
    makeTexture(2, 2, green, 1, t.get());
    t->frames = 2;
    t->currentFrame = 1;

    glMatrixMode(GL_TEXTURE);
    glTranslatef(3, 3, 3);  // whatever was there is replaced
    glMatrixMode(GL_PROJECTION);
    kvxSetTexture(t.get());
    GLint bound = 0, mode = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(GLuint(bound), t->textureIDs[1]);
    EXPECT_EQ(mode, GL_MODELVIEW);
    float tm[16];
    glGetFloatv(GL_TEXTURE_MATRIX, tm);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(tm[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;

    // Scaled first, then turned, then moved: (1, 0) -> (2, 0) -> (0, 2) -> (0.25, 2.5).
    t->uScale = 2;
    t->vScale = 3;
    t->angle = 90;
    t->uOffset = 0.25f;
    t->vOffset = 0.5f;
    kvxSetTexture(t.get());
    glGetFloatv(GL_TEXTURE_MATRIX, tm);
    EXPECT_NEAR(tm[0] + tm[12], 0.25f, 1e-5f);
    EXPECT_NEAR(tm[1] + tm[13], 2.5f, 1e-5f);
    EXPECT_NEAR(tm[14], 1.0f, 1e-5f);
    // (0, 1) -> (0, 3) -> (-3, 0) -> (-2.75, 0.5)
    EXPECT_NEAR(tm[4] + tm[12], -2.75f, 1e-5f);
    EXPECT_NEAR(tm[5] + tm[13], 0.5f, 1e-5f);
    t->uScale = t->vScale = 1;
    t->angle = t->uOffset = t->vOffset = 0;
    kvxSetTexture(t.get());  // leave the identity for the next test
}
