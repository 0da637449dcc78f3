#include <cstring>
#include <memory>

#include "../mesh/GLFixture.h"
#include "console/Console.h"
#include "particles/ParticleSource.h"
#include "render/ErrorLog.h"
#include "render/RenderState.h"
#include "scene/Camera.h"
#include "texture/Material.h"
#include "texture/TList.h"

using meshtest::makeMesh;
using meshtest::makeSolidTexture;
using meshtest::makeTexture;

namespace {

int startCalls = 0;
int startLife = 3;

void startAtOrigin(ParticleSource* source, Particle* p) {
    ++startCalls;
    *p = Particle{};
    p->position = source->position;
    p->velocity = Vertex3D{1, 0, 0};
    p->acceleration = Vertex3D{0, 0, -1};
    p->spin = Vertex3D{0, 0, 10};
    p->life = p->lifetime = startLife;
}

int updateCalls = 0;
void countUpdates(ParticleSource*) { ++updateCalls; }

Particle* handedOver = nullptr;
void remember(ParticleSource*, Particle* p) { handedOver = p; }

void expectAt(const Vertex3D& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

}  // namespace

TEST(ParticleSourceSetup, InitSourceNeedsAStartFunctionAndKeepsUnsetValues) {
    Console console;
    kvxInitErrorLog(&console);
    ParticleSource s;
    EXPECT_EQ(s.blendSource, KVX_ONE);
    EXPECT_EQ(s.size, 1.0f);
    EXPECT_FALSE(s.active);

    Vertex3D where{1, 2, 3};
    EXPECT_EQ(
        s.initSource(&where, nullptr, nullptr, nullptr, nullptr, nullptr, 5, 0.5f, 18, 21, nullptr, nullptr, true), 45);
    EXPECT_NE(std::strstr(console.text, "Cannot initialize particlesource because given functionpointer is NULL!"),
              nullptr);
    expectAt(s.position, 0, 0, 0);
    EXPECT_EQ(s.size, 1.0f);
    EXPECT_FALSE(s.fadeWithLife);
    kvxInitErrorLog(kvxLogToNowhere);

    Color tint{0.5f, 0.25f, 0.125f, 1};
    Material* material = new Material();
    ASSERT_EQ(s.initSource(&where, nullptr, material, &tint, nullptr, nullptr, 2, 0.75f, 18, 0, startAtOrigin,
                           countUpdates, true),
              0);
    expectAt(s.position, 1, 2, 3);
    EXPECT_EQ(s.material, material);
    EXPECT_EQ(s.color.g, 0.25f);
    EXPECT_EQ(s.blendSource, KVX_SRC_ALPHA);
    EXPECT_EQ(s.blendDestination, KVX_ONE);  // 0 leaves it
    EXPECT_EQ(s.size, 2.0f);
    EXPECT_TRUE(s.fadeWithLife);

    // Null pointers leave the earlier settings; the update function stays too.
    ASSERT_EQ(
        s.initSource(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 3, 1, 0, 0, startAtOrigin, nullptr, false),
        0);
    expectAt(s.position, 1, 2, 3);
    EXPECT_EQ(s.material, material);
    EXPECT_EQ(s.updateFunction, countUpdates);

    s.initParticles(0);
    EXPECT_EQ(s.particles, nullptr);
    s.initParticles(4);
    Particle* first = s.particles;
    s.initParticles(9);  // ignored while particles exist
    EXPECT_EQ(s.particles, first);
    EXPECT_EQ(s.particleCount, 4);
    s.freeParticles();
    EXPECT_EQ(s.particleCount, 0);
    EXPECT_EQ(s.material, nullptr);  // owned and destroyed
}

TEST(ParticleSourceMotion, BuiltInMotionAndRestartOnDeath) {
    ParticleSource s;
    ASSERT_EQ(
        s.initSource(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 1, 1, 0, 0, startAtOrigin, nullptr, false),
        0);
    s.initParticles(250);
    for (int i = 0; i < 250; ++i) EXPECT_EQ(s.particles[i].life, 0);
    startCalls = 0;
    startLife = 3;
    s.update();
    EXPECT_EQ(startCalls, 250);
    expectAt(s.particles[0].position, 0, 0, 0);  // started, not yet moved

    s.update();
    expectAt(s.particles[7].position, 1, 0, -1);
    s.update();
    expectAt(s.particles[7].position, 2, 0, -3);
    expectAt(s.particles[7].velocity, 1, 0, -2);
    expectAt(s.particles[7].rotation, 0, 0, 20);
    s.update();
    EXPECT_EQ(s.particles[7].life, 0);
    EXPECT_EQ(startCalls, 250);
    s.update();  // fourth update after the start: restarted
    EXPECT_EQ(startCalls, 500);
    expectAt(s.particles[7].position, 0, 0, 0);
}

TEST(ParticleSourceMotion, HostUpdateReplacesMotionAndEmitTimeCountsDown) {
    ParticleSource s;
    s.initSource(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 1, 1, 0, 0, startAtOrigin, countUpdates, false);
    s.initParticles(3);
    s.emitTime = 2;
    s.active = true;
    updateCalls = startCalls = 0;
    s.update();
    EXPECT_TRUE(s.active);
    EXPECT_EQ(s.emitTime, 1);
    s.update();
    EXPECT_FALSE(s.active);
    EXPECT_EQ(s.emitTime, 0);
    EXPECT_EQ(updateCalls, 2);
    EXPECT_EQ(startCalls, 0);  // the host's update decides everything
    s.active = true;
    s.update();
    EXPECT_TRUE(s.active);  // without a countdown the flag is the host's
}

TEST(ParticleSourceMotion, InitOneWithoutParticleTakesTheFirstLivingOne) {
    ParticleSource s;
    s.initSource(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 1, 1, 0, 0, remember, nullptr, false);
    s.initParticles(3);
    handedOver = reinterpret_cast<Particle*>(1);
    s.initOne(nullptr);  // nobody alive: not called
    EXPECT_EQ(handedOver, reinterpret_cast<Particle*>(1));
    s.particles[2].life = 5;
    s.initOne(nullptr);
    EXPECT_EQ(handedOver, &s.particles[2]);
    s.initOne(&s.particles[0]);
    EXPECT_EQ(handedOver, &s.particles[0]);
}

TEST(ParticleSourceMotion, FrameAndOpacityByAge) {
    ParticleSource s;
    EXPECT_EQ(s.textureFrame(4), 0);  // no particles
    s.initParticles(2);
    s.particles[0].lifetime = 100;
    s.particles[0].life = 40;
    EXPECT_EQ(s.textureFrame(4), 2);
    s.particles[0].life = 0;
    EXPECT_EQ(s.textureFrame(4), 3);  // at most the last frame
    s.particles[0].life = 150;
    EXPECT_EQ(s.textureFrame(4), 0);
    s.particles[0].lifetime = 0;  // never divides by zero
    EXPECT_EQ(s.textureFrame(4), 0);

    Particle p{};
    p.lifetime = 100;
    p.life = 25;
    s.alpha = 0.6f;
    EXPECT_FLOAT_EQ(s.opacity(p), 0.6f);
    s.fadeWithLife = true;
    EXPECT_FLOAT_EQ(s.opacity(p), 0.25f);
}

class ParticleDraw : public GLFixture {
protected:
    void SetUp() override {
        GLFixture::SetUp();
        kvxSetViewport(kvxGetViewport());  // perspective projection again
        source.initSource(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 1, 1, 18, 21, remember, nullptr, false);
        source.color = Color{1, 0, 0, 1};
        source.initParticles(2);
        live(0, Vertex3D{0, 0, 0}, 50, 100);
    }

    void live(int i, Vertex3D at, int life, int lifetime) {
        source.particles[i].position = at;
        source.particles[i].life = life;
        source.particles[i].lifetime = lifetime;
    }

    void look(Vertex3D eye) {
        camera.eye = eye;
        camera.target = Vertex3D{0, 0, 0};
        camera.rotationFromTarget();
    }

    ParticleSource source;
    Camera camera;
};

TEST_F(ParticleDraw, QuadsFaceTheCameraFromAnySide) {
    for (Vertex3D eye : {Vertex3D{0, -10, 0}, Vertex3D{10, 0, 0}, Vertex3D{-7, 7, 3}, Vertex3D{0.01f, 0, 10}}) {
        glClear(GL_COLOR_BUFFER_BIT);
        look(eye);
        source.draw(&camera);
        EXPECT_TRUE(colorNear(px(320, 240), 255, 0, 0)) << eye.x << " " << eye.y << " " << eye.z;
        EXPECT_TRUE(black(5, 5));
    }
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE) == GL_FALSE);  // enable bits as before the draw
    GLint shade = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(shade, GL_SMOOTH);
}

TEST_F(ParticleDraw, FadesWithLifeAndSkipsDeadParticles) {
    look(Vertex3D{0, -10, 0});
    source.fadeWithLife = true;
    live(0, Vertex3D{0, 0, 0}, 25, 100);
    live(1, Vertex3D{3, 0, 0}, 0, 100);  // dead: not drawn
    source.draw(&camera);
    EXPECT_TRUE(colorNear(px(320, 240), 64, 0, 0, 3));
    EXPECT_TRUE(black(480, 240));

    // The quad's half edge is `size`: at distance 10 with a 90 degree view a
    // unit spans 24 pixels.
    glClear(GL_COLOR_BUFFER_BIT);
    source.fadeWithLife = false;
    source.size = 2;
    source.draw(&camera);
    EXPECT_FALSE(black(320 + 44, 240));
    EXPECT_TRUE(black(320 + 52, 240));
}

TEST_F(ParticleDraw, AnimatedTextureFrameFollowsTheFirstParticlesAge) {
    const uint8_t colours[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
    Material* material = new Material();
    Texture* texture = new Texture();
    for (int f = 0; f < 4; ++f) {
        uint8_t texels[16];
        for (int i = 0; i < 4; ++i) {
            std::memcpy(texels + 4 * i, colours[f], 3);
            texels[4 * i + 3] = 255;
        }
        makeTexture(2, 2, texels, f, texture);
    }
    texture->frames = 4;
    material->addFirstTexture(texture);
    source.material = material;  // owned by the source from here on
    source.color = Color{1, 1, 1, 1};
    live(0, Vertex3D{0, 0, 0}, 40, 100);
    look(Vertex3D{0, -10, 0});
    source.draw(&camera);
    EXPECT_EQ(texture->currentFrame, 2);
    EXPECT_TRUE(colorNear(px(320, 240), 0, 0, 255));
}

TEST_F(ParticleDraw, MeshParticlesDrawTheMeshAtEachParticle) {
    TList tlist;
    std::unique_ptr<Mesh> mesh(
        makeMesh({{-0.5f, 0, -0.5f}, {0.5f, 0, -0.5f}, {0.5f, 0, 0.5f}, {-0.5f, 0, 0.5f}}, {{0, 1, 2}, {0, 2, 3}}));
    for (int i = 0; i < 4; ++i) mesh->colors[i] = Color{0, 1, 0, 1};
    mesh->sortFacesByMaterial();
    source.mesh = mesh.get();
    source.tlist = &tlist;
    live(0, Vertex3D{-3, 0, 0}, 10, 10);
    live(1, Vertex3D{3, 0, 0}, 10, 10);
    look(Vertex3D{0, -10, 0});
    glEnable(GL_CULL_FACE);
    source.draw(&camera);
    EXPECT_TRUE(black(320, 240));
    EXPECT_TRUE(colorNear(px(320 - 72, 240), 0, 255, 0));
    EXPECT_TRUE(colorNear(px(320 + 72, 240), 0, 255, 0));
}
