#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

float polyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return static_cast<float>(t + t - t * t - 1.0);
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return static_cast<float>(t * t + t + t + 1.0);
    }
    return 0.0f;
}
}  // namespace

float midiHz(float note) { return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f); }

void Track::add(size_t i, float v, float pan) {
    if (pan != cachedPan_) {
        float a = static_cast<float>((pan + 1.0f) * 0.25f * kPi);
        cachedPan_ = pan;
        gainL_ = std::cos(a) * 1.4142f;
        gainR_ = std::sin(a) * 1.4142f;
    }
    addStereo(i, v * gainL_, v * gainR_);
}

void Track::addStereo(size_t i, float vl, float vr) {
    if (l.empty()) return;
    if (i >= l.size()) {
        if (!wrap) return;
        i %= l.size();
    }
    l[i] += vl;
    r[i] += vr;
}

void Track::mixInto(Track& dst, float gain) const {
    size_t n = std::min(size(), dst.size());
    for (size_t i = 0; i < n; ++i) {
        dst.l[i] += l[i] * gain;
        dst.r[i] += r[i] * gain;
    }
}

float Noise::next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return static_cast<float>(s_ >> 8) / 8388608.0f - 1.0f;
}

float Osc::saw() {
    float v = static_cast<float>(2.0 * ph_ - 1.0) - polyBlep(ph_, inc_);
    ph_ += inc_;
    if (ph_ >= 1.0) ph_ -= 1.0;
    return v;
}

float Osc::pulse(float width) {
    double p2 = ph_ + width;
    if (p2 >= 1.0) p2 -= 1.0;
    float v = (ph_ < width ? 1.0f : -1.0f) + polyBlep(ph_, inc_) - polyBlep(p2, inc_);
    ph_ += inc_;
    if (ph_ >= 1.0) ph_ -= 1.0;
    return v;
}

float Osc::sine() {
    float v = static_cast<float>(std::sin(2.0 * kPi * ph_));
    ph_ += inc_;
    if (ph_ >= 1.0) ph_ -= 1.0;
    return v;
}

float Osc::tri() {
    float v = static_cast<float>(ph_ < 0.5 ? 4.0 * ph_ - 1.0 : 3.0 - 4.0 * ph_);
    ph_ += inc_;
    if (ph_ >= 1.0) ph_ -= 1.0;
    return v;
}

void Svf::set(float hz, float q) {
    hz = std::min(hz, kRate * 0.45f);
    g_ = static_cast<float>(std::tan(kPi * hz / kRate));
    k_ = 1.0f / std::max(0.1f, q);
    a1_ = 1.0f / (1.0f + g_ * (g_ + k_));
    a2_ = g_ * a1_;
    a3_ = g_ * a2_;
}

void Svf::process(float x) {
    float v3 = x - ic2_;
    float v1 = a1_ * ic1_ + a2_ * v3;
    float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2 * v1 - ic1_;
    ic2_ = 2 * v2 - ic2_;
    lp = v2;
    bp = v1;
    hp = x - k_ * v1 - v2;
}

float adsr(float t, float len, float a, float d, float s, float r) {
    if (t < 0) return 0;
    float level;
    if (t < a)
        level = t / a;
    else if (t < a + d)
        level = 1.0f - (1.0f - s) * (t - a) / d;
    else
        level = s;
    if (t > len) {
        float held = len < a ? len / a : (len < a + d ? 1.0f - (1.0f - s) * (len - a) / d : s);
        float k = (t - len) / r;
        return k >= 1 ? 0 : held * (1 - k) * (1 - k);
    }
    return level;
}

void pingPong(Track& t, float seconds, float feedback, float wet) {
    size_t d = static_cast<size_t>(seconds * kRate);
    if (d == 0 || d >= t.size()) return;
    std::vector<float> bl(d, 0.0f), br(d, 0.0f);
    size_t pos = 0;
    Svf tone[2];
    tone[0].set(4500, 0.7f);
    tone[1].set(4500, 0.7f);
    for (size_t i = 0; i < t.size(); ++i) {
        float dl = bl[pos], dr = br[pos];
        float inL = t.l[i], inR = t.r[i];
        tone[0].process(dr * feedback + (inL + inR) * 0.5f);
        tone[1].process(dl * feedback);
        bl[pos] = tone[0].lp;
        br[pos] = tone[1].lp;
        t.l[i] = inL + dl * wet;
        t.r[i] = inR + dr * wet;
        if (++pos == d) pos = 0;
    }
}

namespace {

struct Comb {
    std::vector<float> buf;
    size_t pos = 0;
    float store = 0;
    float process(float x, float feedback, float damp) {
        float out = buf[pos];
        store = out * (1 - damp) + store * damp;
        buf[pos] = x + store * feedback;
        if (++pos == buf.size()) pos = 0;
        return out;
    }
};

struct Allpass {
    std::vector<float> buf;
    size_t pos = 0;
    float process(float x) {
        float b = buf[pos];
        buf[pos] = x + b * 0.5f;
        if (++pos == buf.size()) pos = 0;
        return b - x;
    }
};

}  // namespace

Track reverb(const Track& in, float roomSize, float damp, float width) {
    static const int combLen[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int apLen[4] = {556, 441, 341, 225};
    const int spread = 23;
    Comb combs[2][8];
    Allpass aps[2][4];
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < 8; ++i) combs[c][i].buf.assign(combLen[i] + c * spread, 0.0f);
        for (int i = 0; i < 4; ++i) aps[c][i].buf.assign(apLen[i] + c * spread, 0.0f);
    }
    float feedback = 0.7f + 0.28f * roomSize;
    Track out(in.size());
    float w1 = width * 0.5f + 0.5f, w2 = (1 - width) * 0.5f;
    for (size_t i = 0; i < in.size(); ++i) {
        float x = (in.l[i] + in.r[i]) * 0.015f;
        float o[2];
        for (int c = 0; c < 2; ++c) {
            float s = 0;
            for (Comb& cb : combs[c]) s += cb.process(x, feedback, damp);
            for (Allpass& ap : aps[c]) s = ap.process(s);
            o[c] = s;
        }
        out.l[i] = o[0] * w1 + o[1] * w2;
        out.r[i] = o[1] * w1 + o[0] * w2;
    }
    return out;
}

std::vector<float> duckCurve(size_t frames, const std::vector<double>& triggers, float depth, float recover) {
    std::vector<float> g(frames, 1.0f);
    for (double t : triggers) {
        size_t s = static_cast<size_t>(t * kRate);
        size_t len = static_cast<size_t>(recover * 3 * kRate);
        for (size_t k = 0; k < len && s + k < frames; ++k) {
            float x = static_cast<float>(k) / kRate;
            float attack = std::min(1.0f, x / 0.004f);
            float dip = depth * attack * std::exp(-x / recover);
            g[s + k] = std::min(g[s + k], 1.0f - dip);
        }
    }
    return g;
}

void applyGain(Track& t, const std::vector<float>& g) {
    size_t n = std::min(t.size(), g.size());
    for (size_t i = 0; i < n; ++i) {
        t.l[i] *= g[i];
        t.r[i] *= g[i];
    }
}

void highpass(Track& t, float hz) {
    float a = static_cast<float>(std::exp(-2.0 * kPi * hz / kRate));
    float pl = 0, pr = 0, yl = 0, yr = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        yl = a * (yl + t.l[i] - pl);
        pl = t.l[i];
        yr = a * (yr + t.r[i] - pr);
        pr = t.r[i];
        t.l[i] = yl;
        t.r[i] = yr;
    }
}
