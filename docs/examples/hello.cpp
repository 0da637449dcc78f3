#include <Korvex3D.h>
#include <cstdio>

int main() {
    SDL_Init(SDL_INIT_VIDEO);
    SDL_Window* window =
        SDL_CreateWindow("Hello Korvex3D", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, SDL_WINDOW_OPENGL);
    Console* console = new Console;  // receives the engine's log
    if (initKorvex3D(0, window, console, 32, 0, 24, 30, false, 0, true) != 0) return 1;
    Color sky = {0.1f, 0.2f, 0.4f, 1.0f}, orange = {1.0f, 0.6f, 0.0f, 1.0f};
    kvxSetClearColor(&sky);
    for (int frame = 0; frame < 90; frame++) {  // three seconds at 30 frames per second
        kvxClear();
        Vertex2D a = {220, 140}, b = {420, 340};
        kvxDrawFilledBox(&a, &b, &orange);
        kvxSwapBuffers();
        SDL_Delay(33);
    }
    static char text[512000];
    console->getText(text);
    fputs(text, stdout);  // start-up lines: pixel format, GL driver
    return 0;
}
