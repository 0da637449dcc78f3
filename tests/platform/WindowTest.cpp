#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>

#include "platform/Window.h"

namespace {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }
};

TEST_F(WindowTest, UnavailableFormatsFallBackAndReportWhatWasGranted) {
    // No system offers 64 depth bits or 16 alpha bits.
    HWND window = kvxCreateGLWindow("fallback", 64, 32, SDL_WINDOW_HIDDEN, 32, 16, 64);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    KVXPixelFormat granted = {-1, -1, -1, false};
    HGLRC context = kvxCreateGLContext(window, 32, 16, 64, &granted);
    ASSERT_NE(context, nullptr) << SDL_GetError();
    EXPECT_EQ(granted.colorBits, 24);
    EXPECT_LE(granted.alphaBits, 8);
    EXPECT_GE(granted.depthBits, 16);
    EXPECT_LT(granted.depthBits, 64);
    int width = 0, height = 0;
    kvxGetClientSize(window, &width, &height);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 32);

    // The context is current and draws.
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char p[4] = {};
    glReadPixels(3, 3, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[1], 255);
    kvxPresent(window);

    SDL_GL_MakeCurrent(nullptr, nullptr);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
}

TEST_F(WindowTest, NoContextOnWindowsWithoutOpenGL) {
    HWND plain = SDL_CreateWindow("plain", 0, 0, 16, 16, SDL_WINDOW_HIDDEN);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(kvxCreateGLContext(plain, 32, 0, 24, nullptr), nullptr);
    EXPECT_EQ(kvxCreateGLContext(nullptr, 32, 0, 24, nullptr), nullptr);
    EXPECT_FALSE(kvxMakeCurrent(plain, nullptr));
    int width = 1, height = 1;
    kvxGetClientSize(nullptr, &width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    kvxPresent(nullptr);
    SDL_DestroyWindow(plain);
}

TEST_F(WindowTest, TickCountAdvancesInMilliseconds) {
    unsigned int start = kvxGetTickCount();
    SDL_Delay(30);
    unsigned int elapsed = kvxGetTickCount() - start;
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 5000u);
}

TEST_F(WindowTest, MessageBoxWithoutDisplayPrintsAndAnswersYes) {
    testing::internal::CaptureStderr();
    EXPECT_TRUE(kvxAskYesNo("Caption", "Text\n"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Caption: Text\n");
}

}  // namespace
