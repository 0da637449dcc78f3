#ifndef DEMO_SHOW_H
#define DEMO_SHOW_H

#include "Korvex3D.h"
#include "Pacer.h"
#include "ShowHost.h"
#include "Timeline.h"
#include "Tunnel.h"

namespace demo {

class Audio;

enum OverlayId {
    kQuestionMark,
    kTitle1,
    kLyric1 = kTitle1 + kTitleCount,
    kCredits = kLyric1 + 5,
    kTunnelMaterial,
    kTrip1,
    kBubble1 = kTrip1 + 4,
    kPicture = kBubble1 + 3,
    kOverlayCount
};

constexpr int kSecondSceneSources = 5;
constexpr int kParticleSources = 1 + kSecondSceneSources;

// The show on the engine: content, the timeline's actions and the frame.
class Show : public ShowHost {
public:
    Show(Audio* audio, int musicStream, int loopStream);

    void setStreams(int music, int loop) {
        musicStream_ = music;
        loopStream_ = loop;
    }
    void engineSetup();
    // Null on success, else the fatal message to show.
    const char* loadContent();
    // One pass of the main loop at elapsed time e and clock tick `tick`; true when a
    // frame was drawn. While `drawing` is off the steps run and nothing is drawn.
    bool pass(int e, uint32_t tick);
    void startClock(uint32_t tick) { pacer_.start(tick); }
    // Runs `steps` animation steps and draws one frame.
    void advanceAndDraw(int steps);
    bool finished() const { return timeline.state.quit; }

    // ShowHost
    void selectCamera(SceneSlot scene) override;
    void setSceneFrame(SceneSlot scene, int frame) override;
    void setObjectVisible(SceneSlot scene, const char* name, bool visible) override;
    void startParticles(SceneSlot scene) override;
    void updateParticles(SceneSlot scene) override;
    void fogOff() override;
    void linearFog(float r, float g, float b, float start, float end) override;
    void setClearColor(float r, float g, float b) override;
    void stopMusic() override;
    void playLoop() override;
    void stopLoop() override;
    void setLoopVolume(int volume) override;

    // Called with the finished frame still in the back buffer (presenting, capture).
    void (*beforeSwap)(void*) = nullptr;
    bool drawing = true;
    void* beforeSwapContext = nullptr;

    Timeline timeline;
    Tunnel tunnel;
    Scene* scene = nullptr;
    OGroup* groups[kSceneSlots] = {};
    int groupIds[kSceneSlots] = {-1, -1, -1};
    Material* overlays[kOverlayCount] = {};
    Material* particleMaterial = nullptr;
    ParticleSource* sources[kParticleSources] = {};

private:
    void loadOverlays();
    void loadParticles();
    Object* findObject(SceneSlot scene, const char* name);

    void renderFrame(int slot);
    void renderScene(int slot);
    void drawParticles(int slot);
    void drawFlashes();
    void drawOverlays();
    void drawSprites();
    void drawImage(OverlayId id, float x, float y, float w, float h, float alpha = 1.0f, float angle = 0.0f);

    Audio* audio_;
    int musicStream_;
    int loopStream_;
    Pacer pacer_;
    Color white_ = {1, 1, 1, 1};
};

}  // namespace demo

#endif
