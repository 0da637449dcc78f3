#ifndef KVX_PLATFORM_H
#define KVX_PLATFORM_H

// Window-system handles of the engine's interface, mapped onto SDL2.
// A window doubles as its own device context: SDL draws through the window.

#include <SDL2/SDL.h>
#include <cstdio>

// A window.
typedef SDL_Window* HWND;
// A device context: the window it draws to.
typedef SDL_Window* HDC;
// An OpenGL rendering context.
typedef SDL_GLContext HGLRC;
// A palette; unused with true-colour windows.
typedef void* HPALETTE;

#endif
