#pragma once
// A small software synthesiser: band-limited oscillators, envelopes, a
// state-variable filter, noise, plucked strings, FM bells, drums, delay and reverb.
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int kRate = 44100;

float midiHz(float note);

// Stereo float buffer.
struct Track {
    std::vector<float> l, r;
    explicit Track(size_t frames = 0) : l(frames, 0.0f), r(frames, 0.0f) {}
    bool wrap = false;  // writes past the end come round to the start (seamless loops)
    size_t size() const { return l.size(); }
    void add(size_t i, float v, float pan);  // pan -1 left .. +1 right (constant power)
    void addStereo(size_t i, float vl, float vr);
    void mixInto(Track& dst, float gain) const;

private:
    float cachedPan_ = 0.0f, gainL_ = 1.0f, gainR_ = 1.0f;  // voices keep their pan for a whole note
};

// Deterministic white noise from a seed.
class Noise {
public:
    explicit Noise(uint32_t seed) : s_(seed ? seed : 1) {}
    float next();  // [-1, 1)

private:
    uint32_t s_;
};

// Saw and pulse with PolyBLEP edges.
class Osc {
public:
    void set(float hz) { inc_ = hz / kRate; }
    void phase(float p) { ph_ = p; }
    float saw();
    float pulse(float width);
    float sine();
    float tri();

private:
    double ph_ = 0;
    double inc_ = 0;
};

// Topology-preserving state-variable filter (lowpass, bandpass, highpass outputs).
class Svf {
public:
    void set(float hz, float q);
    void process(float x);
    float lp = 0, bp = 0, hp = 0;

private:
    float g_ = 0, k_ = 1, a1_ = 0, a2_ = 0, a3_ = 0, ic1_ = 0, ic2_ = 0;
};

// Attack-decay-sustain-release envelope evaluated at time t for a note of length len.
float adsr(float t, float len, float a, float d, float s, float r);

// Stereo feedback delay with cross-feed (ping-pong).
void pingPong(Track& t, float seconds, float feedback, float wet);
// Freeverb-style stereo reverb; returns the wet signal only.
Track reverb(const Track& in, float roomSize, float damp, float width);
// Sidechain: gain curve from trigger times (seconds) dipping by depth and recovering.
std::vector<float> duckCurve(size_t frames, const std::vector<double>& triggers, float depth, float recover);
void applyGain(Track& t, const std::vector<float>& g);
// One-pole highpass to remove DC and sub-rumble.
void highpass(Track& t, float hz);
