#ifndef DEMO_TIMELINE_H
#define DEMO_TIMELINE_H

#include "ShowHost.h"
#include "Sprites.h"

namespace demo {

constexpr int kTitleCount = 6;

// Everything the show decides from the clock; free of SDL and of drawing so that a
// fake clock can drive it.
struct TimelineState {
    int frameCounter = 0;
    bool title[kTitleCount] = {};
    bool tunnel = false;
    bool sceneActive[kSceneSlots] = {};
    bool spritesActive = false;
    bool creditsActive = false;
    int creditsScroll = 0;
    int tunnelPhase = 0;
    bool quit = false;
    float elapsedMs = 0;  // e of the last update
};

class Timeline {
public:
    explicit Timeline(ShowHost& host, int width = 640, int height = 480);

    void reset();
    // One pass: sound ramps, the row whose window holds e, the tunnel flag.
    void update(int e);
    // One 33 ms animation step.
    void step();
    // Active scene for the frame (first, second, third in that order), or -1.
    int activeScene() const;

    // What the frame shows at the current step and time.
    // Field of view, in degrees, for drawing scene `slot`.
    float sceneFov(int slot) const;
    // The white flash over the first scene: true, with its alpha, while it shows.
    bool flash(float& alpha) const;
    // The question mark over the first scene.
    bool questionMark() const;
    // Alpha of the last title, which fades out after the others.
    float lastTitleAlpha() const;
    // The full-screen picture: true, with its alpha, while it shows.
    bool picture(float& alpha) const;
    // The lyric line showing (0, 1 or 2), or -1.
    int lyric() const;

    TimelineState state;
    Sprites sprites;

private:
    void soundRamps(int e);
    void applyRow(int e);
    void enterFirstSceneAgain(int frame);
    void enterThirdScene();
    void enterSecondScene();
    void startFirstScene();
    void startCredits();
    void showTitle(int on, int off);
    void advanceScene(SceneSlot scene);

    ShowHost& host_;
    int width_;
    int height_;
};

}  // namespace demo

#endif
