#include "render/Engine.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstring>

#include "platform/Window.h"
#include "render/ErrorLog.h"
#include "render/RenderState.h"

int kvxSelectedRasterizer = kvxRasterizerOpenGL;
HDC KVX_hDC = nullptr;
HGLRC KVX_hGLRC = nullptr;
HPALETTE KVX_hPalette = nullptr;
Viewport kvxViewport = {};
int kvxFPS = 0;
float kvxGamma = 1.0f;

namespace {

const char* const kDefaultLogFile = "KVXERROR.LOG";
const int kDefaultColorBits = 32;
const int kDefaultAlphaBits = 0;
const int kDefaultDepthBits = 32;
const int kDefaultFPS = 100;
const float kMaxGamma = 2.0f;
const float kDefaultFOV = 90.0f;
const float kDefaultNear = 0.01f;
const float kDefaultFar = 100000.0f;
const int kLineSize = 1024;

const char* const kEngineDescription =
    "Korvex3D Engine v1.0\n"
    "Rasterizer support: OpenGL, Direct3D\n"
    "Fileformat support: .3DS\n"
    "Texture format support: .JPG, .TGA, .IFL\n"
    "Mesh format support: .3DS\n";

// SDL fixes most of the format when the window is made; choosing and setting
// it here amounts to creating the context that carries it.
int setPixelFormat(HWND window, int colorBits, int alphaBits, int depthBits) {
    char line[kLineSize];
    snprintf(line, sizeof line, "Requested Colorbits: %d Alphabits: %d Depthbits: %d", colorBits, alphaBits, depthBits);
    kvxPutToErrorLog(line, 0);

    if (!window || !(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL))
        return kvxPutToErrorLog("Choose pix format failed!", kvxCodeChoosePixelFormat);
    KVXPixelFormat granted;
    KVX_hGLRC = kvxCreateGLContext(window, colorBits, alphaBits, depthBits, &granted);
    if (!KVX_hGLRC) return kvxPutToErrorLog("Set pix format failed!", kvxCodeSetPixelFormat);

    snprintf(line, sizeof line, "Response Colorbits: %d Alphabits: %d Depthbits: %d", granted.colorBits,
             granted.alphaBits, granted.depthBits);
    kvxPutToErrorLog(line, 0);
    return 0;
}

// One context per engine: a second start-up replaces the first.
void releaseContext() {
    if (!KVX_hGLRC) return;
    SDL_GL_MakeCurrent(nullptr, nullptr);
    SDL_GL_DeleteContext(KVX_hGLRC);
    KVX_hGLRC = nullptr;
}

void setDefaultViewport(HWND window) {
    int width, height;
    kvxGetClientSize(window, &width, &height);
    kvxViewport.width = float(width);
    kvxViewport.height = float(height);
    kvxViewport.zNear = kDefaultNear;
    kvxViewport.zFar = kDefaultFar;
    kvxViewport.fov = kDefaultFOV;
    // A zero-height (minimised) client area would divide by zero.
    kvxViewport.aspect = height > 0 ? kvxViewport.width / kvxViewport.height : 1.0f;
}

const char* glText(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

// Everything after routing the log.
int startEngine(int rasterizer, HWND window, int colorBits, int alphaBits, int depthBits, int fps, bool dxFlagA,
                int dxNumber, bool dxFlagB) {
    int result = kvxSelectRasterizer(rasterizer);
    if (result != 0) return result;
    result = kvxInitViewport(window, colorBits, alphaBits, depthBits, dxFlagA, dxNumber, dxFlagB);
    kvxSetFPS(fps);
    kvxSetGamma(1.0f);
    return result;
}

}  // namespace

int initKorvex3D(int rasterizer, HWND window, Console* console, int colorBits, int alphaBits, int depthBits, int fps,
                 bool dxFlagA, int dxNumber, bool dxFlagB) {
    if (console)
        kvxInitErrorLog(console);
    else
        kvxInitErrorLog(kvxLogToMessageBox);
    return startEngine(rasterizer, window, colorBits, alphaBits, depthBits, fps, dxFlagA, dxNumber, dxFlagB);
}

int initKorvex3D(int rasterizer, HWND window) {
    kvxInitErrorLog(kDefaultLogFile);
    return startEngine(rasterizer, window, kDefaultColorBits, kDefaultAlphaBits, kDefaultDepthBits, kDefaultFPS, false,
                       0, true);
}

int kvxSelectRasterizer(int rasterizer) {
    kvxSelectedRasterizer = rasterizer;
    if (rasterizer == kvxRasterizerOpenGL) {
        kvxFillCapTableOGL();
        return 0;
    }
    // There is no Direct3D on this platform, so that rasterizer cannot be created.
    if (rasterizer == kvxRasterizerDirect3D) return -1;
    return 0;
}

int kvxGetRasterizer() { return kvxSelectedRasterizer; }

int kvxInitViewport(HWND window, int colorBits, int alphaBits, int depthBits, bool /*dxFlagA*/, int /*dxNumber*/,
                    bool /*dxFlagB*/) {
    if (kvxSelectedRasterizer == kvxRasterizerDirect3D) {
        // The viewport is known, but no Direct3D device can be created here.
        setDefaultViewport(window);
        return kvxPutToErrorLog("Fatal! DX has run out of memory!", kvxCodeNoDirect3DDevice);
    }
    if (!kvxOpenGLSelected()) return 0;
    releaseContext();
    KVX_hDC = window;
    setPixelFormat(window, colorBits, alphaBits, depthBits);  // goes on whatever it returns
    // Palettes belong to indexed-colour formats, which SDL never hands out.
    KVX_hPalette = nullptr;
    if (!KVX_hGLRC) KVX_hGLRC = kvxCreateGLContext(window, colorBits, alphaBits, depthBits, nullptr);
    if (!KVX_hGLRC || !kvxMakeCurrent(window, KVX_hGLRC))
        return kvxPutToErrorLog("Fatal error, cannot create rendering context!", kvxCodeNoRenderingContext);
    setDefaultViewport(window);
    initOpenGL();
    return 0;
}

void initOpenGL() {
    if (!kvxOpenGLSelected()) return;
    glViewport(0, 0, GLsizei(kvxViewport.width), GLsizei(kvxViewport.height));

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kDefaultFOV, kvxViewport.aspect, kvxViewport.zNear, kvxViewport.zFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glDisable(GL_POLYGON_SMOOTH);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_ALPHA_TEST);

    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);

    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_FOG_HINT, GL_NICEST);

    char text[kLineSize];
    snprintf(text, sizeof text, "OpenGL information:\n  Vendor: %s\n  Renderer: %s\n  Version: %s\n", glText(GL_VENDOR),
             glText(GL_RENDERER), glText(GL_VERSION));
    kvxPutToErrorLog(text, 0);
}

void kvxUnInit3D() {
    // Only a Direct3D rasterizer would have something to release.
}

void kvxInfo(KVXInfo* info) {
    if (!info) return;
    info->infoLow = 0;
    info->infoHigh = 1;
    snprintf(info->text, sizeof info->text, "%s", kEngineDescription);
}

void kvxSetFPS(int fps) { kvxFPS = fps; }

int kvxGetFPS() { return kvxFPS; }

void kvxSetGamma(float gamma) {
    if (gamma > 0.0f && gamma <= kMaxGamma) kvxGamma = gamma;
}

float kvxGetGamma() { return kvxGamma; }
