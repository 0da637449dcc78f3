#include "Show.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "Audio.h"
#include "DataFiles.h"
#include "DemoSettings.h"
#include "OverlayImages.h"

namespace demo {

namespace {
constexpr int kTransparentFaces = 8192;
constexpr float kShowFov = 80.0f;
constexpr float kShowGamma = 0.7f;
constexpr int kLoadFlagsFirst = kvxLoadScene | kvxLoadClearFirst;
constexpr int kLoadFlagsOther = kvxLoadScene;
constexpr int kLightParameter = 16;
constexpr float kZNear = 0.1f;
constexpr float kZFar = 3000.0f;

constexpr int kParticlesPerSource = 250;
constexpr int kStepsPerSecond = 30;
constexpr int kFirstEmitSteps = 240 * kStepsPerSecond;
constexpr int kSecondEmitSteps = 120 * kStepsPerSecond;
constexpr int kMaxParticleLife = 3 * kStepsPerSecond;

const char* const kSceneFiles[kSceneSlots] = {"level01.dat", "level02.dat", "level03.dat"};
const char* const kTunnelFile = "tunnel.raw";
const char* const kEmitter = "PARTICLE1";

float jitter(float scale) { return float(rand() % 1000 - 500) * scale; }

void startFirstSceneParticle(ParticleSource* s, Particle* p) {
    p->position = s->position;
    p->velocity =
        Vertex3D{s->direction.x + jitter(0.0005f), s->direction.y + jitter(0.0005f), s->direction.z + jitter(0.0005f)};
    p->acceleration = Vertex3D{0, 0, -0.005f};
    p->life = p->lifetime = rand() % kMaxParticleLife;
}

void startSecondSceneParticle(ParticleSource* s, Particle* p) {
    p->position = s->position;
    p->velocity = Vertex3D{(s->direction.x + jitter(0.001f)) * 3, (s->direction.y + jitter(0.001f)) * 3,
                           (s->direction.z + jitter(0.001f)) * 3};
    p->acceleration = Vertex3D{0, 0, -0.015f};
    p->life = p->lifetime = rand() % kMaxParticleLife;
}

Color secondSceneColor(int k) {
    float a = kvxRad(50.0f * k);
    return Color{std::min(std::sin(a) + 0.9f, 1.0f) * 0.25f, std::min(std::cos(a) * std::sin(a) + 0.9f, 1.0f) / 6,
                 std::min(std::cos(a) + 0.9f, 1.0f) * 0.125f, 0.25f};
}
}  // namespace

Show::Show(Audio* audio, int musicStream, int loopStream)
    : timeline(*this), audio_(audio), musicStream_(musicStream), loopStream_(loopStream) {}

void Show::engineSetup() {
    kvxSetMipMapType(kvxMipMapTrilinear);
    scene = new Scene;
    kvxInitFont();
    kvxInitTransparentPlaneStack(kTransparentFaces);
}

const char* Show::loadContent() {
    kvxSetFOV(kShowFov);
    kvxSetGamma(kShowGamma);
    for (int k = 0; k < kSceneSlots; k++) {
        int flags = k == kFirstScene ? kLoadFlagsFirst : kLoadFlagsOther;
        std::string file = dataFile(kSceneFiles[k]);
        kvxPutToErrorLog(("Loading the scene " + file).c_str(), 0);
        groups[k] = scene->createOGroup(&file[0], flags, const_cast<char*>(dataDirectory()), kLightParameter, nullptr,
                                        const_cast<char*>(""));
        if (!groups[k]) return "Data file not found!";
        groupIds[k] = scene->getOGID(groups[k]);
        groups[k]->setCurrentFrame(0);
    }
    loadOverlays();
    loadParticles();
    if (!tunnel.load(dataFile(kTunnelFile).c_str())) return "Cannot open data file!";
    timeline.reset();
    white_ = Color{1, 1, 1, 1};
    return nullptr;
}

void Show::loadOverlays() {
    for (Material*& m : overlays) m = new Material;
    char name[32];
    loadImageWithAlpha(overlays[kQuestionMark], "qmark.tga");
    for (int i = 0; i < kTitleCount; i++) {
        snprintf(name, sizeof(name), "title%d.jpg", i + 1);
        loadPlainImage(overlays[kTitle1 + i], name);
    }
    for (int i = 0; i < 5; i++) {
        snprintf(name, sizeof(name), "lyric%d.jpg", i + 1);
        loadPlainImage(overlays[kLyric1 + i], name);
    }
    loadPlainImage(overlays[kCredits], "credits.jpg");
    loadImageWithAlpha(overlays[kTunnelMaterial], "metal.tga");
    for (int i = 0; i < 4; i++) {
        snprintf(name, sizeof(name), "trip%02d.tga", i + 1);
        loadImageWithAlpha(overlays[kTrip1 + i], name);
    }
    for (int i = 0; i < 3; i++) {
        snprintf(name, sizeof(name), "kupla%02d.tga", i + 1);
        loadImageWithAlpha(overlays[kBubble1 + i], name);
    }
    loadImageWithMask(overlays[kPicture], "ginter.tga", "gintera.tga");
}

void Show::loadParticles() {
    for (ParticleSource*& s : sources) s = new ParticleSource;
    particleMaterial = new Material;
    loadImageWithAlpha(particleMaterial, "particle.tga");
}

Object* Show::findObject(SceneSlot slot, const char* name) {
    return groups[slot] ? groups[slot]->findObject(const_cast<char*>(name)) : nullptr;
}

// --- timeline actions --------------------------------------------------------

void Show::selectCamera(SceneSlot slot) {
    if (groups[slot]) scene->setCamera(groups[slot], 0);
}

void Show::setSceneFrame(SceneSlot slot, int frame) {
    if (groups[slot]) groups[slot]->setCurrentFrame(frame);
}

void Show::setObjectVisible(SceneSlot slot, const char* name, bool visible) {
    if (Object* o = findObject(slot, name)) o->visible = visible;
}

void Show::startParticles(SceneSlot slot) {
    Object* emitter = findObject(slot, kEmitter);
    if (!emitter) return;  // the effect needs its emitter object
    Vertex3D direction{0, 0, 1};
    if (slot == kFirstScene) {
        Color c{0.25f, 0.25f, 0.25f, 0.15f};
        ParticleSource* s = sources[0];
        s->initSource(&emitter->position, &direction, particleMaterial, &c, nullptr, nullptr, 2.0f, 1.0f, KVX_SRC_ALPHA,
                      KVX_ONE, startFirstSceneParticle, nullptr, true);
        s->initParticles(kParticlesPerSource);
        s->active = true;
        s->emitTime = kFirstEmitSteps;
    } else if (slot == kSecondScene) {
        for (int k = 0; k < kSecondSceneSources; k++) {
            Color c = secondSceneColor(k);
            ParticleSource* s = sources[1 + k];
            s->initSource(&emitter->position, &direction, particleMaterial, &c, nullptr, nullptr, 6.0f, 1.0f,
                          KVX_SRC_ALPHA, KVX_ONE, startSecondSceneParticle, nullptr, true);
            s->initParticles(kParticlesPerSource);
            s->active = true;
            s->emitTime = kSecondEmitSteps;
        }
    }
}

void Show::updateParticles(SceneSlot slot) {
    if (slot == kFirstScene) {
        sources[0]->update();
    } else if (slot == kSecondScene) {
        for (int k = 0; k < kSecondSceneSources; k++) sources[1 + k]->update();
    }
}

void Show::fogOff() { kvxDisable(KVX_FOG); }

void Show::linearFog(float r, float g, float b, float start, float end) { kvxSetFog(Color{r, g, b, 1.0f}, start, end); }

void Show::setClearColor(float r, float g, float b) {
    Color c{r, g, b, 1.0f};
    kvxSetClearColor(&c);
}

void Show::stopMusic() {
    if (audio_) audio_->stop(musicStream_);
}

void Show::playLoop() {
    if (audio_) audio_->play(loopStream_, true);
}

void Show::stopLoop() {
    if (audio_) audio_->stop(loopStream_);
}

void Show::setLoopVolume(int volume) {
    if (audio_) audio_->setVolume(loopStream_, volume);
}

// --- the pass and the frame ----------------------------------------------------

bool Show::pass(int e, uint32_t tick) {
    timeline.update(e);
    int steps = pacer_.stepsDue(tick);
    if (steps == 0) return false;
    advanceAndDraw(steps);
    return drawing;
}

void Show::advanceAndDraw(int steps) {
    for (int i = 0; i < steps; i++) timeline.step();
    if (timeline.state.tunnel) {
        tunnel.phase = timeline.state.tunnelPhase;
        tunnel.computeGrid();
    }
    if (drawing) renderFrame(timeline.activeScene());
}

void Show::renderScene(int slot) {
    int id = groupIds[slot];
    kvxSetFOV(timeline.sceneFov(slot));
    Viewport* v = kvxGetViewport();
    v->zFar = kZFar;
    v->zNear = kZNear;
    kvxSetViewport(v);

    kvxDisable(KVX_ALPHA_TEST);
    scene->render(id, kvxRenderOpaquePass);
    kvxEnable(KVX_ALPHA_TEST);
    scene->render(id, kvxRenderTransparentPass);

    if (slot == kThirdScene) {
        setObjectVisible(kThirdScene, "CUBE1", true);
        setObjectVisible(kThirdScene, "CUBE2", false);
        kvxDisable(KVX_ALPHA_TEST);
        scene->render(id, kvxRenderOpaquePass | kvxRenderWireframe);
        kvxEnable(KVX_ALPHA_TEST);
        scene->render(id, kvxRenderTransparentPass | kvxRenderWireframe);
        setObjectVisible(kThirdScene, "CUBE1", false);
        setObjectVisible(kThirdScene, "CUBE2", true);
    }
    drawParticles(slot);
}

void Show::drawParticles(int slot) {
    Camera* camera = scene->camera;
    if (!camera || slot == kThirdScene) return;
    camera->rotationFromTarget();
    if (slot == kFirstScene) {
        sources[0]->draw(camera);
    } else {
        for (int k = 0; k < kSecondSceneSources; k++) sources[1 + k]->draw(camera);
    }
}

void Show::drawImage(OverlayId id, float x, float y, float w, float h, float alpha, float angle) {
    Vertex3D pos{x, y, 1.0f};
    Color c = white_;
    c.a = alpha;
    kvxDrawImage(&pos, overlays[id], &c, w, h, false, angle);
}

void Show::drawFlashes() {
    const float w = float(kScreenWidth), h = float(kScreenHeight);
    float alpha;
    if (timeline.flash(alpha)) {
        kvxBlendFunc(KVX_ONE, KVX_ONE);
        Color c = white_;
        c.a = alpha;
        Vertex2D a{0, 0}, b{w, h};
        kvxDrawFilledBox(&a, &b, &c, &c, &c, &c);
    } else if (timeline.questionMark()) {
        kvxBlendFunc(KVX_SRC_ALPHA, KVX_ONE_MINUS_SRC_ALPHA);
        drawImage(kQuestionMark, w / 2 - 128, h / 2 - 256, 256, 512, 0.3f);
    }
}

void Show::drawSprites() {
    kvxEnable(KVX_BLEND);
    kvxBlendFunc(KVX_ONE, KVX_ONE);
    const Sprites& s = timeline.sprites;
    for (int k = 0; k < kSpriteCount; k++) {
        const TripSprite& t = s.trip[k];
        drawImage(OverlayId(kTrip1 + k % 4), t.position.x, t.position.y, 128, 128, 1.0f, t.angle);
        const BubbleSprite& b = s.bubble[k];
        drawImage(OverlayId(kBubble1 + k % 3), b.position.x, b.position.y, 128, 128);
    }
}

void Show::drawOverlays() {
    const TimelineState& st = timeline.state;
    const float w = float(kScreenWidth), h = float(kScreenHeight);
    kvxBlendFunc(KVX_ONE, KVX_ONE);
    if (st.tunnel) kvxDrawGrid(tunnel.colors, tunnel.texCoords, w, h, overlays[kTunnelMaterial]);
    for (int i = 0; i < kTitleCount - 1; i++)
        if (st.title[i]) drawImage(OverlayId(kTitle1 + i), w / 2 - 256, h / 2 - 64, 512, 128);
    if (st.title[kTitleCount - 1]) {
        kvxEnable(KVX_BLEND);
        kvxBlendFunc(KVX_ONE, KVX_ONE);
        drawImage(OverlayId(kTitle1 + kTitleCount - 1), w / 2 - 256, h / 2 - 128, 512, 256, timeline.lastTitleAlpha());
    }
    if (st.spritesActive) drawSprites();
    float alpha;
    if (timeline.picture(alpha)) {
        kvxEnable(KVX_BLEND);
        kvxBlendFunc(KVX_SRC_ALPHA, KVX_ONE_MINUS_SRC_ALPHA);
        drawImage(kPicture, 0, 0, w, h, alpha);
    }
    if (st.creditsActive) drawImage(kCredits, w / 2 - 256, float(st.creditsScroll), 512, 2048);
    int lyric = timeline.lyric();
    if (lyric == 0) {
        kvxBlendFunc(KVX_ONE, KVX_ONE);
        drawImage(kLyric1, w / 2 - 128, h - 80, 256, 64);
    } else if (lyric > 0) {
        kvxBlendFunc(KVX_SRC_ALPHA, KVX_ONE_MINUS_SRC_ALPHA);
        drawImage(OverlayId(kLyric1 + lyric), w / 2 - 256, h - 40, 512, 32);
    }
}

void Show::renderFrame(int slot) {
    kvxClear();
    kvxDXBeginScene();
    if (slot >= 0) renderScene(slot);
    if (slot == kFirstScene) drawFlashes();
    drawOverlays();
    kvxDXEndScene();
    if (beforeSwap) beforeSwap(beforeSwapContext);
    kvxSwapBuffers();
}

}  // namespace demo
