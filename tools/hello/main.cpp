// Starts Korvex3D in a window, prints what the engine logged and draws a few
// frames of a spinning, fogged pyramid. Usage: hello [frames]

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Korvex3D.h"

namespace {

const int kWidth = 640;
const int kHeight = 480;
const int kDefaultFrames = 200;
const unsigned int kFrameMs = 10;

void printConsole(Console& console) {
    std::string text(Console::textSize, '\0');
    if (console.getText(&text[0]) > 0) fputs(text.c_str(), stdout);
}

bool escapePressed() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (e.type == SDL_QUIT) return true;
        if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE) return true;
    }
    return false;
}

void vertex(const float* v) { kvxVertex3f(v[0], v[1], v[2]); }

// Four coloured sides around the z axis, apex up.
void drawPyramid() {
    static const float apex[3] = {0, 0, 1.5f};
    static const float base[4][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1}};
    static const float colors[4][3] = {{1, 0.2f, 0.2f}, {0.2f, 1, 0.2f}, {0.2f, 0.4f, 1}, {1, 1, 0.2f}};
    kvxBegin(KVX_TRIANGLES);
    for (int i = 0; i < 4; ++i) {
        kvxColor4f(colors[i][0], colors[i][1], colors[i][2], 1);
        vertex(base[i]);
        vertex(base[(i + 1) % 4]);
        vertex(apex);
    }
    kvxEnd();
}

void drawFrame(float seconds) {
    kvxClear();
    kvxInitMatrix();
    kvxLookAt(0, -5, 1.5f, 0, 0, 0, 0, 0, 1);
    kvxRotate(seconds * 90.0f, 0, 0, 1);
    drawPyramid();
    kvxSwapBuffers();
}

}  // namespace

int main(int argc, char** argv) {
    int frames = argc > 1 ? atoi(argv[1]) : kDefaultFrames;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "hello: %s\n", SDL_GetError());
        return 1;
    }
    HWND window = kvxCreateGLWindow("Korvex3D hello", kWidth, kHeight, SDL_WINDOW_SHOWN, 32, 0, 32);
    if (!window) {
        fprintf(stderr, "hello: no OpenGL window: %s\n", SDL_GetError());
        return 1;
    }
    Console console;
    int result = initKorvex3D(kvxRasterizerOpenGL, window, &console, 32, 0, 32, 100, false, 0, true);
    printConsole(console);
    if (result != 0) return result;

    KVXInfo info;
    kvxInfo(&info);
    fputs(info.text, stdout);

    kvxDisable(KVX_TEXTURE_2D);
    Color sky = {0.05f, 0.05f, 0.15f, 1};
    kvxSetClearColor(&sky);
    kvxSetFog(sky, 3.0f, 9.0f);

    unsigned int start = kvxGetTickCount();
    int drawn = 0;
    for (; drawn < frames && !escapePressed(); ++drawn) {
        drawFrame(float(kvxGetTickCount() - start) / 1000.0f);
        SDL_Delay(kFrameMs);
    }
    printf("Drew %d frames in %u ms\n", drawn, kvxGetTickCount() - start);
    printConsole(console);
    kvxUnInit3D();
    SDL_Quit();
    return 0;
}
