#include <gtest/gtest.h>

#include <map>
#include <string>

#include "DemoSettings.h"
#include "Pacer.h"
#include "Timeline.h"

using namespace demo;

namespace {

// Records what the timeline asks for.
class RecordingHost : public ShowHost {
public:
    void selectCamera(SceneSlot s) override { count("camera" + std::to_string(s)); }
    void setSceneFrame(SceneSlot s, int frame) override { lastFrame[s] = frame; }
    void setObjectVisible(SceneSlot s, const char* name, bool v) override {
        count(std::string(name) + std::to_string(s) + (v ? "+" : "-"));
    }
    void startParticles(SceneSlot s) override { count("particles" + std::to_string(s)); }
    void updateParticles(SceneSlot s) override { count("update" + std::to_string(s)); }
    void fogOff() override { count("fogoff"); }
    void linearFog(float r, float, float, float, float end) override {
        count("fog");
        fogEnd = end;
        fogRed = r;
    }
    void setClearColor(float r, float g, float b) override { clear[0] = r, clear[1] = g, clear[2] = b; }
    void stopMusic() override { count("stopmusic"); }
    void playLoop() override { count("playloop"); }
    void stopLoop() override { count("stoploop"); }
    void setLoopVolume(int v) override { loopVolume = v; }

    void count(const std::string& what) { calls[what]++; }
    int times(const std::string& what) { return calls[what]; }

    std::map<std::string, int> calls;
    int lastFrame[kSceneSlots] = {-1, -1, -1};
    float clear[3] = {-1, -1, -1};
    float fogEnd = 0, fogRed = -1;
    int loopVolume = -1;
};

// Drives the timeline like the shell does, on a fake clock.
void play(Timeline& t, Pacer& pacer, int fromMs, int toMs, int passMs) {
    for (int e = fromMs; e <= toMs; e += passMs) {
        t.update(e);
        int steps = pacer.stepsDue(uint32_t(e));
        for (int i = 0; i < steps; i++) t.step();
    }
}

}  // namespace

TEST(Timeline, TitlesSwitchExactlyAtTheirBounds) {
    RecordingHost host;
    Timeline t(host);
    t.update(1300);
    EXPECT_TRUE(t.state.title[0]);
    EXPECT_FALSE(t.state.title[1]);
    t.update(1301);
    EXPECT_FALSE(t.state.title[0]);
    EXPECT_TRUE(t.state.title[1]);
    t.update(9601);
    EXPECT_TRUE(t.state.title[5]);
    EXPECT_TRUE(t.state.tunnel);
    t.update(17501);
    EXPECT_FALSE(t.state.title[5]);
    EXPECT_TRUE(t.state.sceneActive[kFirstScene]);
    EXPECT_FALSE(t.state.tunnel);  // frame counter 0 is outside the tunnel frames
}

TEST(Timeline, OnceOnlyActionsRunOnceAcrossTheWholeShow) {
    RecordingHost host;
    Timeline t(host);
    Pacer pacer;
    pacer.start(0);
    play(t, pacer, 0, 162000, 10);
    EXPECT_EQ(host.times("particles0"), 1);
    EXPECT_EQ(host.times("particles1"), 1);
    EXPECT_EQ(host.times("PARTICLE10-"), 1);
    EXPECT_EQ(host.times("PARTICLE11-"), 1);
    EXPECT_EQ(host.times("camera1"), 1);
    EXPECT_EQ(host.times("camera2"), 1);
    EXPECT_EQ(host.times("camera0"), 2);  // re-entered at 66.5 s and 99.5 s
    EXPECT_EQ(host.times("CUBE12-"), 1);
    EXPECT_EQ(host.times("stopmusic"), 1);
    EXPECT_EQ(host.times("playloop"), 1);
    EXPECT_EQ(host.times("fog"), 2);
    EXPECT_EQ(host.times("fogoff"), 2);
    EXPECT_TRUE(t.state.quit);
    EXPECT_GE(host.times("stoploop"), 1);
    EXPECT_EQ(host.loopVolume, 0);
}

TEST(Timeline, SceneEntriesRestartTheFrameCounter) {
    RecordingHost host;
    Timeline t(host);
    Pacer pacer;
    pacer.start(0);
    play(t, pacer, 0, 50300, 33);
    EXPECT_EQ(t.activeScene(), kFirstScene);
    int firstFrames = t.state.frameCounter;
    EXPECT_NEAR(firstFrames, (50300 - 17500) / 33, 2);
    // The tunnel flag follows the counter in the first scene ...
    EXPECT_FALSE(t.state.tunnel);
    play(t, pacer, 50333, 66500, 33);
    EXPECT_EQ(t.activeScene(), kSecondScene);
    EXPECT_NEAR(host.fogEnd, 700, 0);
    EXPECT_FLOAT_EQ(host.clear[0], 0.5f);
    play(t, pacer, 66533, 66600, 33);
    EXPECT_EQ(t.activeScene(), kFirstScene);
    EXPECT_GE(t.state.frameCounter, 1100);
    EXPECT_LE(t.state.frameCounter, 1104);
    play(t, pacer, 66633, 83100, 33);
    EXPECT_EQ(t.activeScene(), kThirdScene);
    EXPECT_TRUE(t.state.spritesActive);
    EXPECT_FLOAT_EQ(host.clear[1], 0.0f);
    EXPECT_FLOAT_EQ(host.clear[2], 1.0f);
    play(t, pacer, 83133, 99600, 33);
    EXPECT_EQ(t.activeScene(), kFirstScene);
    EXPECT_FALSE(t.state.spritesActive);
    EXPECT_GE(t.state.frameCounter, 2030);
    EXPECT_FLOAT_EQ(host.clear[0], 0.0f);
    play(t, pacer, 99633, 129500, 33);
    EXPECT_EQ(t.activeScene(), -1);
}

TEST(Timeline, TunnelFlagKeepsItsValueIntoTheSecondScene) {
    RecordingHost host;
    Timeline t(host);
    t.update(17501);
    t.state.frameCounter = 700;
    t.update(20000);
    EXPECT_TRUE(t.state.tunnel);
    t.update(50301);  // second scene: the flag is no longer recomputed
    EXPECT_TRUE(t.state.tunnel);
    t.state.frameCounter = 0;
    t.update(50400);
    EXPECT_TRUE(t.state.tunnel);
}

TEST(Timeline, SlowMachineSwitchesAtTheSameWallClockTimes) {
    RecordingHost fastHost, slowHost;
    Timeline fast(fastHost), slow(slowHost);
    Pacer fastPacer, slowPacer;
    fastPacer.start(0);
    slowPacer.start(0);
    play(fast, fastPacer, 0, 51000, 33);
    // One pass every 700 ms: at most 15 steps each, so the animation lags.
    play(slow, slowPacer, 0, 51000, 700);
    EXPECT_EQ(fast.activeScene(), kSecondScene);
    EXPECT_EQ(slow.activeScene(), kSecondScene);
    EXPECT_LT(slow.state.frameCounter, fast.state.frameCounter + 1);
    EXPECT_EQ(slowHost.times("particles1"), 1);
}

TEST(Timeline, LoopVolumeRamps) {
    RecordingHost host;
    Timeline t(host);
    t.update(134040);
    EXPECT_EQ(host.loopVolume, 1);
    t.update(137999);
    EXPECT_EQ(host.loopVolume, (137999 - 134000) / 40);
    host.loopVolume = -1;
    t.update(150000);
    EXPECT_EQ(host.loopVolume, -1);  // no ramp between the fades
    t.update(157001);
    EXPECT_EQ(host.loopVolume, (161000 - 157001) / 40);
    t.update(160960);
    EXPECT_EQ(host.loopVolume, 1);
    t.update(161500);
    EXPECT_EQ(host.loopVolume, 0);  // never negative
}

TEST(Timeline, CreditsScrollThreePixelsPerStep) {
    RecordingHost host;
    Timeline t(host);
    t.update(134001);
    EXPECT_EQ(t.state.creditsScroll, 480);
    for (int i = 0; i < 10; i++) t.step();
    EXPECT_EQ(t.state.creditsScroll, 450);
}

TEST(Pacer, StepsAreBoundedAndIdlePassesDrawNothing) {
    Pacer p;
    p.start(1000);
    EXPECT_EQ(p.stepsDue(1000), 0);
    EXPECT_EQ(p.stepsDue(1000 + kStepMs - 1 - (1000 % kStepMs)), 0);
    EXPECT_EQ(p.stepsDue(1000 + 2 * kStepMs), 2);
    EXPECT_EQ(p.stepsDue(1000 + 2 * kStepMs), 0);
    EXPECT_EQ(p.stepsDue(1000 + 100 * kStepMs), kMaxStepsPerFrame);
    EXPECT_EQ(kMaxStepsPerFrame, 15);
    EXPECT_EQ(p.stepsDue(1000 + 101 * kStepMs), 1);  // the stall's surplus is dropped
}

TEST(Sprites, WrapAroundTheScreenEdges) {
    Sprites s;
    srand(7);
    s.init(640, 480);
    for (int k = 0; k < kSpriteCount; k++) {
        EXPECT_GE(s.trip[k].baseX, 0);
        EXPECT_LT(s.trip[k].baseX, 640);
        EXPECT_GE(s.trip[k].speed, -2.0f);
        EXPECT_LT(s.trip[k].speed, 2.0f);
    }
    s.trip[0].position.y = -128.5f;
    s.trip[0].speed = 0;
    s.trip[1].position.y = 608.5f;
    s.trip[1].speed = 0;
    s.bubble[0].position.y = -128.5f;
    s.bubble[0].speed = 0;
    s.move(480);
    EXPECT_EQ(s.trip[0].position.y, 607.0f);
    EXPECT_EQ(s.trip[1].position.y, -127.0f);
    EXPECT_EQ(s.bubble[0].position.y, 607.0f);
}

TEST(Timeline, WhatAFrameShowsFollowsTheClockWindows) {
    RecordingHost host;
    Timeline t(host);
    float alpha = 0;
    auto atFrame = [&](int fc) { t.state.frameCounter = fc; };
    auto atMs = [&](float e) { t.state.elapsedMs = e; };

    atFrame(100);
    EXPECT_EQ(t.sceneFov(kFirstScene), 50.0f);
    EXPECT_EQ(t.sceneFov(kSecondScene), 70.0f);
    EXPECT_EQ(t.sceneFov(kThirdScene), 120.0f);
    EXPECT_FALSE(t.flash(alpha));
    atFrame(181);
    ASSERT_TRUE(t.flash(alpha));
    EXPECT_FLOAT_EQ(alpha, 0.4f);
    atFrame(611);
    EXPECT_NEAR(t.sceneFov(kFirstScene), 150.0f, 0.5f);  // zooming in over the tunnel
    atFrame(870);
    ASSERT_TRUE(t.flash(alpha));
    EXPECT_FLOAT_EQ(alpha, 1.0f);
    EXPECT_EQ(t.sceneFov(kFirstScene), 70.0f);
    atFrame(875);
    EXPECT_FALSE(t.flash(alpha));
    atFrame(570);
    EXPECT_FALSE(t.questionMark());
    atFrame(571);
    EXPECT_TRUE(t.questionMark());

    atMs(14000);
    EXPECT_EQ(t.lastTitleAlpha(), 1.0f);
    atMs(16000);
    EXPECT_FLOAT_EQ(t.lastTitleAlpha(), 0.5f);
    EXPECT_EQ(t.lyric(), -1);
    for (float e : {13701.0f, 24001.0f, 37399.0f}) {
        atMs(e);
        EXPECT_EQ(t.lyric(), e < 20000 ? 0 : (e < 30000 ? 1 : 2)) << e;
    }
    atMs(118000);
    EXPECT_FALSE(t.picture(alpha));
    atMs(119500);
    ASSERT_TRUE(t.picture(alpha));
    EXPECT_NEAR(alpha, 0.5f, 1e-4f);  // fading in
    atMs(125000);
    ASSERT_TRUE(t.picture(alpha));
    EXPECT_EQ(alpha, 1.0f);
}
