// Loads a .3DS scene and plays its keyframe animation through the scene's first camera,
// lit by the scene's own lights, for three seconds; then saves the last frame.
// Usage: play3ds FILE.3DS [TEXTURE_FOLDER]
#include <Korvex3D.h>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s FILE.3DS [TEXTURE_FOLDER]\n", argv[0]);
        return 2;
    }
    SDL_Init(SDL_INIT_VIDEO);
    SDL_Window* window = SDL_CreateWindow("Play a .3DS file", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480,
                                          SDL_WINDOW_OPENGL);
    Console* console = new Console;
    if (initKorvex3D(kvxRasterizerOpenGL, window, console, 32, 0, 24, 30, false, 0, true) != 0) return 1;

    // Everything the file holds, smoothed, with static lighting and shadows from its lights.
    int flags = kvxLoadMeshes | kvxLoadMaterials | kvxLoadLights | kvxLoadCameras | kvxLoadKeyframer |
                kvxLoadSmoothing | kvxLoadLighting;
    Scene* scene = new Scene;
    OGroup* group = scene->createOGroup(argv[1], flags, argc > 2 ? argv[2] : "", 0, nullptr, "");
    if (!group || group->cameraCount == 0) {
        fprintf(stderr, "%s: cannot load it, or it has no camera\n", argv[1]);
        return 1;
    }
    scene->setCamera(group, 0);  // also takes the camera's field of view
    int id = scene->getOGID(group);

    for (int frame = 0; frame < 90; frame++) {  // 30 animation frames a second
        group->setCurrentFrame(frame);
        kvxClear();
        scene->render(id, kvxRenderOpaquePass);       // moves the camera, draws the opaque faces
        scene->render(id, kvxRenderTransparentPass);  // then the blended faces, back to front
        kvxSwapBuffers();
        SDL_Delay(33);
    }
    kvxScreenShot();  // Shot0000.jpg in the working folder
    printf("%s: %d meshes, %d lights, %d cameras, %d animation frames\n", argv[1], group->meshCount, group->lightCount,
           group->cameraCount, group->frameCount);
    delete scene;
    return 0;
}
