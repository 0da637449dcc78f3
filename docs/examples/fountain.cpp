// A particle fountain: the source restarts each particle at its nozzle with an upward
// velocity and gravity; the engine moves it every update and draws it as a glowing quad.
#include <Korvex3D.h>
#include <cstdio>
#include <cstdlib>

static float spread() { return float(rand() % 1000 - 500) / 500.0f; }

// Called for every dead particle: a new drop at the nozzle.
static void startDrop(ParticleSource* source, Particle* p) {
    p->position = source->position;
    p->velocity = {spread() * 0.12f, spread() * 0.12f, 1.0f + spread() * 0.1f};
    p->acceleration = {0.0f, 0.0f, -0.04f};  // gravity, per update
    p->lifetime = p->life = 20 + rand() % 40;
}

int main() {
    SDL_Init(SDL_INIT_VIDEO);
    SDL_Window* window =
        SDL_CreateWindow("Fountain", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, SDL_WINDOW_OPENGL);
    Console* console = new Console;
    if (initKorvex3D(kvxRasterizerOpenGL, window, console, 32, 0, 24, 30, false, 0, true) != 0) return 1;
    Color night = {0.02f, 0.02f, 0.08f, 1.0f}, water = {0.6f, 0.85f, 1.0f, 1.0f};
    kvxSetClearColor(&night);

    Camera camera;
    camera.moveTo(0, -16, 7, 0, 0, 7);  // eye, then target; z is up
    camera.rotationFromTarget();        // the quads face the camera by its rotation
    ParticleSource fountain;
    Vertex3D nozzle = {0, 0, 0}, up = {0, 0, 1};
    // No material: untextured quads, added to what is behind them.
    fountain.initSource(&nozzle, &up, nullptr, &water, nullptr, nullptr, 0.15f, 1.0f, KVX_SRC_ALPHA, KVX_ONE, startDrop,
                        nullptr, true);
    fountain.initParticles(1000);

    for (int frame = 0; frame < 90; frame++) {
        fountain.update();
        kvxClear();
        fountain.draw(&camera);
        kvxSwapBuffers();
        SDL_Delay(33);
    }
    kvxScreenShot();
    int alive = 0;
    for (int i = 0; i < fountain.particleCount; i++) alive += fountain.particles[i].life > 0;
    printf("%d of %d drops in the air\n", alive, fountain.particleCount);
    return 0;
}
