// One full frame: a lit, textured ground and ball, a half-transparent box and
// a particle fountain, saved as a PNG to look at and checked at a few pixels.

#include <cmath>
#include <memory>
#include <vector>

#include "../mesh/GLFixture.h"
#include "particles/ParticleSource.h"
#include "render/RenderState.h"
#include "scene/Camera.h"
#include "texture/Material.h"
#include "texture/TList.h"

using meshtest::makeTexture;

namespace {

const float kPi = 3.14159265f;
unsigned seed = 12345;

float random01() {
    seed = seed * 1103515245u + 12345u;
    return float((seed >> 8) & 0xFFFF) / 65535.0f;
}

void fountainStart(ParticleSource* s, Particle* p) {
    *p = Particle{};
    p->position = s->position;
    p->velocity = Vertex3D{(random01() - 0.5f) * 0.08f, (random01() - 0.5f) * 0.08f, 0.25f + random01() * 0.08f};
    p->acceleration = Vertex3D{0, 0, -0.008f};
    p->life = p->lifetime = 20 + int(random01() * 40);
}

Texture* checkerTexture(uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> texels(8 * 8 * 4);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            uint8_t* t = &texels[size_t(4 * (8 * y + x))];
            bool light = ((x + y) & 1) == 0;
            t[0] = light ? 255 : r;
            t[1] = light ? 255 : g;
            t[2] = light ? 255 : b;
            t[3] = 255;
        }
    Texture* t = makeTexture(8, 8, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    return t;
}

Texture* glowTexture() {
    const int n = 32;
    std::vector<uint8_t> texels(size_t(n * n * 4));
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float dx = (x + 0.5f) / n - 0.5f, dy = (y + 0.5f) / n - 0.5f;
            float a = std::fmax(0.0f, 1.0f - 2.0f * std::sqrt(dx * dx + dy * dy));
            uint8_t* t = &texels[size_t(4 * (n * y + x))];
            t[0] = 255, t[1] = 220, t[2] = 150, t[3] = uint8_t(255 * a * a);
        }
    return makeTexture(n, n, texels.data());
}

// Vertex colours from one directional light over a dim ambient term.
void light(Mesh& m, float ambient) {
    Vertex3D dir{-0.4f, -0.5f, 0.77f};
    dir.normalize();
    for (int i = 0; i < m.vertexCount; ++i) {
        Vertex3D& n = m.normals[i];
        float d = std::fmax(0.0f, n.x * dir.x + n.y * dir.y + n.z * dir.z);
        float c = ambient + (1.0f - ambient) * d;
        m.colors[i] = Color{c, c, c, 1.0f};
    }
}

// The loader's preparation order, ending in reserved display lists.
void prepare(Mesh& m) {
    m.prepareSmoothing();
    m.center();
    m.calcNormals();
    m.originalToCalculated();
    m.calcRadius();
    m.sortFacesByMaterial();
    m.calcEdgeNormals();
    ASSERT_EQ(m.createDisplayList(), 0);
}

std::unique_ptr<Mesh> sphere(Vertex3D at, float r, int material) {
    const int stacks = 16, slices = 24;
    std::unique_ptr<Mesh> m(new Mesh());
    m->createVertices((stacks + 1) * (slices + 1));
    m->createFaces(2 * stacks * slices);
    for (int i = 0; i <= stacks; ++i)
        for (int j = 0; j <= slices; ++j) {
            float th = kPi * i / stacks, ph = 2 * kPi * j / slices;
            int v = i * (slices + 1) + j;
            m->originalVertices[v] = Vertex3D{at.x + r * std::sin(th) * std::cos(ph),
                                              at.y + r * std::sin(th) * std::sin(ph), at.z + r * std::cos(th)};
            m->textureCoords[v] = Vertex2D{2.0f * j / slices, 1.0f * i / stacks};
        }
    int f = 0;
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            uint16_t a = uint16_t(i * (slices + 1) + j), b = uint16_t(a + 1), c = uint16_t(a + slices + 1),
                     d = uint16_t(c + 1);
            m->faces[f++] = Facelist{a, c, d};
            m->faces[f++] = Facelist{a, d, b};
        }
    for (int k = 0; k < m->faceCount; ++k) {
        m->smoothingGroups[k] = 1;
        m->faceMaterials[k] = material;
    }
    prepare(*m);
    return m;
}

// An axis-aligned box with one smoothing group per side, so sides get flat normals.
std::unique_ptr<Mesh> box(Vertex3D lo, Vertex3D hi, int material) {
    std::unique_ptr<Mesh> m(new Mesh());
    m->createVertices(8);
    m->createFaces(12);
    for (int i = 0; i < 8; ++i)
        m->originalVertices[i] = Vertex3D{i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z};
    const int sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (int s = 0; s < 6; ++s) {
        const int* q = sides[s];
        m->faces[2 * s] = Facelist{uint16_t(q[0]), uint16_t(q[1]), uint16_t(q[2])};
        m->faces[2 * s + 1] = Facelist{uint16_t(q[0]), uint16_t(q[2]), uint16_t(q[3])};
        m->smoothingGroups[2 * s] = m->smoothingGroups[2 * s + 1] = s;
        m->faceMaterials[2 * s] = m->faceMaterials[2 * s + 1] = material;
    }
    for (int k = 0; k < 12; ++k) m->faceFlags[k] = 3;
    prepare(*m);
    for (int i = 0; i < m->vertexCount; ++i) m->textureCoords[i] = Vertex2D{0.5f, 0.5f};
    return m;
}

void place(Mesh& m, int flags, TList* materials) {
    kvxPushMatrix();
    kvxTranslate(m.position.x, m.position.y, m.position.z);
    m.render(flags, materials);
    kvxPopMatrix();
}

}  // namespace

class FountainFrame : public GLFixture {};

TEST_F(FountainFrame, LitTexturedTransparentMeshesWithAParticleFountain) {
    kvxSetViewport(kvxGetViewport());
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    Color sky{0.12f, 0.14f, 0.22f, 1.0f};
    kvxSetClearColor(&sky);
    kvxClear();

    TList materials;
    Material* ground = new Material();
    ground->addFirstTexture(checkerTexture(60, 110, 60));
    materials.addMaterial(ground);  // 1
    Material* ball = new Material();
    ball->addFirstTexture(checkerTexture(200, 60, 40));
    materials.addMaterial(ball);  // 2
    Material* glass = new Material();
    glass->transparency = 0.45f;
    glass->twoSided = true;
    materials.addMaterial(glass);  // 3

    std::unique_ptr<Mesh> floor(box(Vertex3D{-10, -10, -0.2f}, Vertex3D{10, 10, 0}, 1));
    for (int i = 0; i < floor->vertexCount; ++i)
        floor->textureCoords[i] =
            Vertex2D{(floor->originalVertices[i].x + 10) * 0.15f, (floor->originalVertices[i].y + 10) * 0.15f};
    std::unique_ptr<Mesh> ballMesh(sphere(Vertex3D{-3.5f, 1, 2}, 2, 2));
    std::unique_ptr<Mesh> glassBox(box(Vertex3D{2, -1, 0}, Vertex3D{5, 2, 3}, 3));
    light(*floor, 0.35f);
    light(*ballMesh, 0.2f);
    for (int i = 0; i < glassBox->vertexCount; ++i) glassBox->colors[i] = Color{0.5f, 0.8f, 1.0f, 1.0f};

    ParticleSource fountain;
    Material* spark = new Material();
    spark->addFirstTexture(glowTexture());
    Vertex3D origin{0, -3, 0.1f}, up{0, 0, 1};
    Color warm{1.0f, 0.8f, 0.5f, 1.0f};
    ASSERT_EQ(fountain.initSource(&origin, &up, spark, &warm, nullptr, nullptr, 0.22f, 1.0f, 18, 20, fountainStart,
                                  nullptr, true),
              0);
    fountain.initParticles(250);
    for (int step = 0; step < 90; ++step) fountain.update();

    Camera camera;
    camera.eye = Vertex3D{1, -11, 5};
    camera.target = Vertex3D{0, 0, 2};
    camera.rotationFromTarget();

    kvxInitMatrix();
    ASSERT_EQ(kvxLookWithCamera(&camera), 0);
    place(*floor, 0x20, &materials);
    // The ball goes through its display list: recorded, then replayed.
    place(*ballMesh, 0x2420, &materials);
    place(*ballMesh, 0x1020, &materials);
    place(*glassBox, 0x10000, &materials);
    fountain.draw(&camera);

    const std::string path = TestWindow::outputPath("fountain.png");
    EXPECT_TRUE(window->save(path));
    std::printf("frame written to %s\n", path.c_str());

    // Sky above the scene, the lit ball, the floor through the glass, and
    // the fountain brighter than anything around it.
    EXPECT_TRUE(colorNear(px(5, 475), 31, 36, 56, 2));
    Rgba ballPixel = px(240, 260);
    EXPECT_GT(ballPixel.r, 2 * ballPixel.g);
    Rgba throughGlass = px(380, 210);
    EXPECT_GT(throughGlass.b, throughGlass.r + 30);
    Rgba sparks = px(312, 240);
    EXPECT_GT(int(sparks.r) + sparks.g + sparks.b, 600);
}
