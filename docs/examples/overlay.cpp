// 2D over the picture: a gradient panel, a frame, lines and text with a frame counter.
// Window coordinates have y going down from the top edge.
#include <Korvex3D.h>
#include <cmath>
#include <cstdio>

int main() {
    SDL_Init(SDL_INIT_VIDEO);
    SDL_Window* window =
        SDL_CreateWindow("Overlays", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, SDL_WINDOW_OPENGL);
    Console* console = new Console;
    if (initKorvex3D(kvxRasterizerOpenGL, window, console, 32, 0, 24, 30, false, 0, true) != 0) return 1;
    if (kvxInitFont() != 0) {  // bitmap glyphs of DejaVu Sans
        fprintf(stderr, "no DejaVu Sans font\n");
        return 1;
    }
    Color top = {0.1f, 0.1f, 0.4f, 1}, bottom = {0.5f, 0.1f, 0.3f, 1};
    Color white = {1, 1, 1, 1}, yellow = {1, 0.9f, 0.2f, 1};

    for (int frame = 0; frame < 90; frame++) {
        kvxClear();
        Vertex2D a = {40, 40}, b = {600, 440};
        kvxDrawFilledBox(&a, &b, &top, &top, &bottom, &bottom);  // colours of the four corners
        kvxDrawBox(&a, &b, &white);
        for (int i = 0; i < 8; i++) {  // a turning fan of lines
            float t = frame * 0.05f + i * 0.785f;
            Vertex2D c = {320, 300}, d = {320 + 100 * std::cos(t), 300 + 100 * std::sin(t)};
            kvxDrawLine(&c, &d, &yellow);
        }
        kvxWrite(60, 90, &white, "Korvex3D overlays");
        kvxWrite(60, 130, &yellow, "frame %d", frame);
        kvxSwapBuffers();
        SDL_Delay(33);
    }
    kvxScreenShot();
    puts("drew 90 frames of overlays");
    return 0;
}
