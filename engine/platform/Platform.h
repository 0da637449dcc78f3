#ifndef KVX_PLATFORM_H
#define KVX_PLATFORM_H

// Window-system handles of the engine's interface, mapped onto SDL2.
// A window doubles as its own device context: SDL draws through the window.

#include <SDL2/SDL.h>
#include <cstdio>

typedef SDL_Window* HWND;
typedef SDL_Window* HDC;
typedef SDL_GLContext HGLRC;
typedef void* HPALETTE;

#endif
