// Third scene: a solid circuit cube inside a lattice cage, drawn once solid and
// once as lines, among floating cubes, rings and pillars in magenta haze.
#include <cmath>
#include <string>

#include "Levels.h"
#include "Materials.h"
#include "Noise.h"

namespace {

constexpr float kPi = 3.1415926f;
constexpr int kEnd = kLevel3Frames;

k3ds::Mesh grid(const std::string& name, float z, bool up) {
    MeshBuilder b(name);
    b.surface(
        20, 20,
        [z](float u, float v) {
            return Vec3{-200 + 400 * u, -200 + 400 * v, z};
        },
        "CHECKER", kSmooth, 10, 10, !up);
    return b.finish();
}

k3ds::Mesh cube(const std::string& name, float size, int divisions, const std::string& material) {
    MeshBuilder b(name);
    b.box({0, 0, 0}, {size, size, size}, material, size, divisions);
    return b.finish();
}

k3ds::Mesh ring(const std::string& name, float radius, const Vec3& up, const Vec3& at) {
    MeshBuilder b(name);
    Vec3 ax = normalize(up);
    Placement p;
    if (ax.z < 0.99f) p = Placement::rotation(cross({0, 0, 1}, ax), std::acos(ax.z));
    b.place(p.then(Placement::at(at)));
    b.torus({0, 0, 0}, radius, 1.5f, 48, 6, "NEON", 8, 1);
    return b.finish();
}

k3ds::Mesh pillars() {
    MeshBuilder b("PILLARS");
    for (int i = 0; i < 8; ++i) {
        float a = 2 * kPi * (i + 0.5f) / 8;
        b.cylinder({90 * std::cos(a), 90 * std::sin(a), -40}, 5, 100, 12, "CHROME", false, 1, 6);
    }
    return b.finish();
}

}  // namespace

k3ds::Scene buildLevel3() {
    SceneBuilder s(kEnd);
    texturedMaterial(s, "CHECKER", "checker.jpg", {1.0f, 0.3f, 0.9f}, 40);
    texturedMaterial(s, "CIRCUIT", "circuit.jpg", {0.2f, 0.8f, 1.0f}, 60);
    texturedMaterial(s, "NEON", "neon.ifl", {1.0f, 0.3f, 0.9f}, 100);
    texturedMaterial(s, "CHROME", "panel.jpg", {0.8f, 0.8f, 0.9f}, 30);
    texturedMaterial(s, "CAGE", "neon.ifl", {0.3f, 1.0f, 0.9f}, 100);
    glassMaterial(s, "GLASS", "glass.jpg", "glassa.jpg", {0.6f, 0.9f, 1.0f});

    s.object(grid("FLOOR", -40, true), still({0, 0, -40}));
    s.object(grid("CEILING", 60, false), still({0, 0, 60}));
    // The cage is drawn only in the line pass; the solid cube only in the filled one.
    const Vec3 centre{0, 0, 10};
    k3ds::Mesh cage = cube("CUBE1", 44, 6, "CAGE");
    for (Vec3& v : cage.vertices) v = v + centre;
    s.object(cage, spin(centre, normalize({1, 1, 1}), -0.012f, kEnd, 20));
    k3ds::Mesh core = cube("CUBE2", 26, 4, "CIRCUIT");
    for (Vec3& v : core.vertices) v = v + centre;
    s.object(core, spin(centre, normalize({1, 0.3f, 0.6f}), 0.02f, kEnd, 20));
    k3ds::Mesh shell = cube("GLASSCUBE", 34, 1, "GLASS");
    for (Vec3& v : shell.vertices) v = v + centre;
    s.object(shell, spin(centre, {0, 0, 1}, 0.006f, kEnd, 20));

    // A gimbal: each ring turns inside the one before it.
    int outer = s.object(ring("RING1", 44, {0, 0, 1}, centre), spin(centre, {0, 0, 1}, 0.03f, kEnd, 20));
    int middle = s.object(ring("RING2", 40, {1, 0, 0}, centre), spin(centre, {1, 0, 0}, -0.025f, kEnd, 20), outer);
    s.object(ring("RING3", 36, {0, 1, 0}, centre), spin(centre, {0, 1, 0}, 0.02f, kEnd, 20), middle);
    s.object(pillars(), still({0, 0, 10}));

    Rng rng(303);
    for (int i = 0; i < 40; ++i) {
        float a = rng.range(0, 2 * kPi), r = rng.range(60, 150), z = rng.range(-30, 50);
        Vec3 at{r * std::cos(a), r * std::sin(a), z};
        float size = rng.range(4, 9);
        k3ds::Mesh m = cube("BLOCK" + std::to_string(i + 1), size, 2, i % 3 == 0 ? "NEON" : "CHECKER");
        for (Vec3& v : m.vertices) v = v + at;
        Vec3 axis = normalize({rng.range(-1, 1), rng.range(-1, 1), rng.range(0.2f, 1)});
        s.object(m, spin(at, axis, rng.range(0.01f, 0.05f), kEnd, 20));
    }

    s.light("MAGENTA", {80, 60, 40}, {1.0f, 0.3f, 0.9f}, 60, 300);
    s.light("CYAN", {-80, -60, 30}, {0.3f, 0.9f, 1.0f}, 60, 300);
    s.light("TOP", {0, 0, 55}, {0.9f, 0.9f, 1.0f}, 40, 200);
    s.light("FLOORGLOW", {0, 0, -35}, {0.7f, 0.2f, 1.0f}, 40, 220);

    std::vector<std::pair<int, Vec3>> eye, target;
    for (int f = 0; f <= kEnd; f += 40) {
        float t = static_cast<float>(f) / kEnd;
        float a = 2.2f * kPi * t;
        float r = 62 - 14 * std::sin(2 * kPi * t);
        eye.push_back({f, {r * std::cos(a), r * std::sin(a), 10 + 25 * std::sin(3 * kPi * t)}});
        target.push_back({f, {0, 0, 10}});
    }
    s.camera("CAMERA01", splinePath(eye, 10), splinePath(target, 10), 24);
    return s.scene();
}
