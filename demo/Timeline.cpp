#include "Timeline.h"

#include "ShowTiming.h"

namespace demo {

namespace {
constexpr int kRampDivisor = 40;

constexpr int kCreditsSpeed = 3;

// Milliseconds and frames that bound what a frame shows; windows exclude both ends.
struct Window {
    int from;
    int to;
    bool holds(float t) const { return t > from && t < to; }
};

// The first scene zooms out over the tunnel, from its start frame to this one.
constexpr int kFovZoomEndFrame = 867;
constexpr int kWideFovUntilFrame = 180;
constexpr Window kQuestionMarkFrames = {570, 600};
constexpr int kFlashFrames = 5;
constexpr int kLastTitleFadeMs = 14000;
constexpr int kLastTitleGoneMs = 18000;
constexpr Window kPictureMs = {118000, 132400};
constexpr int kPictureFadeMs = 3000;
constexpr Window kLyricMs[] = {{13700, 14700}, {24000, 27000}, {35400, 37400}};

const char* const kEmitterObject = "PARTICLE1";
const char* const kCube1 = "CUBE1";

int clampVolume(int v) { return v < 0 ? 0 : (v > 100 ? 100 : v); }
}  // namespace

Timeline::Timeline(ShowHost& host, int width, int height) : host_(host), width_(width), height_(height) {}

void Timeline::reset() {
    state.frameCounter = 0;
    for (bool& t : state.title) t = false;
}

void Timeline::update(int e) {
    state.elapsedMs = float(e);
    soundRamps(e);
    applyRow(e);
    if (state.sceneActive[kFirstScene])
        state.tunnel = state.frameCounter > kTunnelFromFrame && state.frameCounter < kTunnelToFrame;
}

void Timeline::soundRamps(int e) {
    // Past the end the fade-out formula turns negative; volumes stay within 0..100.
    if (e > kLoopFadeOutMs) host_.setLoopVolume(clampVolume((kShowLengthMs - e) / kRampDivisor));
    if (e > kCreditsMs && e < kLoopFadeInEndMs) host_.setLoopVolume(clampVolume((e - kCreditsMs) / kRampDivisor));
}

void Timeline::applyRow(int e) {
    TimelineState& s = state;
    if (e > kShowLengthMs) {
        s.quit = true;
        host_.stopLoop();
    } else if (e > kCreditsMs) {
        if (!s.creditsActive) startCredits();
    } else if (e > kFirstSceneOffMs) {
        s.sceneActive[kFirstScene] = false;
    } else if (e > kFirstSceneThirdMs) {
        if (!s.sceneActive[kFirstScene]) enterFirstSceneAgain(kFirstSceneThirdFrame);
        s.sceneActive[kFirstScene] = true;
        s.sceneActive[kThirdScene] = false;
        s.spritesActive = false;
        host_.setClearColor(0, 0, 0);
    } else if (e > kThirdSceneMs) {
        s.sceneActive[kFirstScene] = false;
        if (!s.spritesActive) {
            s.spritesActive = true;
            sprites.init(width_, height_);
            host_.setClearColor(1, 0, 1);
        }
        if (!s.sceneActive[kThirdScene]) enterThirdScene();
    } else if (e > kFirstSceneSecondMs) {
        if (!s.sceneActive[kFirstScene]) enterFirstSceneAgain(kFirstSceneSecondFrame);
        s.sceneActive[kSecondScene] = false;
        s.sceneActive[kFirstScene] = true;
    } else if (e > kSecondSceneMs) {
        if (!s.sceneActive[kSecondScene]) enterSecondScene();
        s.sceneActive[kFirstScene] = false;
        s.sceneActive[kSecondScene] = true;
    } else if (e > kFirstSceneMs) {
        s.title[5] = false;
        s.tunnel = false;
        if (!s.sceneActive[kFirstScene]) startFirstScene();
    } else if (e > kTitle6Ms) {
        s.tunnel = true;
        showTitle(5, 4);
    } else if (e > kTitle5Ms) {
        showTitle(4, 3);
    } else if (e > kTitle4Ms) {
        showTitle(3, 2);
    } else if (e > kTitle3Ms) {
        showTitle(2, 1);
    } else if (e > kTitle2Ms) {
        showTitle(1, 0);
    } else if (e > 0) {
        s.title[0] = true;
    }
}

void Timeline::showTitle(int on, int off) {
    state.title[off] = false;
    state.title[on] = true;
}

void Timeline::startFirstScene() {
    host_.startParticles(kFirstScene);
    state.sceneActive[kFirstScene] = true;
    host_.setObjectVisible(kFirstScene, kEmitterObject, false);
}

void Timeline::enterSecondScene() {
    host_.selectCamera(kSecondScene);
    state.frameCounter = 0;
    host_.startParticles(kSecondScene);
    host_.setObjectVisible(kSecondScene, kEmitterObject, false);
    host_.linearFog(0.5f, 0.15f, 0.35f, 1, 700);
    host_.setClearColor(0.5f, 0.15f, 0.35f);
}

void Timeline::enterFirstSceneAgain(int frame) {
    host_.selectCamera(kFirstScene);
    state.frameCounter = frame;
    host_.fogOff();
}

void Timeline::enterThirdScene() {
    host_.selectCamera(kThirdScene);
    state.frameCounter = 0;
    host_.linearFog(1, 0, 1, 1, 150);
    state.sceneActive[kThirdScene] = true;
    host_.setClearColor(1, 0, 1);
    host_.setObjectVisible(kThirdScene, kCube1, false);
}

void Timeline::startCredits() {
    state.creditsScroll = height_;
    state.creditsActive = true;
    host_.stopMusic();
    host_.playLoop();
}

void Timeline::advanceScene(SceneSlot scene) {
    host_.setSceneFrame(scene, state.frameCounter);
    state.frameCounter++;
}

void Timeline::step() {
    TimelineState& s = state;
    if (s.sceneActive[kFirstScene]) {
        advanceScene(kFirstScene);
        host_.updateParticles(kFirstScene);
    }
    if (s.sceneActive[kSecondScene]) {
        advanceScene(kSecondScene);
        host_.updateParticles(kSecondScene);
    }
    if (s.sceneActive[kThirdScene]) advanceScene(kThirdScene);
    if (s.tunnel) s.tunnelPhase++;
    if (s.spritesActive) sprites.move(height_);
    if (s.creditsActive) s.creditsScroll -= kCreditsSpeed;
}

int Timeline::activeScene() const {
    for (int k = 0; k < kSceneSlots; k++)
        if (state.sceneActive[k]) return k;
    return -1;
}

float Timeline::sceneFov(int slot) const {
    int fc = state.frameCounter;
    if (slot == kThirdScene) return 120.0f;
    if (slot != kFirstScene) return 70.0f;
    if (fc > kTunnelFromFrame && fc < kFovZoomEndFrame)
        return float(kFovZoomEndFrame - fc) * 0.0038910506f * 60.0f + 90.0f;
    if (fc < kWideFovUntilFrame) return 50.0f;
    return 70.0f;
}

bool Timeline::flash(float& alpha) const {
    int fc = state.frameCounter;
    if (fc >= kTunnelToFrame && fc < kTunnelToFrame + kFlashFrames)
        alpha = float(kTunnelToFrame + kFlashFrames - fc) * 0.2f;
    else if (fc > kTunnelFromFrame && fc < kTunnelFromFrame + kFlashFrames)
        alpha = float(kTunnelFromFrame - fc) * 0.2f;
    else if (fc > kWideFovUntilFrame && fc < kWideFovUntilFrame + kFlashFrames)
        alpha = float(kWideFovUntilFrame + kFlashFrames - fc) * 0.1f;
    else
        return false;
    return true;
}

bool Timeline::questionMark() const { return kQuestionMarkFrames.holds(float(state.frameCounter)); }

float Timeline::lastTitleAlpha() const {
    float e = state.elapsedMs;
    return e <= kLastTitleFadeMs ? 1.0f : (kLastTitleGoneMs - e) * 0.00025f;
}

bool Timeline::picture(float& alpha) const {
    float e = state.elapsedMs;
    if (!kPictureMs.holds(e)) return false;
    alpha = 1.0f;
    if (e < kPictureMs.from + kPictureFadeMs)
        alpha = (e - kPictureMs.from) * 0.00033333333f;
    else if (e > kPictureMs.to - kPictureFadeMs)
        alpha = (kPictureMs.to - e) * 0.00033333333f;
    return true;
}

int Timeline::lyric() const {
    for (int i = 0; i < int(sizeof(kLyricMs) / sizeof(kLyricMs[0])); i++)
        if (kLyricMs[i].holds(state.elapsedMs)) return i;
    return -1;
}

}  // namespace demo
