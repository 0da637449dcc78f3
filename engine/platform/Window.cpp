#include "platform/Window.h"

#include <cstdlib>
#include <cstring>

#include <GL/gl.h>

namespace {

const int kDepthFallbacks[] = {32, 24, 16, 0};
const int kAlphaFallbacks[] = {8, 0};

void channelSizes(int colorBits, int* red, int* green, int* blue) {
    if (colorBits >= 24) {
        *red = *green = *blue = 8;
    } else if (colorBits >= 15) {
        *red = 5;
        *green = colorBits >= 16 ? 6 : 5;
        *blue = 5;
    } else {
        *red = *green = 3;
        *blue = 2;
    }
}

// The request, then the same with each smaller depth and alpha size.
template <typename Attempt>
auto withFallbacks(int colorBits, int alphaBits, int depthBits, Attempt attempt) -> decltype(attempt()) {
    kvxRequestPixelFormat(colorBits, alphaBits, depthBits);
    if (auto result = attempt()) return result;
    for (int alpha : kAlphaFallbacks) {
        if (alpha > alphaBits) continue;
        for (int depth : kDepthFallbacks) {
            if (depth > depthBits) continue;
            kvxRequestPixelFormat(colorBits, alpha, depth);
            if (auto result = attempt()) return result;
        }
    }
    return nullptr;
}

bool displayAvailable() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) driver = getenv("SDL_VIDEODRIVER");
    if (driver && (strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0)) return false;
    return getenv("DISPLAY") || getenv("WAYLAND_DISPLAY");
}

}  // namespace

void kvxRequestPixelFormat(int colorBits, int alphaBits, int depthBits) {
    int red, green, blue;
    channelSizes(colorBits, &red, &green, &blue);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, red);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, green);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, blue);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, alphaBits);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

HWND kvxCreateGLWindow(const char* title, int width, int height, Uint32 flags, int colorBits, int alphaBits,
                       int depthBits) {
    return withFallbacks(colorBits, alphaBits, depthBits, [&]() {
        return SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                flags | SDL_WINDOW_OPENGL);
    });
}

HGLRC kvxCreateGLContext(HWND window, int colorBits, int alphaBits, int depthBits, KVXPixelFormat* granted) {
    if (!window || !(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL)) return nullptr;
    HGLRC context = withFallbacks(colorBits, alphaBits, depthBits, [&]() { return SDL_GL_CreateContext(window); });
    if (!context) return nullptr;
    if (!kvxMakeCurrent(window, context)) {
        SDL_GL_DeleteContext(context);
        return nullptr;
    }
    if (granted) kvxDescribePixelFormat(granted);
    return context;
}

bool kvxMakeCurrent(HWND window, HGLRC context) {
    return window && context && SDL_GL_MakeCurrent(window, context) == 0;
}

void kvxDescribePixelFormat(KVXPixelFormat* format) {
    GLint red = 0, green = 0, blue = 0, alpha = 0, depth = 0;
    GLboolean doubleBuffered = GL_FALSE;
    glGetIntegerv(GL_RED_BITS, &red);
    glGetIntegerv(GL_GREEN_BITS, &green);
    glGetIntegerv(GL_BLUE_BITS, &blue);
    glGetIntegerv(GL_ALPHA_BITS, &alpha);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffered);
    format->colorBits = red + green + blue;
    format->alphaBits = alpha;
    format->depthBits = depth;
    format->doubleBuffered = doubleBuffered == GL_TRUE;
}

void kvxPresent(HDC dc) {
    if (dc) SDL_GL_SwapWindow(dc);
}

void kvxGetClientSize(HWND window, int* width, int* height) {
    *width = *height = 0;
    if (window) SDL_GL_GetDrawableSize(window, width, height);
}

unsigned int kvxGetTickCount() { return (unsigned int)SDL_GetTicks64(); }

bool kvxAskYesNo(const char* caption, const char* text) {
    enum { kNo = 0, kYes = 1 };
    if (displayAvailable()) {
        const SDL_MessageBoxButtonData buttons[] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kYes, "Yes"},
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kNo, "No"},
        };
        const SDL_MessageBoxData box = {SDL_MESSAGEBOX_WARNING, nullptr, caption, text, 2, buttons, nullptr};
        int answer = kYes;
        if (SDL_ShowMessageBox(&box, &answer) == 0) return answer != kNo;
    }
    fprintf(stderr, "%s: %s", caption, text);
    return true;
}
