// Second scene: a marble plaza in pink haze; a tiered fountain holds the
// emitter, columns and obelisks ring it and glass lanterns circle above.
#include <cmath>
#include <string>

#include "Levels.h"
#include "Materials.h"

namespace {

constexpr float kPi = 3.1415926f;
constexpr int kEnd = kLevel2Frames;

k3ds::Mesh floorDisc() {
    MeshBuilder b("PLAZA");
    b.surface(
        48, 8,
        [](float u, float v) {
            float a = 2 * kPi * u, r = 30 + 420 * v;
            return Vec3{r * std::cos(a), r * std::sin(a), 0};
        },
        "TILES", kSmooth, 12, 4, true);
    return b.finish();
}

k3ds::Mesh fountain() {
    MeshBuilder b("FOUNTAIN");
    std::vector<Vec2> p = {{0, 0},   {70, 0},  {72, 12}, {64, 14}, {62, 6},  {20, 6},  {14, 20}, {12, 36}, {34, 40},
                           {36, 46}, {30, 48}, {10, 48}, {8, 60},  {18, 64}, {18, 68}, {6, 70},  {0, 71}};
    b.lathe(p, 48, "MARBLE", 4);
    return b.finish();
}

k3ds::Mesh water() {
    MeshBuilder b("WATER");
    b.surface(
        32, 3,
        [](float u, float v) {
            float a = 2 * kPi * u, r = 14 + 48 * v;
            return Vec3{r * std::cos(a), r * std::sin(a), 10};
        },
        "WATER", kSmooth, 4, 2, true);
    b.surface(
        24, 2,
        [](float u, float v) {
            float a = 2 * kPi * u, r = 9 + 24 * v;
            return Vec3{r * std::cos(a), r * std::sin(a), 45};
        },
        "WATER", kSmooth, 3, 1, true);
    return b.finish();
}

k3ds::Mesh colonnade() {
    MeshBuilder b("COLONNADE");
    for (int i = 0; i < 12; ++i) {
        float a = 2 * kPi * i / 12;
        Vec3 c{200 * std::cos(a), 200 * std::sin(a), 0};
        b.box(c + Vec3{0, 0, 4}, {26, 26, 8}, "MARBLE", 26);
        b.cylinder(c + Vec3{0, 0, 8}, 9, 110, 16, "MARBLE", false, 1, 3);
        b.box(c + Vec3{0, 0, 122}, {24, 24, 8}, "GOLD", 24);
    }
    b.torus({0, 0, 132}, 200, 7, 96, 6, "MARBLE", 24, 1);
    return b.finish();
}

k3ds::Mesh obelisk(const std::string& name, const Vec3& at) {
    MeshBuilder b(name);
    b.box(at + Vec3{0, 0, 80}, {22, 22, 160}, "MARBLE", 40, 2);
    b.box(at + Vec3{0, 0, 120}, {24, 24, 6}, "NEON", 24);
    b.box(at + Vec3{0, 0, 60}, {24, 24, 6}, "NEON", 24);
    b.box(at + Vec3{0, 0, 170}, {10, 10, 20}, "GOLD", 10);
    return b.finish();
}

k3ds::Mesh sign() {
    MeshBuilder b("SIGN");
    b.box({0, -300, 20}, {140, 20, 40}, "MARBLE", 40);
    b.panel({70, -311, 8}, {-140, 0, 0}, {0, 0, 30}, "SIGN");
    return b.finish();
}

k3ds::Mesh carouselHub() {
    MeshBuilder b("CAROUSEL");
    b.torus({0, 0, 150}, 110, 1.5f, 64, 4, "GOLD", 16, 1);
    for (int i = 0; i < 6; ++i) {
        float a = 2 * kPi * i / 6;
        b.box({55 * std::cos(a), 55 * std::sin(a), 150}, {8, 8, 2}, "GOLD", 8);
    }
    return b.finish();
}

k3ds::Mesh lantern(const std::string& name, const Vec3& at) {
    MeshBuilder b(name);
    b.sphere(at, 12, 16, 10, "LANTERN", 2, 1);
    b.sphere(at, 4, 8, 6, "NEON", 1, 1);
    b.cylinder(at + Vec3{0, 0, 11}, 1, 14, 6, "GOLD", false);
    return b.finish();
}

Motion hover(const Vec3& pivot, float amp, int period, int phase) {
    Motion m = still(pivot);
    for (int f = 0; f <= kEnd + 20; f += 20)
        m.offset.push_back({f, {0, 0, amp * std::sin(2 * kPi * (f + phase) / period)}});
    return m;
}

}  // namespace

k3ds::Scene buildLevel2() {
    SceneBuilder s(kEnd);
    texturedMaterial(s, "TILES", "tiles.jpg", {0.8f, 0.6f, 0.6f}, 25);
    texturedMaterial(s, "MARBLE", "marble.jpg", {0.9f, 0.85f, 0.9f}, 25);
    texturedMaterial(s, "GOLD", "gold.jpg", {1.0f, 0.8f, 0.4f}, 35);
    texturedMaterial(s, "NEON", "neon.ifl", {1.0f, 0.3f, 0.9f}, 100);
    texturedMaterial(s, "SIGN", "sign.jpg", {1, 1, 1}, 80);
    k3ds::Material& w = texturedMaterial(s, "WATER", "water.jpg", {0.4f, 0.7f, 1.0f}, 50);
    w.transparency = 55;
    w.twoSided = true;
    glassMaterial(s, "LANTERN", "glass.jpg", "glassa.jpg", {1.0f, 0.7f, 0.9f});

    s.object(floorDisc(), still({0, 0, 0}));
    s.object(fountain(), still({0, 0, 35}));
    s.object(water(), still({0, 0, 20}));
    MeshBuilder emitter("PARTICLE1");
    emitter.box({0, 0, 74}, {3, 3, 3}, "GOLD", 3);
    s.object(emitter.finish(), still({0, 0, 74}));
    s.object(colonnade(), still({0, 0, 66}));
    for (int i = 0; i < 8; ++i) {
        float a = 2 * kPi * (i + 0.5f) / 8;
        Vec3 at{330 * std::cos(a), 330 * std::sin(a), 0};
        s.object(obelisk("OBELISK" + std::to_string(i + 1), at), still(at + Vec3{0, 0, 90}));
    }
    s.object(sign(), still({0, -300, 20}));

    // Lanterns ride a turning carousel and bob on their own.
    int hub = s.object(carouselHub(), spin({0, 0, 150}, {0, 0, 1}, 0.01f, kEnd, 20));
    for (int i = 0; i < 8; ++i) {
        float a = 2 * kPi * i / 8;
        Vec3 at{110 * std::cos(a), 110 * std::sin(a), 135};
        s.object(lantern("LANTERN" + std::to_string(i + 1), at), hover(at, 10, 120, 15 * i), hub);
    }

    s.light("FOUNTAINLIGHT", {0, 0, 110}, {1.0f, 0.75f, 0.85f}, 120, 600);
    s.light("MOON", {-500, 400, 900}, {0.6f, 0.6f, 0.9f}, 1200, 3000);
    s.light("WARM", {500, -300, 300}, {1.0f, 0.6f, 0.4f}, 300, 1200);
    s.light("LOW", {0, 0, 20}, {0.6f, 0.3f, 0.6f}, 100, 500);

    std::vector<std::pair<int, Vec3>> eye, target;
    for (int f = 0; f <= kEnd + 20; f += 50) {
        float t = static_cast<float>(f) / kEnd;
        float a = -0.6f * kPi + 1.3f * kPi * t;
        float r = 240 - 110 * std::sin(kPi * t) - 40 * t;
        eye.push_back({f, {r * std::cos(a), r * std::sin(a), 40 + 170 * t * t}});
        target.push_back({f, {0, 0, 55 + 90 * t}});
    }
    s.camera("CAMERA01", splinePath(eye, 10), splinePath(target, 10), 35);
    return s.scene();
}
