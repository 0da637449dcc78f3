#ifndef KVX_RENDER_ENGINE_H
#define KVX_RENDER_ENGINE_H

// Engine start-up on a host window: error log routing, rasterizer choice,
// the OpenGL context with its default state and projection, frame rate and
// gamma, and the engine description.

#include "core/Types.h"
#include "platform/Platform.h"

class Console;

const int kvxRasterizerOpenGL = 0;
const int kvxRasterizerDirect3D = 1;

const int kvxCodeChoosePixelFormat = 1;
const int kvxCodeSetPixelFormat = 2;
const int kvxCodeNoRenderingContext = 41;
const int kvxCodeNoDirect3DDevice = 53;

extern int kvxSelectedRasterizer;
// True while OpenGL, the only rasterizer that draws here, is selected.
inline bool kvxOpenGLSelected() { return kvxSelectedRasterizer == kvxRasterizerOpenGL; }
extern HDC KVX_hDC;
extern HGLRC KVX_hGLRC;
extern HPALETTE KVX_hPalette;
extern Viewport kvxViewport;
extern int kvxFPS;
extern float kvxGamma;

int initKorvex3D(int rasterizer, HWND window, Console* console, int colorBits, int alphaBits, int depthBits,
                 int fps, bool dxFlagA, int dxNumber, bool dxFlagB);
// Log file "KVXERROR.LOG", 32 colour, 0 alpha and 32 depth bits, 100 frames a second.
int initKorvex3D(int rasterizer, HWND window);

int kvxSelectRasterizer(int rasterizer);
int kvxGetRasterizer();

// Creates the rendering context on window (an SDL window created with
// SDL_WINDOW_OPENGL), makes it current and sets the default state.
int kvxInitViewport(HWND window, int colorBits, int alphaBits, int depthBits, bool dxFlagA, int dxNumber,
                    bool dxFlagB);
void initOpenGL();
void kvxUnInit3D();

void kvxInfo(KVXInfo* info);

void kvxSetFPS(int fps);
int kvxGetFPS();
// Taken only when 0 < gamma <= 2.
void kvxSetGamma(float gamma);
float kvxGetGamma();

#endif
