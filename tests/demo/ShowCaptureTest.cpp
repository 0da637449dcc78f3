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

namespace {

const std::string kBuild = KVX_BINARY_DIR;
constexpr int kW = 640, kH = 480;

struct Frame {
    std::vector<unsigned char> rgb;
    bool ok() const { return rgb.size() == size_t(kW) * kH * 3; }
    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * kW + x) * 3]; }
    int luma(int x, int y) const { return (at(x, y)[0] + at(x, y)[1] + at(x, y)[2]) / 3; }
    int brightest(int x, int y) const { return std::max({at(x, y)[0], at(x, y)[1], at(x, y)[2]}); }
};

uint32_t be32(const unsigned char* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// Reads the demo's own PNGs: RGB, stored deflate blocks, no row filters.
Frame readPng(const std::string& path) {
    Frame f;
    FILE* fp = fopen(path.c_str(), "rb");
    if (!fp) return f;
    std::vector<unsigned char> file;
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), fp)) > 0) file.insert(file.end(), buf, buf + n);
    fclose(fp);
    std::vector<unsigned char> z;
    for (size_t pos = 8; pos + 12 <= file.size();) {
        uint32_t len = be32(&file[pos]);
        if (std::string(reinterpret_cast<char*>(&file[pos + 4]), 4) == "IDAT")
            z.insert(z.end(), file.begin() + pos + 8, file.begin() + pos + 8 + len);
        pos += 12 + len;
    }
    std::vector<unsigned char> raw;
    for (size_t p = 2; p + 5 <= z.size();) {
        bool last = z[p] & 1;
        size_t len = z[p + 1] | z[p + 2] << 8;
        raw.insert(raw.end(), z.begin() + p + 5, z.begin() + p + 5 + len);
        p += 5 + len;
        if (last) break;
    }
    for (int y = 0; y < kH && raw.size() >= size_t(kH) * (kW * 3 + 1); y++)
        f.rgb.insert(f.rgb.end(), raw.begin() + y * (kW * 3 + 1) + 1, raw.begin() + (y + 1) * (kW * 3 + 1));
    return f;
}

int run(const std::string& cmd, std::string* output) {
    FILE* p = popen((cmd + " 2>&1").c_str(), "r");
    if (!p) return -1;
    char line[512];
    while (fgets(line, sizeof(line), p)) *output += line;
    int status = pclose(p);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Scratch folders are unique to this process: other test runs may share /tmp.
std::string scratchDir(const std::string& name) {
    return testing::TempDir() + name + "_" + std::to_string(getpid());
}

bool haveData() {
    struct stat st;
    return stat((kBuild + "/data/level01.dat").c_str(), &st) == 0 && stat((kBuild + "/demo").c_str(), &st) == 0;
}

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
        dir_ = new std::string(scratchDir("kvx_show_frames"));
        std::string out;
        std::string cmd = kBuild + "/demo --capture-frames " + *dir_ +
                          " --at 500,12000,20000,55000,90000,115000,125000,140000,141000";
        rc_ = run(cmd, &out);
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
    EXPECT_GT(share(fog, [](const unsigned char* p) {
                  return std::abs(p[0] - 128) < 14 && std::abs(p[1] - 38) < 14 && std::abs(p[2] - 89) < 14;
              }),
              0.05);

    // 90 s: magenta background and additive sprites.
    Frame sprites = frame(90000);
    ASSERT_TRUE(sprites.ok());
    EXPECT_GT(share(sprites, [](const unsigned char* p) { return p[0] > 150 && p[1] < 120 && p[2] > 150; }), 0.2);

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

namespace {

// A copy of the program beside a data folder that lacks one file.
std::string stageWithout(const char* missing) {
    std::string dir = scratchDir(std::string("kvx_stage_") + missing);
    std::string out;
    run("rm -rf " + dir + " && mkdir -p " + dir + "/data && cp " + kBuild + "/demo " + dir + "/ && for f in " +
            kBuild + "/data/*; do ln -s \"$f\" " + dir + "/data/; done && rm " + dir + "/data/" + missing,
        &out);
    return dir;
}

}  // namespace

TEST(ShowFailures, MissingFilesEndWithTheirMessageAndExitCodeZero) {
    ASSERT_TRUE(haveData());
    struct Case {
        const char* file;
        const char* message;
    } cases[] = {{"demo.mp3", "Cannot load sound."},
                 {"loop.wav", "Cannot load sound."},
                 {"level02.dat", "Data file not found!"},
                 {"tunnel.raw", "Cannot open data file!"}};
    for (const Case& c : cases) {
        std::string dir = stageWithout(c.file);
        std::string out;
        int rc = run(dir + "/demo --capture-frames " + dir + "/frames --at 100", &out);
        EXPECT_EQ(rc, 0) << c.file;
        EXPECT_NE(out.find(c.message), std::string::npos) << c.file << ": " << out;
        struct stat st;
        EXPECT_NE(stat((dir + "/frames/frame_000100.png").c_str(), &st), 0) << "nothing is shown after " << c.file;
    }
}
