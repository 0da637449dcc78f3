// What datagen writes: every file the show loads, in the shape the engine and
// the demo read it, identical on every run.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "SharedData.h"
#include "TestWindow.h"
#include "texture/Texture.h"

namespace {

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool runDatagen(const std::string& dir) {
    std::string cmd = std::string("'") + KVX_DATAGEN + "' '" + dir + "' >/dev/null";
    return std::system(cmd.c_str()) == 0;
}

struct ImageSpec {
    const char* name;
    int width, height, components;
};

const ImageSpec kImages[] = {
    {"title1.jpg", 512, 128, 3},  {"title2.jpg", 512, 128, 3},  {"title3.jpg", 512, 128, 3},
    {"title4.jpg", 512, 128, 3},  {"title5.jpg", 512, 128, 3},  {"title6.jpg", 512, 256, 3},
    {"lyric1.jpg", 256, 64, 3},   {"lyric2.jpg", 512, 32, 3},   {"lyric3.jpg", 512, 32, 3},
    {"lyric4.jpg", 512, 32, 3},   {"lyric5.jpg", 512, 32, 3},   {"credits.jpg", 512, 2048, 3},
    {"qmark.tga", 256, 512, 4},   {"metal.tga", 256, 256, 4},   {"trip01.tga", 128, 128, 4},
    {"trip02.tga", 128, 128, 4},  {"trip03.tga", 128, 128, 4},  {"trip04.tga", 128, 128, 4},
    {"kupla01.tga", 128, 128, 4}, {"kupla02.tga", 128, 128, 4}, {"kupla03.tga", 128, 128, 4},
    {"ginter.tga", 512, 512, 3},  {"gintera.tga", 512, 512, 3}, {"particle.tga", 64, 64, 4},
};

const char* const kOtherFiles[] = {"level01.dat", "level02.dat", "level03.dat", "tunnel.raw", "demo.mp3", "loop.wav"};

long modified(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? long(st.st_mtime) : -1;
}

}  // namespace

// One generation per build of datagen, shared by the test processes that CTest
// runs side by side: the first takes the lock and generates, the rest reuse it.
std::string sharedDataDir() {
    std::string dir = TestWindow::outputPath("generated");
    std::string stamp = dir + "/.complete";
    int fd = open((dir + ".lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (fd >= 0) flock(fd, LOCK_EX);
    bool fresh = modified(stamp) >= 0 && modified(stamp) >= modified(KVX_DATAGEN);
    if (!fresh && runDatagen(dir)) {
        FILE* f = std::fopen(stamp.c_str(), "w");
        if (f) std::fclose(f);
    }
    bool ok = modified(stamp) >= modified(KVX_DATAGEN);
    if (fd >= 0) {
        flock(fd, LOCK_UN);
        close(fd);
    }
    return ok ? dir : std::string();
}

class GeneratedData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = sharedDataDir();
        generated_ = !dir_.empty();
    }
    void SetUp() override { ASSERT_TRUE(generated_) << "datagen failed for " << dir_; }
    static std::string file(const std::string& name) { return dir_ + "/" + name; }

    static std::string dir_;
    static bool generated_;
};

std::string GeneratedData::dir_;
bool GeneratedData::generated_ = false;

TEST_F(GeneratedData, EveryFileTheShowLoadsIsWritten) {
    for (const ImageSpec& s : kImages) EXPECT_FALSE(readFile(file(s.name)).empty()) << s.name;
    for (const char* name : kOtherFiles) EXPECT_FALSE(readFile(file(name)).empty()) << name;
}

TEST_F(GeneratedData, ImagesLoadWithTheirSizesAndChannels) {
    std::string base = dir_ + "/";
    for (const ImageSpec& s : kImages) {
        Texture t;
        t.setFilename(s.name, 0);
        t.setBaseDir(base.c_str());
        ASSERT_EQ(t.loadTexture(0, 1.0f), 0) << s.name;
        EXPECT_EQ(t.width, s.width) << s.name;
        EXPECT_EQ(t.height, s.height) << s.name;
        EXPECT_EQ(t.components, s.components) << s.name;
        // Not blank: some pixel is lit.
        int lit = 0;
        for (int i = 0; i < t.width * t.height; ++i)
            lit += (t.data[i * 4] + t.data[i * 4 + 1] + t.data[i * 4 + 2]) > 96;
        EXPECT_GT(lit, t.width * t.height / 100) << s.name;
    }
}

TEST_F(GeneratedData, SpritesAreTransparentAroundTheirShapes) {
    std::string base = dir_ + "/";
    for (const char* name : {"trip01.tga", "kupla02.tga", "particle.tga", "qmark.tga"}) {
        Texture t;
        t.setFilename(name, 0);
        t.setBaseDir(base.c_str());
        ASSERT_EQ(t.loadTexture(0, 1.0f), 0) << name;
        const uint8_t* corner = t.data;
        EXPECT_EQ(corner[3], 0) << name;  // clear at the edge
        int opaque = 0;
        for (int i = 0; i < t.width * t.height; ++i) opaque += t.data[i * 4 + 3] > 200;
        EXPECT_GT(opaque, 0) << name;
    }
}

TEST_F(GeneratedData, TunnelTablesMapAngleAndDepthSmoothly) {
    std::vector<uint8_t> raw = readFile(file("tunnel.raw"));
    ASSERT_EQ(raw.size(), 131070u);
    auto value = [&](int block, int x, int y) { return (raw[block * 65535 + y * 320 + x] - 128) & 255; };
    // Angle: neighbours differ by little, going round modulo 256 at the seam.
    int worstA = 0, worstB = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x + 1 < 320; ++x) {
            int d = std::abs(value(0, x + 1, y) - value(0, x, y));
            d = std::min(d, 256 - d);
            if (std::abs(x - 158) > 16 || std::abs(y - 88) > 16) worstA = std::max(worstA, d);
            // Depth changes slowly away from the vanishing point.
            if (std::hypot(x - 158.0, (y - 88.5) * 1.34) > 60)
                worstB = std::max(worstB, std::abs(value(1, x + 1, y) - value(1, x, y)));
        }
    EXPECT_LE(worstA, 8);
    EXPECT_LE(worstB, 8);
    // Depth grows towards the centre; angle turns a full circle around it.
    EXPECT_GT(value(1, 158, 60), value(1, 10, 10));
    EXPECT_NE(value(0, 250, 88), value(0, 60, 88));
    // The unused tail of each block is zero.
    for (size_t i = 64000; i < 65535; ++i) EXPECT_EQ(raw[i], 0) << i;
}

namespace {

struct Pcm {
    std::vector<int16_t> samples;  // interleaved stereo
    double seconds() const { return samples.size() / 2.0 / 44100.0; }
};

bool decodeWithMixer(const std::string& path, Pcm& out) {
    // Decoding needs an open device, not a sound card.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_AUDIO) != 0) return false;
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 4096) != 0) return false;
    Mix_Init(MIX_INIT_MP3);
    Mix_Chunk* c = Mix_LoadWAV(path.c_str());
    if (c) {
        const int16_t* s = reinterpret_cast<const int16_t*>(c->abuf);
        out.samples.assign(s, s + c->alen / 2);
        Mix_FreeChunk(c);
    }
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return c != nullptr;
}

double rmsDb(const Pcm& p, double from, double to) {
    size_t a = size_t(from * 44100) * 2, b = std::min(p.samples.size(), size_t(to * 44100) * 2);
    double sum = 0;
    for (size_t i = a; i < b; ++i) sum += double(p.samples[i]) * p.samples[i];
    return 10 * std::log10(sum / std::max<size_t>(1, b - a) / (32768.0 * 32768.0) + 1e-12);
}

}  // namespace

TEST_F(GeneratedData, SoundtrackIsA161SecondStereoTrackWithoutClipping) {
    std::vector<uint8_t> mp3 = readFile(file("demo.mp3"));
    ASSERT_GT(mp3.size(), 4u);
    size_t at = 0;
    if (mp3[0] == 'I' && mp3[1] == 'D' && mp3[2] == '3')
        at = 10 + ((mp3[6] & 127) << 21 | (mp3[7] & 127) << 14 | (mp3[8] & 127) << 7 | (mp3[9] & 127));
    while (at + 4 < mp3.size() && !(mp3[at] == 0xFF && (mp3[at + 1] & 0xE0) == 0xE0)) ++at;
    ASSERT_LT(at + 4, mp3.size());
    EXPECT_EQ((mp3[at + 1] >> 3) & 3, 3);  // MPEG-1
    EXPECT_EQ((mp3[at + 1] >> 1) & 3, 1);  // layer III
    EXPECT_EQ((mp3[at + 2] >> 2) & 3, 0);  // 44.1 kHz
    EXPECT_NE((mp3[at + 3] >> 6) & 3, 3);  // not mono
    // 192 kbit/s on average (the first frame may carry an encoder tag).
    EXPECT_NEAR(mp3.size() * 8.0 / 161.0 / 1000.0, 192.0, 6.0);

    Pcm pcm;
    ASSERT_TRUE(decodeWithMixer(file("demo.mp3"), pcm)) << Mix_GetError();
    EXPECT_NEAR(pcm.seconds(), 161.0, 0.5);
    int peak = 0;
    for (int16_t s : pcm.samples) peak = std::max(peak, std::abs(int(s)));
    EXPECT_LT(peak, 30934) << "peak above -0.5 dBFS";  // 10^(-0.5/20) * 32767
    // Calm titles, a loud first scene, silence once the show has stopped the music.
    double intro = rmsDb(pcm, 0.5, 9.0), flight = rmsDb(pcm, 18, 36), finale = rmsDb(pcm, 100, 128);
    EXPECT_LT(intro, flight - 3);
    EXPECT_GT(flight, -16.0);
    EXPECT_GT(finale, -16.0);
    EXPECT_LT(rmsDb(pcm, 159.5, 160.9), -50.0);
}

TEST_F(GeneratedData, LoopIsSeamlessPcm) {
    std::vector<uint8_t> wav = readFile(file("loop.wav"));
    ASSERT_GT(wav.size(), 44u);
    ASSERT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
    EXPECT_EQ(wav[20] | wav[21] << 8, 1);  // PCM
    EXPECT_EQ(wav[22] | wav[23] << 8, 2);
    EXPECT_EQ(int(wav[24] | wav[25] << 8 | wav[26] << 16), 44100);
    EXPECT_EQ(wav[34] | wav[35] << 8, 16);
    std::vector<int16_t> s((wav.size() - 44) / 2);
    std::copy(wav.begin() + 44, wav.begin() + 44 + s.size() * 2, reinterpret_cast<uint8_t*>(s.data()));
    size_t frames = s.size() / 2;
    ASSERT_GT(frames, size_t(44100 * 8));
    for (int ch = 0; ch < 2; ++ch) {
        // The jump from the last sample back to the first is no larger than an ordinary step.
        std::vector<int> steps;
        for (size_t i = 0; i + 1 < frames; ++i) steps.push_back(std::abs(s[(i + 1) * 2 + ch] - s[i * 2 + ch]));
        std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
        int p99 = steps[steps.size() * 99 / 100];
        EXPECT_LE(std::abs(s[ch] - s[(frames - 1) * 2 + ch]), p99) << "channel " << ch;
    }
}

TEST_F(GeneratedData, TwoRunsWriteIdenticalBytes) {
    std::string again = TestWindow::outputPath("generated-again");
    ASSERT_TRUE(runDatagen(again));
    std::vector<std::string> names;
    for (const ImageSpec& s : kImages) names.push_back(s.name);
    for (const char* n : kOtherFiles) names.push_back(n);
    for (const char* n : {"neon.ifl", "neon01.jpg", "rock.jpg", "wing.jpg", "winga.jpg"}) names.push_back(n);
    for (const std::string& n : names) {
        std::vector<uint8_t> a = readFile(file(n)), b = readFile(again + "/" + n);
        EXPECT_FALSE(a.empty()) << n;
        EXPECT_TRUE(a == b) << n << " differs between runs";
    }
}
