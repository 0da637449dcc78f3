#ifndef KVX_PLATFORM_WINDOW_H
#define KVX_PLATFORM_WINDOW_H

// The window-system side of the engine: OpenGL contexts on SDL windows,
// presenting, the millisecond clock and the Yes/No message box.

#include "platform/Platform.h"

// What a context was granted (colour bits exclude alpha).
struct KVXPixelFormat {
    int colorBits;
    int alphaBits;
    int depthBits;
    bool doubleBuffered;
};

// Asks SDL for a double-buffered RGBA format with these sizes. SDL fixes a
// window's format when the window is created, so hosts call this (or use
// kvxCreateGLWindow) before SDL_CreateWindow.
void kvxRequestPixelFormat(int colorBits, int alphaBits, int depthBits);

// Creates an OpenGL window with the requested format; when the system has no
// such format, smaller depth and alpha sizes are tried before giving up.
HWND kvxCreateGLWindow(const char* title, int width, int height, Uint32 flags, int colorBits, int alphaBits,
                       int depthBits);

// Creates a context on window with the requested format, falling back to
// what the window offers, makes it current and reports what was granted.
// Returns null when no context can be created on the window.
HGLRC kvxCreateGLContext(HWND window, int colorBits, int alphaBits, int depthBits, KVXPixelFormat* granted);
// Makes context current on window; true on success.
bool kvxMakeCurrent(HWND window, HGLRC context);
// Fills the sizes of the current context's default framebuffer.
void kvxDescribePixelFormat(KVXPixelFormat* format);

// Shows the frame drawn on dc's window (swaps its buffers).
void kvxPresent(HDC dc);
// Client area of the window in pixels (the drawable size).
void kvxGetClientSize(HWND window, int* width, int* height);

// Milliseconds since an arbitrary start; wraps like a 32-bit tick counter.
unsigned int kvxGetTickCount();

// Shows text with Yes and No buttons and no owner window; true for Yes. With
// no display to show it on, the text goes to stderr and the answer is Yes.
bool kvxAskYesNo(const char* caption, const char* text);

#endif
