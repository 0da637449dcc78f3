#ifndef DEMO_AUDIO_H
#define DEMO_AUDIO_H

#include <cstdint>
#include <vector>

struct Mix_Chunk;

namespace demo {

// The few sound operations the show needs, over SDL2_mixer. Streams are decoded whole
// into memory so that an off-line capture can mix exactly the same samples.
class Audio {
public:
    static constexpr int kFrequency = 44100;
    static constexpr int kChannels = 2;
    static constexpr int kMaxStreams = 8;
    static constexpr int kFullVolume = 100;

    ~Audio();

    bool init(int frequency = kFrequency);
    void start();
    void setMasterVolume(int volume);
    // Handle of the stream (1-based), 0 when the file cannot be loaded.
    int streamCreateFile(const char* fileName, bool loop);
    void setVolume(int handle, int volume);
    void play(int handle, bool loop);
    void stop(int handle);
    void free();

    bool isPlaying(int handle) const;
    int volume(int handle) const;
    // Interleaved signed 16-bit stereo samples at kFrequency.
    const int16_t* samples(int handle, int* frames) const;
    bool streamLoops(int handle) const;

    // What happened to the streams and when, on a clock the caller advances; an
    // off-line capture mixes its sound track from this.
    enum EventType { kPlay, kStop, kVolume };
    struct Event {
        int ms;
        int handle;
        EventType type;
        int value;
    };
    void recordEvents(const int* clockMs) { clock_ = clockMs; }
    const std::vector<Event>& events() const { return events_; }

private:
    struct Stream {
        Mix_Chunk* chunk = nullptr;
        bool loop = false;
        int volume = kFullVolume;
    };
    Stream* get(int handle);
    void record(int handle, EventType type, int value);
    const Stream* get(int handle) const;

    bool open_ = false;
    bool mixerInit_ = false;
    Stream streams_[kMaxStreams];
    int streamCount_ = 0;
    const int* clock_ = nullptr;
    std::vector<Event> events_;
};

}  // namespace demo

#endif
