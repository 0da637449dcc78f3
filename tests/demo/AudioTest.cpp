#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Audio.h"
#include "SoundTrack.h"

using namespace demo;

namespace {

// A stereo 44.1 kHz WAV whose left and right samples count up from `first`.
std::string writeRamp(const char* name, int frames, int first) {
    std::string path = std::string(testing::TempDir()) + name;
    std::vector<int16_t> s(size_t(frames) * 2);
    for (int i = 0; i < frames; i++) s[2 * i] = s[2 * i + 1] = int16_t(first + i);
    EXPECT_TRUE(writeWav(path.c_str(), s, Audio::kFrequency, Audio::kChannels));
    return path;
}

}  // namespace

TEST(Audio, StreamsPlayStopAndKeepTheirVolume) {
    Audio audio;
    ASSERT_TRUE(audio.init());
    audio.start();
    audio.setMasterVolume(100);
    EXPECT_EQ(audio.streamCreateFile("no/such/file.mp3", false), 0);
    std::string path = writeRamp("kvx_ramp.wav", 44100, 100);
    int h = audio.streamCreateFile(path.c_str(), true);
    ASSERT_EQ(h, 1);
    EXPECT_TRUE(audio.streamLoops(h));
    int frames = 0;
    const int16_t* pcm = audio.samples(h, &frames);
    ASSERT_NE(pcm, nullptr);
    EXPECT_EQ(frames, 44100);
    EXPECT_EQ(pcm[2 * 10], 110);
    audio.setVolume(h, 140);
    EXPECT_EQ(audio.volume(h), 100);
    audio.setVolume(h, -3);
    EXPECT_EQ(audio.volume(h), 0);
    audio.play(h, true);
    EXPECT_TRUE(audio.isPlaying(h));
    audio.stop(h);
    EXPECT_FALSE(audio.isPlaying(h));
    audio.setVolume(99, 50);  // unknown handles are ignored
    audio.free();
}

TEST(Audio, OfflineMixFollowsTheRecordedEvents) {
    Audio audio;
    ASSERT_TRUE(audio.init());
    int clock = 0;
    audio.recordEvents(&clock);
    int music = audio.streamCreateFile(writeRamp("kvx_music.wav", 4410, 1000).c_str(), false);
    int loop = audio.streamCreateFile(writeRamp("kvx_loop.wav", 441, 10).c_str(), true);
    ASSERT_TRUE(music && loop);
    audio.play(music, true);
    clock = 50;  // 2205 frames in
    audio.stop(music);
    audio.setVolume(loop, 50);
    audio.play(loop, true);
    std::vector<int16_t> mix = mixSoundTrack(audio, 100, Audio::kFrequency, Audio::kChannels);
    ASSERT_EQ(mix.size(), size_t(4410 * 2));
    EXPECT_EQ(mix[0], 1000);
    EXPECT_EQ(mix[2 * 2204], 1000 + 2204);
    EXPECT_EQ(mix[2 * 2205], 10 / 2);          // loop at half volume, music stopped
    EXPECT_EQ(mix[2 * (2205 + 441)], 10 / 2);  // the loop wrapped around
    EXPECT_EQ(mix[2 * (2205 + 40) + 1], 50 / 2);
    audio.free();
}
