#ifndef KVX_TESTS_MESH_GLFIXTURE_H
#define KVX_TESTS_MESH_GLFIXTURE_H

// One hidden window per test suite, with a known, neutral GL state and a
// pixel-exact projection before every test.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "MeshBuilders.h"
#include "TestWindow.h"
#include "render/Engine.h"

class GLFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() { window = new TestWindow(); }
    static void TearDownTestSuite() {
        delete window;
        window = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(window->result, 0);
        kvxSelectedRasterizer = 0;
        meshtest::pixelProjection();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_LIGHTING);
        glShadeModel(GL_SMOOTH);
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_TRUE);
        glCullFace(GL_BACK);
        glFrontFace(GL_CCW);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    static Rgba px(int x, int y) { return window->readPixel(x, y); }
    static bool black(int x, int y) { return colorNear(px(x, y), 0, 0, 0); }

    static inline TestWindow* window = nullptr;
};

#endif
