#ifndef KVX_RENDER_ENGINE_H
#define KVX_RENDER_ENGINE_H

// Engine start-up on a host window: error log routing, rasterizer choice,
// the OpenGL context with its default state and projection, frame rate and
// gamma, and the engine description.

#include "core/Types.h"
#include "platform/Platform.h"

class Console;

// Rasterizers of kvxSelectRasterizer: OpenGL, the one this engine has.
const int kvxRasterizerOpenGL = 0;
// Direct3D, which this engine does not have.
const int kvxRasterizerDirect3D = 1;

// Start-up error codes: no pixel format matches.
const int kvxCodeChoosePixelFormat = 1;
// The pixel format cannot be set.
const int kvxCodeSetPixelFormat = 2;
// No OpenGL rendering context can be created.
const int kvxCodeNoRenderingContext = 41;
// No Direct3D device (always, on this engine).
const int kvxCodeNoDirect3DDevice = 53;

// The rasterizer in use (kvxRasterizerOpenGL).
extern int kvxSelectedRasterizer;
// True while OpenGL, the only rasterizer that draws here, is selected.
inline bool kvxOpenGLSelected() { return kvxSelectedRasterizer == kvxRasterizerOpenGL; }

// The device context the engine draws to.
extern HDC KVX_hDC;
// The engine's OpenGL rendering context.
extern HGLRC KVX_hGLRC;
// The palette (unused).
extern HPALETTE KVX_hPalette;
// The current projection.
extern Viewport kvxViewport;
// The frame rate the host asked for.
extern int kvxFPS;
// The gamma applied to the static lighting.
extern float kvxGamma;

// Starts the engine on window: logs into console, selects the rasterizer, creates the context with these
// colour, alpha and depth bits and sets the frame rate; returns 0, or the error code of the step that failed.
// The dx arguments are ignored.
int initKorvex3D(int rasterizer, HWND window, Console* console, int colorBits, int alphaBits, int depthBits, int fps,
                 bool dxFlagA, int dxNumber, bool dxFlagB);
// Log file "KVXERROR.LOG", 32 colour, 0 alpha and 32 depth bits, 100 frames a second.
int initKorvex3D(int rasterizer, HWND window);

// Selects the rasterizer; returns 0 for OpenGL and -1 for Direct3D, which is not available.
int kvxSelectRasterizer(int rasterizer);
// Returns the selected rasterizer.
int kvxGetRasterizer();

// Creates the rendering context on window (an SDL window created with
// SDL_WINDOW_OPENGL), makes it current and sets the default state.
int kvxInitViewport(HWND window, int colorBits, int alphaBits, int depthBits, bool dxFlagA, int dxNumber, bool dxFlagB);
// Sets the engine's default OpenGL state and projection on the current context.
void initOpenGL();
// Releases what the rasterizer holds (nothing, with OpenGL).
void kvxUnInit3D();

// Fills info with the engine's version numbers and description.
void kvxInfo(KVXInfo* info);

// Sets the frame rate the host renders at.
void kvxSetFPS(int fps);
// Returns the frame rate set last.
int kvxGetFPS();
// Taken only when 0 < gamma <= 2.
void kvxSetGamma(float gamma);
// Returns the gamma set last.
float kvxGetGamma();

#endif
