#include <gtest/gtest.h>

#include <GL/gl.h>

#include "Korvex3D.h"
#include "Presenter.h"

// A full-screen window larger than the show: the engine was started for 640 x 480 and
// keeps drawing that frame; the presenter scales it up with its 4:3 aspect.
TEST(Presenter, LargerWindowsShowTheFrameLetterboxed) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    HWND window = kvxCreateGLWindow("presenter", 1280, 720, SDL_WINDOW_HIDDEN, 32, 0, 24);
    ASSERT_NE(window, nullptr);
    kvxInitErrorLog(3);
    ASSERT_EQ(initKorvex3D(0, window, nullptr, 32, 0, 24, 30, false, 0, true), 0);
    kvxInitErrorLog(3);
    Viewport* v = kvxGetViewport();
    v->width = 640;
    v->height = 480;
    v->calcAspect();
    initOpenGL();

    Color red = {1, 0, 0, 1};
    kvxSetClearColor(&red);
    kvxClear();
    Vertex2D a = {0, 0}, b = {64, 48};
    Color green = {0, 1, 0, 1};
    kvxDrawFilledBox(&a, &b, &green);

    demo::Presenter presenter(window);
    presenter.present();
    unsigned char px[4];
    auto at = [&](int x, int y) {
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
        return px;
    };
    // 4:3 in 1280 x 720 is 960 x 720, with 160-pixel bars left and right.
    EXPECT_LT(at(80, 360)[0], 10);
    EXPECT_LT(at(1200, 360)[0], 10);
    EXPECT_GT(at(640, 360)[0], 240);
    EXPECT_GT(at(640, 60)[0], 240);
    // The frame's top-left box lands at the letterbox's top-left corner, scaled by 1.5.
    EXPECT_GT(at(160 + 40, 720 - 30)[1], 240);
    EXPECT_LT(at(160 + 40, 720 - 30)[0], 10);
    EXPECT_GT(at(160 + 120, 720 - 30)[0], 240);
    SDL_DestroyWindow(window);
}
