#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include "Korvex3D.h"
#include "Presenter.h"

// Windows larger and smaller than the show: the engine was started for 640 x 480 and
// keeps drawing that frame; the presenter shows all of it, scaled with its 4:3 aspect.
TEST(Presenter, AnyWindowShowsTheWholeFrameLetterboxed) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    struct Case {
        int w, h;
    } cases[] = {{1280, 720}, {320, 200}};
    for (const Case& c : cases) {
        HWND window = kvxCreateGLWindow("presenter", c.w, c.h, SDL_WINDOW_HIDDEN, 32, 0, 24);
        ASSERT_NE(window, nullptr);
        kvxInitErrorLog(3);
        ASSERT_EQ(initKorvex3D(0, window, nullptr, 32, 0, 24, 30, false, 0, true), 0);
        kvxInitErrorLog(3);
        Viewport* v = kvxGetViewport();
        v->width = 640;
        v->height = 480;
        v->calcAspect();
        initOpenGL();

        demo::Presenter* presenter = new demo::Presenter(window);
        presenter->begin();
        Color red = {1, 0, 0, 1};
        kvxSetClearColor(&red);
        kvxClear();
        Vertex2D a = {0, 0}, b = {64, 48};
        Color green = {0, 1, 0, 1};
        kvxDrawFilledBox(&a, &b, &green);
        presenter->present();

        auto bind = PFNGLBINDFRAMEBUFFERPROC(SDL_GL_GetProcAddress("glBindFramebuffer"));
        ASSERT_NE(bind, nullptr);
        bind(GL_READ_FRAMEBUFFER, 0);
        unsigned char px[4];
        auto at = [&](double fx, double fy) {  // fractions of the window, from the top left
            glReadPixels(int(fx * c.w), c.h - 1 - int(fy * c.h), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
            return px;
        };
        // 4:3 in 16:9 (1280 x 720) and in 8:5 (320 x 200): black bars left and right,
        // the frame between them, its top-left box in the letterbox's top-left corner.
        const double bar = (1.0 - double(c.h) * 4 / 3 / c.w) / 2;
        EXPECT_LT(at(bar / 2, 0.5)[0], 10) << c.w;
        EXPECT_LT(at(1 - bar / 2, 0.5)[0], 10) << c.w;
        EXPECT_GT(at(0.5, 0.5)[0], 240) << c.w;
        EXPECT_GT(at(0.5, 0.02)[0], 240) << c.w;
        EXPECT_GT(at(0.5, 0.98)[0], 240) << c.w;
        const double frameW = 1 - 2 * bar;
        EXPECT_GT(at(bar + frameW * 0.05, 0.05)[1], 240) << c.w;
        EXPECT_LT(at(bar + frameW * 0.05, 0.05)[0], 10) << c.w;
        EXPECT_GT(at(bar + frameW * 0.15, 0.05)[0], 240) << c.w;
        EXPECT_GT(at(bar + frameW * 0.95, 0.95)[0], 240) << c.w;
        delete presenter;
        SDL_DestroyWindow(window);
    }
}
