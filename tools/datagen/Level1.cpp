// First scene: sky islands of stone and moss around a metal tower, a glass
// butterfly, a gyroscope, ring gates and a neon corridor above a glowing grid.
#include <cmath>
#include <string>

#include "Levels.h"
#include "Materials.h"
#include "Noise.h"
#include "ShowTiming.h"

namespace {

constexpr float kPi = 3.1415926f;
constexpr int kEnd = kLevel1Frames;

struct Island {
    Vec3 at;
    float radius, height, depth;
    int seed;
};

// Moss-topped cap over a stone cone that tapers to a point below.
k3ds::Mesh island(const std::string& name, const Island& is) {
    MeshBuilder b(name);
    auto rim = [&](float th) { return is.radius * (0.85f + 0.3f * fbm(th * 2.0f, 0.5f, 3, is.seed, 6)); };
    b.surface(
        32, 10,
        [&](float u, float v) {
            float th = u * 2 * kPi, r = (1 - v) * rim(u * 6);
            float bump = fbm(std::cos(th) * r * 0.03f + 10, std::sin(th) * r * 0.03f + 10, 4, is.seed + 1);
            float z = is.height * (1 - (1 - v) * (1 - v)) * (0.4f + 0.8f * bump);
            return is.at + Vec3{r * std::cos(th), r * std::sin(th), z};
        },
        "MOSS", kSmooth, 6, 3);
    b.surface(
        32, 10,
        [&](float u, float v) {
            float th = u * 2 * kPi, r = std::pow(v, 0.8f) * rim(u * 6);
            float jag = fbm(u * 12, v * 4, 3, is.seed + 2) - 0.5f;
            float z = -is.depth * (1 - v) * (0.8f + 0.4f * jag);
            return is.at + Vec3{r * std::cos(th) * (1 + 0.15f * jag), r * std::sin(th) * (1 + 0.15f * jag), z};
        },
        "ROCK", kSmooth << 1, 6, 3);
    return b.finish();
}

k3ds::Mesh tower() {
    MeshBuilder b("TOWER");
    std::vector<Vec2> profile = {{0, -160}, {30, -150}, {45, -120}, {38, -60}, {30, 0},   {26, 60}, {24, 120},
                                 {34, 140}, {34, 150},  {20, 160},  {18, 200}, {26, 210}, {0, 215}};
    b.lathe(profile, 32, "PANEL", 6);
    return b.finish();
}

k3ds::Mesh towerRings() {
    MeshBuilder b("TOWERRINGS");
    for (int i = 0; i < 4; ++i) b.torus({0, 0, -80.0f + i * 60.0f}, 44.0f - i * 4, 2.5f, 48, 6, "NEON", 8, 1);
    return b.finish();
}

k3ds::Mesh dome() {
    MeshBuilder b("DOME");
    b.surface(
        24, 8,
        [](float u, float v) {
            float th = 0.5f * kPi * (1 - v), ph = 2 * kPi * u;
            return Vec3{40 * std::sin(th) * std::cos(ph), 40 * std::sin(th) * std::sin(ph),
                        150 + 40 * std::cos(th) * 0.8f};
        },
        "GLASS", kSmooth, 4, 2);
    return b.finish();
}

k3ds::Mesh beacon(const Vec3& at) {
    MeshBuilder b("PARTICLE1");
    b.box(at, {4, 4, 4}, "GOLD", 4);
    return b.finish();
}

k3ds::Mesh horizon() {
    MeshBuilder b("HORIZON");
    // Seen from inside: wound inwards, open above so the clear colour stays the sky.
    b.surface(
        48, 4,
        [](float u, float v) {
            float a = 2 * kPi * u;
            return Vec3{1600 * std::cos(a), 1600 * std::sin(a), -700 + 1100 * v};
        },
        "NEBULA", kSmooth, 3, 1, true);
    return b.finish();
}

k3ds::Mesh gridFloor() {
    MeshBuilder b("GRIDFLOOR");
    b.surface(
        24, 24,
        [](float u, float v) {
            return Vec3{-1400 + 2800 * u, -1400 + 2800 * v, -320};
        },
        "NEON", kSmooth, 28, 28);
    return b.finish();
}

k3ds::Mesh ringGate(const std::string& name, const Vec3& at, float yaw) {
    MeshBuilder b(name);
    Placement p =
        Placement::rotation({1, 0, 0}, kPi / 2).then(Placement::rotation({0, 0, 1}, yaw)).then(Placement::at(at));
    b.place(p);
    b.torus({0, 0, 0}, 34, 4, 40, 8, "PANEL", 8, 1);
    b.torus({0, 0, 0}, 29, 1.2f, 40, 4, "NEON", 8, 1);
    return b.finish();
}

k3ds::Mesh gyroRing(const std::string& name, const Vec3& at, float radius, const Vec3& axisUp) {
    MeshBuilder b(name);
    Vec3 ax = normalize(axisUp);
    Placement p;
    if (ax.z < 0.99f) p = Placement::rotation(cross({0, 0, 1}, ax), std::acos(ax.z));
    b.place(p.then(Placement::at(at)));
    b.torus({0, 0, 0}, radius, 2.2f, 56, 8, "GOLD", 8, 1);
    return b.finish();
}

k3ds::Mesh gyroCore(const Vec3& at) {
    MeshBuilder b("GYROCORE");
    b.sphere(at, 12, 20, 12, "NEON", 2, 1);
    return b.finish();
}

k3ds::Mesh butterflyBody(const Vec3& at) {
    MeshBuilder b("BFLYBODY");
    std::vector<Vec2> prof;
    for (int i = 0; i <= 16; ++i) {
        float t = i / 16.0f;
        float r = 5.5f * std::sin(kPi * t) * (t < 0.2f ? 1.3f : 1.0f);
        prof.push_back({r, -40 + 80 * t});
    }
    prof.front().u = 0;
    prof.back().u = 0;
    b.place(Placement::rotation({1, 0, 0}, kPi / 2).then(Placement::at(at)));
    b.lathe(prof, 16, "GOLD", 2);
    return b.finish();
}

// Wing panel hinged at the body's axis; side -1 left, +1 right; fore or hind.
k3ds::Mesh wing(const std::string& name, const Vec3& at, float side, bool fore) {
    MeshBuilder b(name);
    float len = fore ? 105 : 75, wid = fore ? 65 : 50;
    float y0 = fore ? 5 : -10;
    b.surface(
        6, 4,
        [&](float u, float v) {
            float x = side * (4 + len * u);
            float y = y0 + (fore ? 1 : -1) * wid * v * (1 - 0.3f * u) + (fore ? 10 * u : -8 * u);
            return at + Vec3{x, y, 2 * std::sin(u * kPi)};
        },
        "WING", kSmooth, 1, 1, side < 0);
    return b.finish();
}

k3ds::Mesh corridor(const Vec3& from, const Vec3& to, int arches) {
    MeshBuilder b("CORRIDOR");
    Vec3 d = to - from;
    for (int i = 0; i < arches; ++i) {
        Vec3 c = from + d * (static_cast<float>(i) / (arches - 1));
        b.box(c + Vec3{0, -36, 0}, {6, 6, 76}, "PANEL", 20);
        b.box(c + Vec3{0, 36, 0}, {6, 6, 76}, "PANEL", 20);
        b.box(c + Vec3{0, 0, 38}, {6, 78, 6}, "PANEL", 20);
        b.box(c + Vec3{0, 0, -38}, {6, 78, 6}, "NEON", 20);
    }
    Vec3 mid = (from + to) * 0.5f;
    b.box(mid + Vec3{0, 0, -44}, {std::fabs(d.x) + 20, 60, 4}, "ROCK", 40, 4);
    return b.finish();
}

k3ds::Mesh monolith(const Vec3& at) {
    MeshBuilder b("MONOLITH");
    b.box(at, {12, 40, 120}, "CIRCUIT", 40, 3);
    return b.finish();
}

Motion bob(const Vec3& pivot, float amp, int period, int phase) {
    Motion m = still(pivot);
    for (int f = 0; f <= kEnd; f += 30) {
        float s = std::sin(2 * kPi * (f + phase) / period);
        m.offset.push_back({f, {0, 0, amp * s}});
    }
    return m;
}

void materials(SceneBuilder& s) {
    texturedMaterial(s, "MOSS", "moss.jpg", {0.4f, 0.8f, 0.6f}, 25);
    texturedMaterial(s, "ROCK", "rock.jpg", {0.7f, 0.6f, 0.55f}, 20);
    texturedMaterial(s, "PANEL", "panel.jpg", {0.7f, 0.7f, 0.8f}, 25);
    texturedMaterial(s, "GOLD", "gold.jpg", {1.0f, 0.8f, 0.4f}, 35);
    texturedMaterial(s, "NEON", "neon.ifl", {1.0f, 0.3f, 0.9f}, 100);
    texturedMaterial(s, "NEBULA", "nebula.jpg", {0.5f, 0.3f, 0.7f}, 100);
    texturedMaterial(s, "CIRCUIT", "circuit.jpg", {0.2f, 0.8f, 1.0f}, 60);
    glassMaterial(s, "GLASS", "glass.jpg", "glassa.jpg", {0.6f, 0.8f, 1.0f});
    glassMaterial(s, "WING", "wing.jpg", "winga.jpg", {0.7f, 0.85f, 1.0f});
}

void cameraPath(SceneBuilder& s) {
    const Vec3 bfly{-250, 150, 60}, gyro{260, -220, 30}, mono{200, 380, 70};
    std::vector<std::pair<int, Vec3>> eye = {
        {0, {-330, 40, 150}},
        {90, {-270, 30, 140}},
        {180, {-195, 45, 120}},  // close on the butterfly
        {190, {-180, 60, 115}},
        {300, {-120, -160, 60}},
        {400, {120, -360, 10}},  // swoop past the islands
        {440, {290, -330, 50}},
        {480, {390, -60, 90}},
        {560, {300, 250, 100}},
        {600, {225, 330, 80}},  // towards the monolith
        {demo::kTunnelFromFrame, {150, 400, 62}},
        {740, {-180, 400, 60}},
        {demo::kTunnelToFrame, {-520, 400, 58}},  // the corridor
        {940, {-640, 280, -60}},
        {1000, {-620, 0, -180}},
        {demo::kFirstSceneSecondFrame, {-420, -250, 140}},  // dive to the grid
        {1250, {0, -480, 220}},
        {1350, {330, -330, 60}},
        {1450, {460, 80, 120}},  // orbit in pink
        {1600, {60, 420, 200}},
        {1800, {-400, 300, 300}},
        {demo::kFirstSceneThirdFrame, {-250, -160, -230}},  // spiral finale
        {2200, {200, -200, -120}},
        {2350, {240, 180, 0}},
        {2500, {-200, 230, 120}},
        {2650, {-300, -250, 250}},
        {2800, {-600, -500, 350}},
        {2940, {-760, -700, 420}},
        {3000, {-780, -720, 430}},
    };
    std::vector<std::pair<int, Vec3>> target = {
        {0, bfly},
        {180, bfly},
        {190, {-150, 0, 50}},
        {300, {60, -300, 20}},
        {400, gyro},
        {480, {300, 150, 60}},
        {560, mono},
        {600, mono},
        {demo::kTunnelFromFrame, {0, 400, 60}},
        {740, {-400, 400, 60}},
        {demo::kTunnelToFrame, {-700, 380, 40}},
        {905, {-300, 200, 0}},
        {940, {-200, 0, -120}},
        {1000, {0, 0, 0}},
        {demo::kFirstSceneSecondFrame, {0, 0, 40}},
        {1250, {0, 0, 60}},
        {1350, gyro},
        {1450, {0, 0, 60}},
        {1600, bfly},
        {1800, {0, 0, 0}},
        {demo::kFirstSceneThirdFrame, {0, 0, -100}},
        {2200, {0, 0, -30}},
        {2350, {0, 0, 60}},
        {2500, {0, 0, 150}},
        {2650, {0, 0, 120}},
        {2800, {0, 0, 60}},
        {2940, {0, 0, 40}},
        {3000, {0, 0, 40}},
    };
    s.camera("CAMERA01", splinePath(eye, 10), splinePath(target, 10), 35);
}

}  // namespace

k3ds::Scene buildLevel1() {
    SceneBuilder s(kEnd);
    materials(s);
    s.object(horizon(), still({0, 0, 0}));
    s.object(gridFloor(), still({0, 0, -320}));
    s.object(tower(), spin({0, 0, 0}, {0, 0, 1}, 0.002f, kEnd));
    s.object(towerRings(), spin({0, 0, 0}, {0, 0, 1}, -0.01f, kEnd));
    s.object(dome(), still({0, 0, 150}));
    s.object(beacon({0, 0, 218}), still({0, 0, 218}));

    const Island islands[] = {
        {{-260, 140, -30}, 90, 25, 140, 101}, {{320, 60, -60}, 110, 30, 170, 102},
        {{60, -330, -80}, 120, 28, 180, 103}, {{-380, -260, 10}, 70, 20, 110, 104},
        {{280, 420, -20}, 80, 22, 130, 105},  {{-120, 480, -120}, 95, 26, 150, 106},
    };
    for (int i = 0; i < 6; ++i) {
        const Island& is = islands[i];
        s.object(island("ISLAND" + std::to_string(i + 1), is), bob(is.at, 6 + i, 300 + 40 * i, 50 * i));
    }

    // Glass butterfly: the body hovers, the wings are its children and flap.
    const Vec3 bfly{-250, 150, 60};
    Motion body = bob(bfly, 8, 200, 0);
    int bodyNode = s.object(butterflyBody(bfly), body);
    const char* names[4] = {"WINGLF", "WINGRF", "WINGLH", "WINGRH"};
    for (int i = 0; i < 4; ++i) {
        float side = (i % 2) ? 1.0f : -1.0f;
        bool fore = i < 2;
        Motion flap = swing(bfly, {0, 1, 0}, side * (fore ? 0.9f : 0.7f), 20, kEnd, fore ? 0 : 3);
        s.object(wing(names[i], bfly, side, fore), flap, bodyNode);
    }

    // Gyroscope: three nested rings, each turning inside its parent.
    const Vec3 gyro{260, -220, 30};
    int outer = s.object(gyroRing("GYROOUTER", gyro, 44, {0, 0, 1}), spin(gyro, {0, 0, 1}, 0.012f, kEnd));
    int middle = s.object(gyroRing("GYROMIDDLE", gyro, 36, {1, 0, 0}), spin(gyro, {1, 0, 0}, 0.02f, kEnd), outer);
    int inner = s.object(gyroRing("GYROINNER", gyro, 28, {0, 1, 0}), spin(gyro, {0, 1, 0}, 0.03f, kEnd), middle);
    s.object(gyroCore(gyro), spin(gyro, {0, 0, 1}, 0.05f, kEnd), inner);

    const Vec3 gates[] = {{-160, -60, 55}, {-20, -250, 40}, {200, -300, 25},   {380, -10, 70},
                          {320, 200, 95},  {-420, 150, 0},  {-300, -420, 200}, {300, 300, -80}};
    for (int i = 0; i < 8; ++i)
        s.object(ringGate("GATE" + std::to_string(i + 1), gates[i], 0.7f * i),
                 spin(gates[i], {0, 0, 1}, (i % 2 ? 1 : -1) * 0.003f, kEnd));

    s.object(corridor({100, 400, 60}, {-560, 400, 60}, 18), still({-230, 400, 60}));
    s.object(monolith({200, 380, 70}), spin({200, 380, 70}, {0, 0, 1}, 0.004f, kEnd));

    s.light("SUN", {-600, -800, 1400}, {1.0f, 0.9f, 0.8f}, 1800, 4000);
    s.light("FILL", {800, 900, -600}, {0.35f, 0.45f, 0.9f}, 1200, 3000);
    s.light("TOWERLIGHT", {0, 0, 240}, {0.9f, 0.4f, 0.8f}, 200, 700);
    s.light("GRIDGLOW", {0, 0, -300}, {0.6f, 0.2f, 0.8f}, 300, 900);
    s.light("GYROLIGHT", {300, -260, 120}, {0.4f, 0.9f, 1.0f}, 60, 300);
    s.light("CORRIDORLIGHT", {-230, 400, 90}, {1.0f, 0.6f, 0.3f}, 150, 500);
    cameraPath(s);
    return s.scene();
}
