#include "EngineWindow.h"

#include <SDL_opengl.h>

namespace {
const int kColorBits = 32;
const int kAlphaBits = 0;
const int kDepthBits = 24;
const int kFramesPerSecond = 30;
const Color kBackground = {0.16f, 0.17f, 0.20f, 1.0f};
}  // namespace

EngineWindow::~EngineWindow() {
    if (engineStarted_) kvxUnInit3D();
    if (window_) SDL_DestroyWindow(window_);
    if (sdlStarted_) SDL_Quit();
}

bool EngineWindow::open(const char* title, int width, int height, bool headless, Console* console, std::string* error) {
    if (headless) SDL_setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        *error = std::string("cannot start SDL: ") + SDL_GetError();
        return false;
    }
    sdlStarted_ = true;
    Uint32 flags = headless ? SDL_WINDOW_HIDDEN : (SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    window_ = kvxCreateGLWindow(title, width, height, flags, kColorBits, kAlphaBits, kDepthBits);
    if (!window_) {
        *error = std::string("cannot open an OpenGL window: ") + SDL_GetError();
        return false;
    }
    int result = initKorvex3D(kvxRasterizerOpenGL, window_, console, kColorBits, kAlphaBits, kDepthBits,
                              kFramesPerSecond, false, 0, true);
    if (result != 0) {
        *error = "cannot start the engine (code " + std::to_string(result) + ")";
        return false;
    }
    engineStarted_ = true;
    kvxInitFont();
    Color background = kBackground;
    kvxSetClearColor(&background);
    int w = width, h = height;
    if (!headless) kvxGetClientSize(window_, &w, &h);
    resize(w, h);
    return true;
}

void EngineWindow::resize(int width, int height) {
    if (width < 1 || height < 1) return;
    width_ = width;
    height_ = height;
    glViewport(0, 0, width, height);
    Viewport v = *kvxGetViewport();
    v.width = static_cast<float>(width);
    v.height = static_cast<float>(height);
    v.calcAspect();
    kvxSetViewport(&v);
}
