// Writes the soundtrack: demo.mp3 (encoded from a temporary WAV master) and loop.wav.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Generators.h"
#include "Song.h"

namespace {

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

bool writeWav(const std::string& path, const Track& t) {
    const uint32_t frames = static_cast<uint32_t>(t.size()), bytes = frames * 4;
    std::vector<uint8_t> b;
    b.reserve(44 + bytes);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    put32(b, 36 + bytes);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(b, 16);
    put16(b, 1);  // PCM
    put16(b, 2);
    put32(b, kRate);
    put32(b, kRate * 4);
    put16(b, 4);
    put16(b, 16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, bytes);
    auto sample = [](float v) {
        long s = std::lround(std::fmax(-1.0f, std::fmin(1.0f, v)) * 32767.0f);
        return static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(s)));
    };
    for (uint32_t i = 0; i < frames; ++i) {
        put16(b, sample(t.l[i]));
        put16(b, sample(t.r[i]));
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

bool have(const char* tool) {
    std::string cmd = std::string("command -v ") + tool + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// 192 kbit/s, 44.1 kHz stereo, with nothing time- or host-dependent in the stream.
bool encodeMp3(const std::string& wav, const std::string& mp3) {
    std::string cmd;
    if (have("ffmpeg"))
        cmd = "ffmpeg -nostdin -loglevel error -y -i " + quoted(wav) +
              " -map_metadata -1 -fflags +bitexact -flags:a +bitexact -codec:a libmp3lame -b:a 192k -ar 44100 -ac 2 " +
              quoted(mp3);
    else if (have("lame"))
        cmd = "lame --silent -b 192 -q 2 --resample 44.1 " + quoted(wav) + " " + quoted(mp3);
    else {
        std::fprintf(stderr, "datagen: neither ffmpeg nor lame found to encode %s\n", mp3.c_str());
        return false;
    }
    return std::system(cmd.c_str()) == 0;
}

}  // namespace

void generateMusic(Output& out) {
    Track song = renderSong();
    std::string master = out.path(".demo-master.wav");
    bool ok = writeWav(master, song) && encodeMp3(master, out.path("demo.mp3"));
    std::remove(master.c_str());
    out.wrote("demo.mp3", ok);
    out.wrote("loop.wav", writeWav(out.path("loop.wav"), renderLoop()));
}
