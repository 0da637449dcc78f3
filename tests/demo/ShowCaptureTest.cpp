// Plays the real show off-line with the generated data and checks what is on screen.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "DemoRun.h"

namespace {

using namespace demotest;

double share(const Frame& f, bool (*pred)(const unsigned char*)) {
    long hits = 0;
    for (int y = 0; y < kH; y += 4)
        for (int x = 0; x < kW; x += 4) hits += pred(f.at(x, y));
    return double(hits) / ((kH / 4) * (kW / 4));
}

// Mean absolute difference of b shifted up by `shift` rows against a.
double shiftedDifference(const Frame& a, const Frame& b, int shift) {
    double sum = 0;
    long count = 0;
    for (int y = 0; y + shift < kH; y += 2)
        for (int x = 64; x < 576; x += 2) {
            sum += std::abs(a.luma(x, y + shift) - b.luma(x, y));
            count++;
        }
    return sum / count;
}

class ShowCapture : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!haveData()) return;
        dir_ = new std::string(tempPath("kvx_show_frames"));
        std::string out;
        std::string cmd = kBuild + "/demo --capture-frames " + *dir_ +
                          " --at 500,12000,20000,55000,84500,88500,90000,92500,96500,115000,125000,140000,141000";
        rc_ = runCommand(cmd, &out);
    }
    static Frame frame(int ms) {
        char name[64];
        snprintf(name, sizeof(name), "/frame_%06d.png", ms);
        return readPng(*dir_ + name);
    }
    static std::string* dir_;
    static int rc_;
};
std::string* ShowCapture::dir_ = nullptr;
int ShowCapture::rc_ = -1;

}  // namespace

TEST_F(ShowCapture, EverySectionShowsWhatItMust) {
    ASSERT_TRUE(haveData()) << "run datagen into " << kBuild << "/data first";
    ASSERT_EQ(rc_, 0);

    // 0.5 s: the first title in its rectangle on black.
    Frame title = frame(500);
    ASSERT_TRUE(title.ok());
    int lit = 0;
    for (int y = 176; y < 304; y++)
        for (int x = 64; x < 576; x++) lit += title.luma(x, y) > 96;
    EXPECT_GT(lit, 500);
    for (int x = 0; x < kW; x += 7) {
        EXPECT_LT(title.luma(x, 20), 8);
        EXPECT_LT(title.luma(x, 460), 8);
    }

    // 12 s: the tunnel covers the screen; its colour terms vanish along the top rows only.
    Frame tunnel = frame(12000);
    ASSERT_TRUE(tunnel.ok());
    int darkCells = 0, darkLowerCells = 0;
    for (int cy = 0; cy < 6; cy++)
        for (int cx = 0; cx < 8; cx++) {
            int peak = 0;
            for (int y = cy * 80; y < cy * 80 + 80; y += 4)
                for (int x = cx * 80; x < cx * 80 + 80; x += 4) peak = std::max(peak, tunnel.brightest(x, y));
            darkCells += peak < 12;
            darkLowerCells += cy >= 3 && peak < 12;
        }
    EXPECT_LE(darkCells, 8);
    EXPECT_EQ(darkLowerCells, 0);

    // 20 s: the first scene, full of detail.
    Frame scene = frame(20000);
    ASSERT_TRUE(scene.ok());
    EXPECT_GT(share(scene, [](const unsigned char* p) { return p[0] + p[1] + p[2] > 60; }), 0.5);

    // 55 s: the pink fog colour (0.5, 0.15, 0.35) in the far background.
    Frame fog = frame(55000);
    ASSERT_TRUE(fog.ok());
    EXPECT_GT(share(fog,
                    [](const unsigned char* p) {
                        return std::abs(p[0] - 128) < 14 && std::abs(p[1] - 38) < 14 && std::abs(p[2] - 89) < 14;
                    }),
              0.05);

    // 90 s: magenta background and additive sprites.
    Frame sprites = frame(90000);
    ASSERT_TRUE(sprites.ok());
    EXPECT_GT(share(sprites, [](const unsigned char* p) { return p[0] > 150 && p[1] < 120 && p[2] > 150; }), 0.2);
    // The added sprites never wash the third scene out to white.
    for (int ms : {84500, 88500, 92500, 96500}) {
        Frame f = frame(ms);
        ASSERT_TRUE(f.ok()) << ms;
        EXPECT_LT(share(f, [](const unsigned char* p) { return p[0] + p[1] + p[2] >= 3 * 250; }), 0.01) << ms;
    }

    // 125 s: the picture over the scene, its caption bright across the bottom.
    Frame before = frame(115000), pic = frame(125000);
    ASSERT_TRUE(before.ok() && pic.ok());
    auto caption = [](const Frame& f) {
        int n = 0;
        for (int y = 395; y < 455; y++)
            for (int x = 150; x < 490; x++) n += f.luma(x, y) > 200;
        return n;
    };
    EXPECT_GT(caption(pic), 2000);
    EXPECT_GT(caption(pic), 4 * caption(before) + 500);

    // After 134 s the credits scroll up 3 pixels per step: 30 steps per second.
    Frame c1 = frame(140000), c2 = frame(141000);
    ASSERT_TRUE(c1.ok() && c2.ok());
    int best = 0;
    double bestDiff = 1e9;
    for (int s = 0; s < 150; s++) {
        double d = shiftedDifference(c1, c2, s);
        if (d < bestDiff) bestDiff = d, best = s;
    }
    EXPECT_NEAR(best, 90, 4);
    EXPECT_GT(shiftedDifference(c1, c2, 0), bestDiff + 1.0);
    EXPECT_LT(bestDiff, 3.0);
}

TEST(ShowFailures, MissingFilesEndWithTheirMessageAndExitCodeOne) {
    ASSERT_TRUE(haveData());
    struct Case {
        const char* file;
        const char* message;
    } cases[] = {{"demo.mp3", "Cannot load sound."},
                 {"loop.wav", "Cannot load sound."},
                 {"level02.dat", "Data file not found!"},
                 {"tunnel.raw", "Cannot open data file!"}};
    for (const Case& c : cases) {
        std::string dir = stageDemo(std::string("kvx_stage_") + c.file, {c.file});
        std::string out;
        int rc = runCommand(dir + "/demo --capture-frames " + dir + "/frames --at 100", &out);
        EXPECT_EQ(rc, 1) << c.file;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.file << ": " << out;
        struct stat st;
        EXPECT_NE(stat((dir + "/frames/frame_000100.png").c_str(), &st), 0) << "nothing is shown after " << c.file;
    }
}
