// Walks through a .3DS scene: each frame the walker steps forward, slides along walls
// through the collision planes and stands on the ground found by a ray straight down.
// Usage: walk FILE.3DS [TEXTURE_FOLDER]
#include <Korvex3D.h>
#include <cmath>
#include <cstdio>

// The ground under a point: the highest face a ray straight down from it meets
// (z is up in .3DS scenes), or kvxNoHeight.
static float groundUnder(Vertex3D at, float depth, OGroup* group) {
    Vertex3D low = {at.x, at.y, at.z - depth};
    return kvxCheckHeight(&at, &low, group).z;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s FILE.3DS [TEXTURE_FOLDER]\n", argv[0]);
        return 2;
    }
    SDL_Init(SDL_INIT_VIDEO);
    SDL_Window* window =
        SDL_CreateWindow("Walk", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, SDL_WINDOW_OPENGL);
    Console* console = new Console;
    if (initKorvex3D(kvxRasterizerOpenGL, window, console, 32, 0, 24, 30, false, 0, true) != 0) return 1;

    // Lit by its lights; the octree answers the collision and height queries.
    int flags = kvxLoadMeshes | kvxLoadMaterials | kvxLoadLights | kvxLoadCameras | kvxLoadLighting | kvxLoadOctree;
    Scene* scene = new Scene;
    OGroup* group = scene->createOGroup(argv[1], flags, argc > 2 ? argv[2] : "", 0, nullptr, "");
    if (!group || group->cameraCount == 0) {
        fprintf(stderr, "%s: cannot load it, or it has no camera\n", argv[1]);
        return 1;
    }
    Camera* camera = scene->camera;  // the file's first camera is the walker's eyes
    Vertex3D toward = camera->target - camera->eye;
    float reach = std::sqrt(toward.x * toward.x + toward.y * toward.y) + 1.0f;
    const float stride = reach / 200, radius = reach / 100;
    float heading = std::atan2(toward.y, toward.x);
    Vertex3D at = camera->eye;
    float ground = groundUnder(at, reach, group);
    float eyeHeight = ground != kvxNoHeight ? at.z - ground : reach / 20;
    int grounded = 0, blocked = 0;

    for (int frame = 0; frame < 90; frame++) {
        Vertex3D from = at, normal;
        at.x += std::cos(heading) * stride;
        at.y += std::sin(heading) * stride;
        if (kvxCheckCollision(&at, &from, radius, group, true, &normal, 4)) blocked++;
        ground = groundUnder(at, reach, group);
        if (ground != kvxNoHeight) {
            at.z = ground + eyeHeight;
            grounded++;
        }
        heading += 0.01f;  // a gentle curve
        camera->moveTo(at.x, at.y, at.z, at.x + std::cos(heading), at.y + std::sin(heading), at.z);

        kvxClear();
        scene->render(kvxRenderOpaque);  // through the moved camera, no animation
        scene->render(kvxRenderTransparent);
        kvxSwapBuffers();
        SDL_Delay(33);
    }
    kvxScreenShot();
    printf("walked 90 steps: ground under %d, a wall in the way %d times; now at %.1f %.1f %.1f\n", grounded, blocked,
           at.x, at.y, at.z);
    delete scene;
    return 0;
}
