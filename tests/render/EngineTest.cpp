#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "Programs.h"
#include "TestWindow.h"
#include "console/Console.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "render/RenderState.h"

namespace {

std::string takeText(Console& console) {
    std::string text(Console::textSize, '\0');
    text.resize(console.getText(&text[0]));
    return text;
}

std::string glString(GLenum name) { return reinterpret_cast<const char*>(glGetString(name)); }

std::string expectedStartupLog(int red, int green, int blue, int alpha, int depth) {
    char response[128];
    snprintf(response, sizeof response, "Response Colorbits: %d Alphabits: %d Depthbits: %d\n", red + green + blue,
             alpha, depth);
    return "Requested Colorbits: 32 Alphabits: 0 Depthbits: 32\n" + std::string(response) +
           "OpenGL information:\n  Vendor: " + glString(GL_VENDOR) + "\n  Renderer: " + glString(GL_RENDERER) +
           "\n  Version: " + glString(GL_VERSION) + "\n\n";
}

std::string grantedLog() {
    GLint r, g, b, a, d;
    glGetIntegerv(GL_RED_BITS, &r);
    glGetIntegerv(GL_GREEN_BITS, &g);
    glGetIntegerv(GL_BLUE_BITS, &b);
    glGetIntegerv(GL_ALPHA_BITS, &a);
    glGetIntegerv(GL_DEPTH_BITS, &d);
    return expectedStartupLog(r, g, b, a, d);
}

class EngineTest : public ::testing::Test {
protected:
    void TearDown() override {
        kvxSelectRasterizer(kvxRasterizerOpenGL);
        kvxInitErrorLog(kvxLogToNowhere);
    }
};

TEST_F(EngineTest, StartsOnA640x480WindowAndLogsTheFormat) {
    Console console;
    takeText(console);
    TestWindow w(&console);
    ASSERT_EQ(w.result, 0);
    EXPECT_EQ(kvxViewport.width, 640.0f);
    EXPECT_EQ(kvxViewport.height, 480.0f);
    EXPECT_EQ(kvxViewport.aspect, 1.3333334f);
    EXPECT_EQ(kvxViewport.zNear, 0.01f);
    EXPECT_EQ(kvxViewport.zFar, 100000.0f);
    EXPECT_EQ(kvxViewport.fov, 90.0f);
    EXPECT_EQ(kvxFPS, 100);
    EXPECT_EQ(kvxGetFPS(), 100);
    EXPECT_EQ(kvxGamma, 1.0f);
    EXPECT_EQ(KVX_hDC, w.window);
    EXPECT_NE(KVX_hGLRC, nullptr);
    EXPECT_EQ(KVX_hPalette, nullptr);
    EXPECT_EQ(kvxError.mode, kvxLogToConsole);

    std::string log = takeText(console);
    EXPECT_EQ(log, grantedLog());
    GLint depth = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    EXPECT_GE(depth, 16);  // fell back from 32 when needed, never to no depth buffer
    printf("granted: %s", log.substr(0, log.find("OpenGL")).c_str());
}

TEST_F(EngineTest, ShortFormLogsToKVXERRORLOGInTheWorkingDirectory) {
    kvxtest::Scratch scratch("kvx_engine");
    kvxtest::InDirectory inScratch(scratch.dir());
    scratch.write("KVXERROR.LOG", "previous run\n");

    TestWindow w(nullptr, false);
    kvxSetFPS(7);
    kvxGamma = 0.5f;
    EXPECT_EQ(initKorvex3D(0, w.window), 0);
    EXPECT_STREQ(kvxError.fileName, "KVXERROR.LOG");
    EXPECT_EQ(kvxFPS, 100);
    EXPECT_EQ(kvxGamma, 1.0f);
    EXPECT_EQ(kvxtest::readFile("KVXERROR.LOG"), "previous run\n" + grantedLog());
}

TEST_F(EngineTest, WithoutAConsoleTheLogAsksInMessageBoxes) {
    TestWindow w(nullptr, false);
    testing::internal::CaptureStderr();
    EXPECT_EQ(initKorvex3D(0, w.window, nullptr, 32, 0, 32, 100, false, 0, true), 0);
    std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_EQ(kvxError.mode, kvxLogToMessageBox);
    EXPECT_EQ(shown.rfind("KVX Error: Requested Colorbits: 32 Alphabits: 0 Depthbits: 32\n\nContinue?\n", 0), 0u);
    EXPECT_NE(shown.find("KVX Error: OpenGL information:\n  Vendor: "), std::string::npos);
}

TEST_F(EngineTest, DefaultStateAndProjection) {
    TestWindow w;
    ASSERT_EQ(w.result, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);

    // gluPerspective(90, 4/3, 0.01, 100000)
    GLfloat p[16];
    glGetFloatv(GL_PROJECTION_MATRIX, p);
    const float n = 0.01f, f = 100000.0f;
    EXPECT_NEAR(p[0], 0.75f, 1e-6);
    EXPECT_NEAR(p[5], 1.0f, 1e-6);
    EXPECT_NEAR(p[10], (f + n) / (n - f), 1e-6);
    EXPECT_NEAR(p[11], -1.0f, 1e-6);
    EXPECT_NEAR(p[14], 2 * f * n / (n - f), 1e-6);
    EXPECT_EQ(p[15], 0.0f);

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat mv[16], tex[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, mv);
    glGetFloatv(GL_TEXTURE_MATRIX, tex);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(mv[i], i % 5 == 0 ? 1.0f : 0.0f);
        EXPECT_EQ(tex[i], i % 5 == 0 ? 1.0f : 0.0f);
    }

    for (GLenum cap : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_CULL_FACE, GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY,
                       GL_TEXTURE_COORD_ARRAY})
        EXPECT_TRUE(glIsEnabled(cap)) << std::hex << cap;
    for (GLenum cap : {GL_BLEND, GL_POLYGON_SMOOTH, GL_COLOR_MATERIAL, GL_LIGHTING, GL_FOG, GL_ALPHA_TEST})
        EXPECT_FALSE(glIsEnabled(cap)) << std::hex << cap;

    GLint value = 0;
    glGetIntegerv(GL_SHADE_MODEL, &value);
    EXPECT_EQ(value, GL_SMOOTH);
    glGetIntegerv(GL_PERSPECTIVE_CORRECTION_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    glGetIntegerv(GL_FOG_HINT, &value);
    EXPECT_EQ(value, GL_NICEST);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    for (float c : clear) EXPECT_EQ(c, 0.0f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // The default clear really yields black.
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    initOpenGL();
    kvxClear();
    EXPECT_TRUE(colorNear(w.readPixel(320, 240), 0, 0, 0, 0));
}

TEST_F(EngineTest, RasterizerSelection) {
    EXPECT_EQ(kvxSelectRasterizer(0), 0);
    EXPECT_EQ(kvxGetRasterizer(), 0);
    EXPECT_EQ(kvxConvertCapTableOGL[KVX_BLEND], GL_BLEND);

    // No Direct3D here: it cannot be created, and start-up stops at once.
    Console console;
    takeText(console);
    TestWindow w(nullptr, false);
    EXPECT_EQ(kvxSelectRasterizer(kvxRasterizerDirect3D), -1);
    EXPECT_EQ(kvxGetRasterizer(), kvxRasterizerDirect3D);
    EXPECT_EQ(initKorvex3D(kvxRasterizerDirect3D, w.window, &console, 32, 0, 32, 60, false, 0, true), -1);
    EXPECT_EQ(takeText(console), "");
    EXPECT_NE(kvxFPS, 60);

    EXPECT_EQ(kvxSelectRasterizer(5), 0);
    EXPECT_EQ(kvxGetRasterizer(), 5);
}

TEST_F(EngineTest, OtherRasterizersLeaveOpenGLAlone) {
    TestWindow w;
    ASSERT_EQ(w.result, 0);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    kvxSelectRasterizer(2);
    Color white = {1, 1, 1, 1};
    kvxSetClearColor(&white);
    kvxClear();
    kvxEnable(KVX_BLEND);
    kvxSetFog(white, 1.0f, 10.0f);
    kvxSetFOV(30.0f);
    EXPECT_EQ(kvxGenLists(1), 0);
    EXPECT_FALSE(kvxIsEnabled(KVX_DEPTH_TEST));
    kvxSelectRasterizer(0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_EQ(kvxViewport.fov, 90.0f);
    EXPECT_TRUE(colorNear(w.readPixel(10, 10), 255, 0, 0, 0));
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.0f);
}

TEST_F(EngineTest, NoRenderingContextOnAWindowWithoutOpenGL) {
    TestWindow keepVideo(nullptr, false);
    SDL_Window* plain = SDL_CreateWindow("plain", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
    ASSERT_NE(plain, nullptr);
    Console console;
    takeText(console);
    EXPECT_EQ(initKorvex3D(0, plain, &console, 32, 0, 32, 100, false, 0, true), 41);
    EXPECT_EQ(takeText(console),
              "Requested Colorbits: 32 Alphabits: 0 Depthbits: 32\n"
              "Choose pix format failed!\n"
              "Fatal error, cannot create rendering context!\n");
    EXPECT_EQ(kvxFPS, 100);
    EXPECT_EQ(KVX_hGLRC, nullptr);
    SDL_DestroyWindow(plain);

    EXPECT_EQ(kvxInitViewport(nullptr, 32, 0, 32, false, 0, true), kvxCodeNoRenderingContext);
}

TEST_F(EngineTest, InfoAndSettings) {
    KVXInfo info;
    memset(&info, 0x55, sizeof info);
    kvxInfo(&info);
    EXPECT_EQ(info.infoLow, 0);
    EXPECT_EQ(info.infoHigh, 1);
    EXPECT_STREQ(info.text,
                 "Korvex3D Engine v1.0\n"
                 "Rasterizer support: OpenGL, Direct3D\n"
                 "Fileformat support: .3DS\n"
                 "Texture format support: .JPG, .TGA, .IFL\n"
                 "Mesh format support: .3DS\n");

    kvxSetGamma(1.0f);
    for (float rejected : {0.0f, -1.0f, 2.5f, NAN}) {
        kvxSetGamma(rejected);
        EXPECT_EQ(kvxGetGamma(), 1.0f);
    }
    kvxSetGamma(2.0f);
    EXPECT_EQ(kvxGetGamma(), 2.0f);
    kvxSetGamma(0.7f);
    EXPECT_EQ(kvxGetGamma(), 0.7f);
    kvxSetGamma(1.0f);

    kvxSetFPS(-3);
    EXPECT_EQ(kvxGetFPS(), -3);
    kvxSetFPS(100);
    kvxUnInit3D();
    EXPECT_EQ(kvxGetRasterizer(), 0);
}

}  // namespace
