#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <string>

#include "TestWindow.h"
#include "console/Console.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "render/RenderMessages.h"
#include "render/RenderState.h"
#include "scene/Camera.h"

namespace {

const float kPi = 3.14159265358979f;

GLint getInt(GLenum name) {
    GLint v = 0;
    glGetIntegerv(name, &v);
    return v;
}

GLfloat getFloat(GLenum name) {
    GLfloat v = 0;
    glGetFloatv(name, &v);
    return v;
}

// Column-major m (as OpenGL stores it) applied to the point (x, y, z, 1).
void transformPoint(const float* m, float x, float y, float z, float* out) {
    for (int r = 0; r < 3; ++r) out[r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r];
}

class RenderStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(w.result, 0);
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    void TearDown() override {
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        kvxSelectRasterizer(kvxRasterizerOpenGL);
    }

    // Identity projection and model-view, no texturing, culling or depth:
    // vertices are then window positions in [-1, 1].
    void flatScreen() {
        kvxSetMatrixType(KVX_PROJECTION);
        kvxInitMatrix();
        kvxSetMatrixType(KVX_MODELVIEW);
        kvxInitMatrix();
        kvxDisable(KVX_TEXTURE_2D);
        kvxDisable(KVX_CULL_FACE);
        kvxDisable(KVX_DEPTH_TEST);
    }

    void quad(float x0, float y0, float x1, float y1, float z = 0.0f) {
        kvxBegin(KVX_QUADS);
        kvxVertex3f(x0, y0, z);
        kvxVertex3f(x1, y0, z);
        kvxVertex3f(x1, y1, z);
        kvxVertex3f(x0, y1, z);
        kvxEnd();
    }

    TestWindow w;
};

TEST_F(RenderStateTest, CapTableHoldsTheOpenGLValues) {
    // Each named index against the OpenGL value it stands for; 15-17 are unused.
    const struct {
        int index;
        int gl;
    } named[] = {
        {KVX_TEXTURE, GL_TEXTURE},
        {KVX_PROJECTION, GL_PROJECTION},
        {KVX_MODELVIEW, GL_MODELVIEW},
        {KVX_TEXTURE_2D, GL_TEXTURE_2D},
        {KVX_FOG, GL_FOG},
        {KVX_BLEND, GL_BLEND},
        {KVX_COLOR_MATERIAL, GL_COLOR_MATERIAL},
        {KVX_CULL_FACE, GL_CULL_FACE},
        {KVX_FLAT, GL_FLAT},
        {KVX_SMOOTH, GL_SMOOTH},
        {KVX_ALPHA_TEST, GL_ALPHA_TEST},
        {KVX_DEPTH_TEST, GL_DEPTH_TEST},
        {KVX_MODULATE, GL_MODULATE},
        {KVX_DECAL, GL_DECAL},
        {KVX_BLEND_ENV, GL_BLEND},
        {15, 0},
        {16, 0},
        {17, 0},
        {KVX_SRC_ALPHA, GL_SRC_ALPHA},
        {KVX_DST_ALPHA, GL_DST_ALPHA},
        {KVX_ONE, GL_ONE},
        {KVX_ONE_MINUS_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA},
        {KVX_DST_COLOR, GL_DST_COLOR},
        {KVX_SRC_COLOR, GL_SRC_COLOR},
        {KVX_ZERO, GL_ZERO},
        {KVX_EQUAL, GL_EQUAL},
        {KVX_LEQUAL, GL_LEQUAL},
        {KVX_GEQUAL, GL_GEQUAL},
        {KVX_FALSE, GL_FALSE},
        {KVX_TRUE, GL_TRUE},
        {KVX_COMPILE, GL_COMPILE},
        {KVX_COMPILE_AND_EXECUTE, GL_COMPILE_AND_EXECUTE},
        {KVX_GREATER, GL_GREATER},
        {KVX_ENABLE_BIT, GL_ENABLE_BIT},
    };
    ASSERT_EQ(int(sizeof(named) / sizeof(named[0])), kvxCapTableSize);
    for (int i = 0; i < kvxCapTableSize; ++i) {
        EXPECT_EQ(named[i].index, i);
        EXPECT_EQ(kvxConvertCapTableOGL[named[i].index], named[i].gl) << i;
    }
}

TEST_F(RenderStateTest, EnableDisableAndQuery) {
    const struct {
        int cap;
        GLenum gl;
    } caps[] = {{KVX_TEXTURE_2D, GL_TEXTURE_2D}, {KVX_FOG, GL_FOG},
                {KVX_BLEND, GL_BLEND},           {KVX_COLOR_MATERIAL, GL_COLOR_MATERIAL},
                {KVX_CULL_FACE, GL_CULL_FACE},   {KVX_ALPHA_TEST, GL_ALPHA_TEST},
                {KVX_DEPTH_TEST, GL_DEPTH_TEST}};
    for (auto c : caps) {
        EXPECT_EQ(kvxEnable(c.cap), 0);
        EXPECT_TRUE(glIsEnabled(c.gl)) << c.cap;
        EXPECT_TRUE(kvxIsEnabled(c.cap));
        EXPECT_EQ(kvxDisable(c.cap), 0);
        EXPECT_FALSE(glIsEnabled(c.gl)) << c.cap;
        EXPECT_FALSE(kvxIsEnabled(c.cap));
    }
    // Index 0 names no capability in OpenGL: nothing happens.
    kvxEnable(KVX_TEXTURE);
    kvxDisable(KVX_TEXTURE);
    while (glGetError() != GL_NO_ERROR) {
    }
    // Indices outside the table are ignored rather than read past its end.
    for (int bad : {-1, kvxCapTableSize, 1000}) {
        EXPECT_EQ(kvxEnable(bad), 0);
        EXPECT_FALSE(kvxIsEnabled(bad));
        kvxBlendFunc(bad, KVX_ONE);
        kvxDepthFunc(bad);
        kvxSetMatrixType(bad);
    }
    EXPECT_EQ(getInt(GL_MATRIX_MODE), GL_MODELVIEW);
}

TEST_F(RenderStateTest, BlendDepthAlphaShadeAndMatrixModes) {
    kvxBlendFunc(KVX_SRC_ALPHA, KVX_ONE_MINUS_SRC_ALPHA);
    EXPECT_EQ(getInt(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(getInt(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    kvxBlendFunc(KVX_ONE, KVX_ONE);
    EXPECT_EQ(getInt(GL_BLEND_SRC), GL_ONE);
    EXPECT_EQ(getInt(GL_BLEND_DST), GL_ONE);
    kvxBlendFunc(KVX_DST_COLOR, KVX_ZERO);
    EXPECT_EQ(getInt(GL_BLEND_SRC), GL_DST_COLOR);
    EXPECT_EQ(getInt(GL_BLEND_DST), GL_ZERO);

    kvxDepthFunc(KVX_EQUAL);
    EXPECT_EQ(getInt(GL_DEPTH_FUNC), GL_EQUAL);
    kvxDepthFunc(KVX_LEQUAL);
    EXPECT_EQ(getInt(GL_DEPTH_FUNC), GL_LEQUAL);
    kvxDepthMask(KVX_FALSE);
    EXPECT_EQ(getInt(GL_DEPTH_WRITEMASK), GL_FALSE);
    kvxDepthMask(KVX_TRUE);
    EXPECT_EQ(getInt(GL_DEPTH_WRITEMASK), GL_TRUE);
    kvxAlphaFunc(KVX_GREATER, 0.5f);
    EXPECT_EQ(getInt(GL_ALPHA_TEST_FUNC), GL_GREATER);
    EXPECT_FLOAT_EQ(getFloat(GL_ALPHA_TEST_REF), 0.5f);
    EXPECT_EQ(kvxShadeModel(KVX_FLAT), 0);
    EXPECT_EQ(getInt(GL_SHADE_MODEL), GL_FLAT);
    kvxShadeModel(KVX_SMOOTH);
    EXPECT_EQ(getInt(GL_SHADE_MODEL), GL_SMOOTH);

    kvxSetMatrixType(KVX_TEXTURE);
    EXPECT_EQ(getInt(GL_MATRIX_MODE), GL_TEXTURE);
    kvxSetMatrixType(KVX_PROJECTION);
    EXPECT_EQ(getInt(GL_MATRIX_MODE), GL_PROJECTION);
    kvxSetMatrixType(KVX_MODELVIEW);
    EXPECT_EQ(getInt(GL_MATRIX_MODE), GL_MODELVIEW);

    kvxEnable(KVX_BLEND);
    kvxPushAttrib(KVX_ENABLE_BIT);
    kvxDisable(KVX_BLEND);
    kvxPopAttrib();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    kvxDisable(KVX_BLEND);
}

TEST_F(RenderStateTest, ClearColourAndBlendingInPixels) {
    flatScreen();
    Color clear = {0.2f, 0.4f, 0.6f, 1.0f};
    kvxSetClearColor(&clear);
    kvxClear();
    EXPECT_TRUE(colorNear(w.readPixel(5, 5), 51, 102, 153));
    EXPECT_TRUE(colorNear(w.readPixel(639, 479), 51, 102, 153));

    Color black = {0, 0, 0, 0};
    kvxSetClearColor(&black);
    kvxClear();
    kvxEnable(KVX_BLEND);
    kvxBlendFunc(KVX_SRC_ALPHA, KVX_ONE_MINUS_SRC_ALPHA);
    kvxColor4f(1, 0, 0, 0.5f);
    quad(-1, -1, 0, 1);  // left half
    kvxBlendFunc(KVX_ONE, KVX_ONE);
    kvxColor4f(0, 0.25f, 0, 1);
    quad(-1, -1, 1, 0);  // bottom half, added on top
    kvxDisable(KVX_BLEND);
    w.save(TestWindow::outputPath("render_blend.png"));

    EXPECT_TRUE(colorNear(w.readPixelTop(100, 100), 128, 0, 0));   // half red over black
    EXPECT_TRUE(colorNear(w.readPixelTop(100, 400), 128, 64, 0));  // plus a quarter green
    EXPECT_TRUE(colorNear(w.readPixelTop(500, 400), 0, 64, 0));
    EXPECT_TRUE(colorNear(w.readPixelTop(500, 100), 0, 0, 0));
}

TEST_F(RenderStateTest, FogModesAndTheirPixels) {
    Color red = {1, 0, 0, 1};
    EXPECT_EQ(kvxSetFog(red, 1.0f, 150.0f), 0);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_EQ(getInt(GL_FOG_MODE), GL_LINEAR);
    EXPECT_FLOAT_EQ(getFloat(GL_FOG_START), 1.0f);
    EXPECT_FLOAT_EQ(getFloat(GL_FOG_END), 150.0f);
    GLfloat c[4];
    glGetFloatv(GL_FOG_COLOR, c);
    EXPECT_EQ(c[0], 1.0f);
    EXPECT_EQ(c[1], 0.0f);
    EXPECT_EQ(c[3], 1.0f);

    Color blue = {0, 0, 1, 0.5f};
    EXPECT_EQ(kvxSetFog(blue, 0.02f), 0);
    EXPECT_EQ(getInt(GL_FOG_MODE), GL_EXP2);
    EXPECT_FLOAT_EQ(getFloat(GL_FOG_DENSITY), 0.02f);
    glGetFloatv(GL_FOG_COLOR, c);
    EXPECT_EQ(c[2], 1.0f);
    EXPECT_EQ(c[3], 0.5f);

    kvxDisable(KVX_FOG);
    kvxSetFogDensity(0.3f);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FLOAT_EQ(getFloat(GL_FOG_DENSITY), 0.3f);
    kvxSetFogStart(5.0f);
    kvxSetFogEnd(50.0f);
    EXPECT_FLOAT_EQ(getFloat(GL_FOG_START), 5.0f);
    EXPECT_FLOAT_EQ(getFloat(GL_FOG_END), 50.0f);

    // White quads at eye distance 5 (before the fog starts) and 60 (past
    // its end), seen through the engine's perspective projection.
    kvxSetFog(red, 10.0f, 50.0f);
    kvxDisable(KVX_TEXTURE_2D);
    kvxDisable(KVX_CULL_FACE);
    kvxInitMatrix();
    kvxClear();
    kvxColor4f(1, 1, 1, 1);
    quad(-5, -5, 0, 5, -5.0f);
    quad(0, -60, 60, 60, -60.0f);
    w.save(TestWindow::outputPath("render_fog.png"));
    EXPECT_TRUE(colorNear(w.readPixel(200, 240), 255, 255, 255));
    EXPECT_TRUE(colorNear(w.readPixel(440, 240), 255, 0, 0));
    kvxDisable(KVX_FOG);
}

TEST_F(RenderStateTest, MatrixCallsAndTransposes) {
    kvxInitMatrix();
    kvxTranslate(1, 2, 3);
    kvxRotate(90, 0, 0, 1);
    kvxScale(2, 2, 2);
    float m[16];
    kvxGetModelViewMatrix(m);
    float p[3];
    transformPoint(m, 1, 0, 0, p);  // scaled to 2, rotated onto y, moved
    EXPECT_NEAR(p[0], 1.0f, 1e-5);
    EXPECT_NEAR(p[1], 4.0f, 1e-5);
    EXPECT_NEAR(p[2], 3.0f, 1e-5);

    kvxPushMatrix();
    kvxInitMatrix();
    kvxPopMatrix();
    double d[16];
    kvxGetModelViewMatrix(d);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(d[i], m[i], 1e-6);

    float(*grid)[4][4] = reinterpret_cast<float(*)[4][4]>(m);
    float original[16];
    std::copy(m, m + 16, original);
    kvxMatrixColumnToRow(m);
    EXPECT_EQ(m[1], original[4]);
    EXPECT_EQ(m[12], original[3]);
    EXPECT_EQ(m[14], original[11]);
    kvxMatrixColumnToRow(m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], original[i]);
    kvxMatrixRowToColumn(grid);
    EXPECT_EQ((*grid)[0][3], original[12]);
    kvxMatrixColumnToRow(grid);
    kvxMatrixRowToColumn(m);
    kvxMatrixRowToColumn(m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], original[i]);

    // Multiplying the identity by m gives back m as stored.
    kvxInitMatrix();
    kvxMultMatrix(grid);
    float back[16];
    kvxGetModelViewMatrix(back);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(back[i], original[i], 1e-6);

    float id[4][4];
    for (auto& row : id)
        for (float& v : row) v = 7.0f;
    kvxInitializeMatrix(&id);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_EQ(id[i][j], i == j ? 1.0f : 0.0f);
    kvxInitMatrix();

    int viewport[4];
    kvxGetViewportMatrix(viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    float proj[16];
    kvxGetProjectionMatrix(proj);
    EXPECT_NEAR(proj[0], 0.75f, 1e-6);
}

TEST_F(RenderStateTest, LookAtAndLookWithCamera) {
    kvxInitMatrix();
    kvxLookAt(0, -10, 0, 0, 0, 0, 0, 0, 1);
    float m[16], p[3];
    kvxGetModelViewMatrix(m);
    transformPoint(m, 0, 0, 0, p);  // the target lies straight ahead
    EXPECT_NEAR(p[0], 0, 1e-5);
    EXPECT_NEAR(p[1], 0, 1e-5);
    EXPECT_NEAR(p[2], -10, 1e-5);
    transformPoint(m, 0, 0, 1, p);  // world z is screen up
    EXPECT_NEAR(p[1], 1, 1e-5);

    Camera camera;
    camera.eye = {0, -10, 0};
    camera.target = {0, 0, 0};
    camera.roll = 90.0f;
    kvxInitMatrix();
    EXPECT_EQ(kvxLookWithCamera(&camera), 0);
    kvxGetModelViewMatrix(m);
    transformPoint(m, 0, 0, 1, p);  // the roll turns screen up to the left, in eye space
    EXPECT_NEAR(p[0], -1, 1e-5);
    EXPECT_NEAR(p[1], 0, 1e-5);
    EXPECT_NEAR(p[2], -10, 1e-5);

    // Seen through the camera, a red square at the target fills the middle.
    camera.roll = 0.0f;
    kvxInitMatrix();
    kvxLookWithCamera(&camera);
    kvxDisable(KVX_TEXTURE_2D);
    kvxDisable(KVX_CULL_FACE);
    kvxClear();
    kvxColor4f(1, 0, 0, 1);
    kvxBegin(KVX_QUADS);
    kvxVertex3f(-1, 0, -1);
    kvxVertex3f(1, 0, -1);
    kvxVertex3f(1, 0, 1);
    kvxVertex3f(-1, 0, 1);
    kvxEnd();
    EXPECT_TRUE(colorNear(w.readPixel(320, 240), 255, 0, 0));
    EXPECT_TRUE(colorNear(w.readPixel(20, 20), 0, 0, 0));
    kvxInitMatrix();

    Console console;
    std::string text(Console::textSize, '\0');
    console.getText(&text[0]);
    kvxInitErrorLog(&console);
    EXPECT_EQ(kvxLookWithCamera(nullptr), kCodeCameraNull);
    text.resize(console.getText(&text[0]));
    EXPECT_EQ(text, "Camera used in functioncall is NULL!\n");
    kvxInitErrorLog(kvxLogToNowhere);
}

TEST_F(RenderStateTest, FieldOfViewAndViewportRebuildTheProjection) {
    kvxInitMatrix();
    kvxTranslate(0, 0, -3);
    kvxSetFOV(60.0f);
    EXPECT_EQ(kvxGetFOV(), 60.0f);
    EXPECT_EQ(getInt(GL_MATRIX_MODE), GL_MODELVIEW);
    float p[16], m[16];
    kvxGetProjectionMatrix(p);
    float f = 1.0f / std::tan(30.0f * kPi / 180.0f);
    EXPECT_NEAR(p[5], f, 1e-5);
    EXPECT_NEAR(p[0], f / kvxViewport.aspect, 1e-5);
    kvxGetModelViewMatrix(m);
    EXPECT_EQ(m[14], -3.0f);  // the model-view matrix is kept

    Camera camera;
    camera.fov = 45.0f;
    kvxSetFOV(&camera);
    EXPECT_EQ(kvxGetFOV(), 45.0f);
    kvxSetFOV(static_cast<Camera*>(nullptr));
    EXPECT_EQ(kvxGetFOV(), 45.0f);
    kvxSetFOV(90.0f);

    float before[16];
    kvxGetProjectionMatrix(before);
    Viewport* v = kvxGetViewport();
    EXPECT_EQ(v, &kvxViewport);
    v->zFar = 3000.0f;
    kvxSetViewport(v);
    kvxGetProjectionMatrix(p);
    const float n = 0.01f, far = 3000.0f;
    EXPECT_NEAR(p[10], (far + n) / (n - far), 1e-6);
    EXPECT_NEAR(p[14], 2 * far * n / (n - far), 1e-6);
    for (int i : {0, 5, 11, 15}) EXPECT_EQ(p[i], before[i]) << i;

    // Size changes are stored but the OpenGL viewport stays.
    Viewport small = *v;
    small.width = 100;
    small.height = 50;
    small.aspect = 2;
    kvxSetViewport(&small);
    EXPECT_EQ(kvxViewport.width, 100.0f);
    int rect[4];
    kvxGetViewportMatrix(rect);
    EXPECT_EQ(rect[2], 640);
    kvxGetProjectionMatrix(p);
    EXPECT_NEAR(p[0], 0.5f, 1e-6);
    kvxSetViewport(nullptr);

    kvxViewport.reset();
    kvxViewport.width = 640;
    kvxViewport.height = 480;
    kvxViewport.calcAspect();
    kvxSetViewport(&kvxViewport);
    kvxInitMatrix();
}

TEST_F(RenderStateTest, DisplayListsDrawWhenCalled) {
    flatScreen();
    kvxClear();
    int list = kvxGenLists(2);
    ASSERT_NE(list, 0);
    kvxNewList(list, KVX_COMPILE);
    kvxColor4f(0, 1, 0, 1);
    quad(-1, -1, 0, 0);
    kvxEndList();
    EXPECT_EQ(kvxIsList(list), 1);
    EXPECT_TRUE(colorNear(w.readPixel(100, 100), 0, 0, 0));  // compiled only

    kvxNewList(list + 1, KVX_COMPILE_AND_EXECUTE);
    kvxColor4f(0, 0, 1, 1);
    quad(0, 0, 1, 1);
    kvxEndList();
    EXPECT_TRUE(colorNear(w.readPixel(500, 400), 0, 0, 255));

    kvxClear();
    kvxCallList(list);
    EXPECT_TRUE(colorNear(w.readPixel(100, 100), 0, 255, 0));
    EXPECT_TRUE(colorNear(w.readPixel(500, 400), 0, 0, 0));
    kvxCallList(list + 1);
    EXPECT_TRUE(colorNear(w.readPixel(500, 400), 0, 0, 255));
    w.save(TestWindow::outputPath("render_lists.png"));

    kvxDeleteLists(list, 2);
    EXPECT_EQ(kvxIsList(list), 0);
    EXPECT_EQ(kvxIsList(list + 1), 0);
}

TEST_F(RenderStateTest, ImmediateModePrimitivesAndTexCoords) {
    flatScreen();
    kvxClear();
    kvxColor4f(1, 1, 0, 1);
    kvxNormal3f(0, 0, 1);
    kvxTexCoord2f(0.25f, 0.75f);
    kvxBegin(KVX_TRIANGLES);
    kvxVertex3f(-1, -1, 0);
    kvxVertex3f(1, -1, 0);
    kvxVertex3f(-1, 1, 0);
    kvxEnd();
    EXPECT_TRUE(colorNear(w.readPixel(50, 50), 255, 255, 0));
    EXPECT_TRUE(colorNear(w.readPixel(600, 450), 0, 0, 0));
    GLfloat t[4], n[3];
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, t);
    glGetFloatv(GL_CURRENT_NORMAL, n);
    EXPECT_EQ(t[0], 0.25f);
    EXPECT_EQ(t[1], 0.75f);
    EXPECT_EQ(n[2], 1.0f);

    kvxBegin(KVX_PRIMITIVE_COUNT);  // not a primitive: nothing begins
    kvxBegin(-1);

    kvxDXBeginScene();
    kvxDXEndScene();
    kvxSwapBuffers();
    kvxDXRestoreSurfaces();
}

}  // namespace
