#include "SoundTrack.h"

#include <cstdio>

namespace demo {

namespace {
struct Voice {
    const int16_t* data = nullptr;
    long frames = 0;
    long pos = -1;  // -1: not playing
    bool loop = false;
    int volume = Audio::kFullVolume;
};

void apply(const Audio::Event& ev, Voice& v) {
    switch (ev.type) {
        case Audio::kPlay:
            v.pos = 0;
            v.loop = ev.value != 0;
            break;
        case Audio::kStop: v.pos = -1; break;
        case Audio::kVolume: v.volume = ev.value; break;
    }
}

int16_t clip(long v) { return int16_t(v > 32767 ? 32767 : (v < -32768 ? -32768 : v)); }
}  // namespace

std::vector<int16_t> mixSoundTrack(const Audio& audio, int lengthMs, int frequency, int channels) {
    Voice voices[Audio::kMaxStreams + 1];
    for (int h = 1; h <= Audio::kMaxStreams; h++) {
        int frames = 0;
        voices[h].data = audio.samples(h, &frames);
        voices[h].frames = frames;
    }
    const std::vector<Audio::Event>& events = audio.events();
    size_t next = 0;
    long total = long(lengthMs) * frequency / 1000;
    std::vector<int16_t> out(size_t(total) * channels, 0);
    for (long f = 0; f < total; f++) {
        long ms = f * 1000 / frequency;
        while (next < events.size() && events[next].ms <= ms) {
            const Audio::Event& ev = events[next++];
            if (ev.handle >= 1 && ev.handle <= Audio::kMaxStreams) apply(ev, voices[ev.handle]);
        }
        for (int c = 0; c < channels; c++) {
            long sum = 0;
            for (Voice& v : voices)
                if (v.data && v.pos >= 0) sum += long(v.data[v.pos * channels + c]) * v.volume / Audio::kFullVolume;
            out[size_t(f) * channels + c] = clip(sum);
        }
        for (Voice& v : voices) {
            if (!v.data || v.pos < 0) continue;
            if (++v.pos >= v.frames) v.pos = v.loop ? 0 : -1;
        }
    }
    return out;
}

bool writeWav(const char* fileName, const std::vector<int16_t>& samples, int frequency, int channels) {
    FILE* f = fopen(fileName, "wb");
    if (!f) return false;
    auto put32 = [f](uint32_t v) { fwrite(&v, 4, 1, f); };  // little-endian host
    auto put16 = [f](uint16_t v) { fwrite(&v, 2, 1, f); };
    uint32_t bytes = uint32_t(samples.size() * sizeof(int16_t));
    fwrite("RIFF", 1, 4, f);
    put32(36 + bytes);
    fwrite("WAVEfmt ", 1, 8, f);
    put32(16);
    put16(1);
    put16(uint16_t(channels));
    put32(uint32_t(frequency));
    put32(uint32_t(frequency * channels * 2));
    put16(uint16_t(channels * 2));
    put16(16);
    fwrite("data", 1, 4, f);
    put32(bytes);
    fwrite(samples.data(), sizeof(int16_t), samples.size(), f);
    return fclose(f) == 0;
}

}  // namespace demo
