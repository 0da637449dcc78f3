#ifndef DEMO_SHOW_HOST_H
#define DEMO_SHOW_HOST_H

namespace demo {

enum SceneSlot { kFirstScene = 0, kSecondScene = 1, kThirdScene = 2, kSceneSlots = 3 };

// What the timeline asks of the engine and the sound; the real show implements it on
// the engine, tests record the calls.
class ShowHost {
public:
    virtual ~ShowHost() = default;

    virtual void selectCamera(SceneSlot scene) = 0;
    virtual void setSceneFrame(SceneSlot scene, int frame) = 0;
    virtual void setObjectVisible(SceneSlot scene, const char* name, bool visible) = 0;
    virtual void startParticles(SceneSlot scene) = 0;
    virtual void updateParticles(SceneSlot scene) = 0;

    virtual void fogOff() = 0;
    virtual void linearFog(float r, float g, float b, float start, float end) = 0;
    virtual void setClearColor(float r, float g, float b) = 0;

    virtual void stopMusic() = 0;
    virtual void playLoop() = 0;
    virtual void stopLoop() = 0;
    virtual void setLoopVolume(int volume) = 0;
};

}  // namespace demo

#endif
