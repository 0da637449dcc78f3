#include <cstdio>

#include "Generators.h"
#include "Levels.h"
#include "Writer3ds.h"

namespace {

void save(Output& out, const k3ds::Scene& scene, const char* name) {
    std::string error;
    bool ok = k3ds::saveScene(scene, out.path(name), &error);
    if (!ok) std::fprintf(stderr, "datagen: %s: %s\n", name, error.c_str());
    std::printf("datagen: %s: %zu meshes, %zu faces, %zu lights\n", name, scene.meshes.size(), scene.faceCount(),
                scene.lights.size());
    out.wrote(name, ok);
}

}  // namespace

void generateScenes(Output& out) {
    save(out, buildLevel1(), "level01.dat");
    save(out, buildLevel2(), "level02.dat");
    save(out, buildLevel3(), "level03.dat");
}
