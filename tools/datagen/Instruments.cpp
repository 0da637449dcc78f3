#include "Instruments.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTwoPi = 6.2831853f;

size_t startFrame(double t) { return static_cast<size_t>(std::max(0.0, t) * kRate); }

uint32_t seedFor(double t, uint32_t salt) { return static_cast<uint32_t>(t * 1000.0) * 2654435761u ^ salt; }

}  // namespace

void kick(Track& out, double t, float vel) {
    size_t s = startFrame(t), n = static_cast<size_t>(0.45 * kRate);
    double ph = 0;
    Noise nz(seedFor(t, 1));
    for (size_t k = 0; k < n; ++k) {
        float x = static_cast<float>(k) / kRate;
        float f = 48 + 130 * std::exp(-x / 0.028f) + 30 * std::exp(-x / 0.004f);
        ph += f / kRate;
        float body = std::sin(kTwoPi * static_cast<float>(ph)) * std::exp(-x / 0.28f) * std::min(1.0f, x / 0.001f);
        float click = nz.next() * std::exp(-x / 0.0025f) * 0.3f;
        float v = std::tanh((body * 1.6f + click)) * vel;
        out.add(s + k, v, 0);
    }
}

void snare(Track& out, double t, float vel) {
    size_t s = startFrame(t), n = static_cast<size_t>(0.35 * kRate);
    Noise nz(seedFor(t, 2));
    Svf bp;
    bp.set(3200, 0.8f);
    Osc body;
    body.set(185);
    for (size_t k = 0; k < n; ++k) {
        float x = static_cast<float>(k) / kRate;
        bp.process(nz.next());
        float tone = body.sine() * std::exp(-x / 0.05f) * 0.6f;
        float noise = (bp.bp * 1.2f + bp.hp * 0.4f) * std::exp(-x / 0.12f);
        out.add(s + k, (tone + noise) * vel, 0.05f);
    }
}

void clap(Track& out, double t, float vel) {
    size_t s = startFrame(t), n = static_cast<size_t>(0.4 * kRate);
    Noise nz(seedFor(t, 3));
    Svf bp;
    bp.set(1300, 1.2f);
    for (size_t k = 0; k < n; ++k) {
        float x = static_cast<float>(k) / kRate;
        float env = 0;
        for (int b = 0; b < 3; ++b) {
            float xb = x - b * 0.011f;
            if (xb >= 0 && xb < 0.011f) env = std::max(env, std::exp(-xb / 0.004f));
        }
        float xt = x - 0.022f;
        if (xt >= 0) env = std::max(env, std::exp(-xt / 0.11f));
        bp.process(nz.next());
        out.add(s + k, bp.bp * env * vel * 1.6f, -0.05f);
    }
}

void hat(Track& out, double t, float vel, bool open, float pan) {
    size_t s = startFrame(t), n = static_cast<size_t>((open ? 0.5 : 0.09) * kRate);
    Noise nz(seedFor(t, open ? 5 : 4));
    Svf hp, hp2;
    hp.set(7500, 0.9f);
    hp2.set(10000, 0.7f);
    float decay = open ? 0.16f : 0.025f;
    for (size_t k = 0; k < n; ++k) {
        float x = static_cast<float>(k) / kRate;
        hp.process(nz.next());
        hp2.process(hp.hp);
        out.add(s + k, hp2.hp * std::exp(-x / decay) * vel * 0.55f, pan);
    }
}

void crash(Track& out, double t, float vel) {
    size_t s = startFrame(t), n = static_cast<size_t>(2.5 * kRate);
    Noise a(seedFor(t, 6)), b(seedFor(t, 7));
    Svf hl, hr;
    hl.set(5000, 0.6f);
    hr.set(5200, 0.6f);
    for (size_t k = 0; k < n; ++k) {
        float x = static_cast<float>(k) / kRate;
        float env = std::exp(-x / 0.7f) * std::min(1.0f, x / 0.002f);
        hl.process(a.next());
        hr.process(b.next());
        out.addStereo(s + k, hl.hp * env * vel * 0.5f, hr.hp * env * vel * 0.5f);
    }
}

void bass(Track& out, double t, float dur, float note, float vel, float bright) {
    size_t s = startFrame(t), n = static_cast<size_t>((dur + 0.08f) * kRate);
    Osc a, b, sub;
    float hz = midiHz(note);
    a.set(hz);
    b.set(hz * 1.006f);
    sub.set(hz * 0.5f);
    Svf f;
    for (size_t k = 0; k < n; ++k) {
        float x = static_cast<float>(k) / kRate;
        float env = adsr(x, dur, 0.004f, 0.15f, 0.7f, 0.06f);
        float cut = 180 + bright * (300 + 2200 * std::exp(-x / 0.09f));
        if ((k & 31) == 0) f.set(cut, 1.1f);
        f.process((a.saw() + b.saw()) * 0.5f);
        float v = f.lp * 0.8f + sub.sine() * 0.55f;
        out.add(s + k, v * env * vel, 0);
    }
}

void acid(Track& out, double t, float dur, float note, float fromNote, float vel, float cutoff, bool accent) {
    size_t s = startFrame(t), n = static_cast<size_t>((dur + 0.03f) * kRate);
    Osc o;
    Svf f;
    float q = accent ? 7.0f : 4.5f;
    for (size_t k = 0; k < n; ++k) {
        float x = static_cast<float>(k) / kRate;
        float glide = std::min(1.0f, x / 0.045f);
        float nn = fromNote + (note - fromNote) * glide;
        o.set(midiHz(nn));
        float env = adsr(x, dur, 0.003f, 0.1f, 0.8f, 0.02f);
        float fenv = std::exp(-x / (accent ? 0.12f : 0.07f));
        if ((k & 15) == 0) f.set(cutoff * (1.0f + (accent ? 4.5f : 2.5f) * fenv), q);
        f.process(o.saw());
        float v = std::tanh(f.lp * 1.8f) * 0.6f;
        out.add(s + k, v * env * vel * (accent ? 1.2f : 1.0f), 0);
    }
}

void pad(Track& out, double t, float dur, const std::vector<float>& notes, float vel, float bright) {
    const int voices = 5;
    const float detune[voices] = {-0.11f, -0.05f, 0.0f, 0.05f, 0.11f};
    const float pans[voices] = {-0.8f, -0.4f, 0.0f, 0.4f, 0.8f};
    size_t s = startFrame(t), n = static_cast<size_t>((dur + 1.2f) * kRate);
    for (size_t ni = 0; ni < notes.size(); ++ni) {
        Osc o[voices];
        for (int v = 0; v < voices; ++v) {
            o[v].set(midiHz(notes[ni] + detune[v]));
            o[v].phase(0.13 * v + 0.29 * ni);
        }
        Svf fl, fr;
        for (size_t k = 0; k < n; ++k) {
            float x = static_cast<float>(k) / kRate;
            float env = adsr(x, dur, 0.35f, 0.6f, 0.8f, 1.1f);
            if ((k & 63) == 0) {
                float cut = 500 + bright * 2600 * (0.75f + 0.25f * std::sin(x * 1.3f + ni));
                fl.set(cut, 0.8f);
                fr.set(cut * 1.05f, 0.8f);
            }
            float l = 0, r = 0;
            for (int v = 0; v < voices; ++v) {
                float w = o[v].saw();
                float a = (pans[v] + 1) * 0.25f * 3.14159265f;
                l += w * std::cos(a);
                r += w * std::sin(a);
            }
            fl.process(l);
            fr.process(r);
            out.addStereo(s + k, fl.lp * env * vel * 0.18f, fr.lp * env * vel * 0.18f);
        }
    }
}

void pluck(Track& out, double t, float note, float vel, float pan) {
    float hz = midiHz(note);
    size_t period = std::max<size_t>(2, static_cast<size_t>(kRate / hz));
    std::vector<float> line(period);
    Noise nz(seedFor(t, 9) ^ static_cast<uint32_t>(note * 7));
    Svf shape;
    shape.set(2500, 0.7f);
    for (float& v : line) {
        shape.process(nz.next());
        v = shape.lp;
    }
    size_t s = startFrame(t), n = static_cast<size_t>(1.4 * kRate);
    size_t pos = 0;
    float prev = 0;
    for (size_t k = 0; k < n; ++k) {
        float cur = line[pos];
        float nxt = 0.5f * (cur + prev) * 0.996f;
        prev = cur;
        line[pos] = nxt;
        if (++pos == period) pos = 0;
        out.add(s + k, cur * vel * 1.5f, pan);
    }
}

void bell(Track& out, double t, float note, float vel, float pan, float decay) {
    size_t s = startFrame(t), n = static_cast<size_t>(decay * 3.5f * kRate);
    float hz = midiHz(note);
    double pc = 0, pm = 0, pm2 = 0;
    for (size_t k = 0; k < n; ++k) {
        float x = static_cast<float>(k) / kRate;
        float index = 2.4f * std::exp(-x / (decay * 0.3f));
        pm += hz * 3.5 / kRate;
        pm2 += hz * 1.0007 / kRate;
        pc += hz / kRate;
        float mod = std::sin(kTwoPi * static_cast<float>(pm - std::floor(pm)));
        float v = std::sin(kTwoPi * static_cast<float>(pc - std::floor(pc)) + index * mod);
        v +=
            0.35f * std::sin(kTwoPi * static_cast<float>(pm2 - std::floor(pm2)) * 2.0f) * std::exp(-x / (decay * 0.5f));
        float env = std::exp(-x / decay) * std::min(1.0f, x / 0.002f);
        out.add(s + k, v * env * vel * 0.35f, pan);
    }
}

void lead(Track& out, double t, float dur, float note, float vel, float bright) {
    size_t s = startFrame(t), n = static_cast<size_t>((dur + 0.25f) * kRate);
    Osc a, b, c;
    Osc lfo;
    lfo.set(5.2f);
    Svf f;
    float hz = midiHz(note);
    for (size_t k = 0; k < n; ++k) {
        float x = static_cast<float>(k) / kRate;
        float vib = 1.0f + 0.006f * lfo.sine() * std::min(1.0f, std::max(0.0f, (x - 0.18f) / 0.3f));
        a.set(hz * vib);
        b.set(hz * vib * 1.0045f);
        c.set(hz * vib * 0.5f);
        float env = adsr(x, dur, 0.008f, 0.25f, 0.75f, 0.22f);
        if ((k & 31) == 0) f.set(900 + bright * (1800 + 2500 * std::exp(-x / 0.2f)), 1.3f);
        f.process(a.saw() * 0.45f + b.saw() * 0.45f + c.pulse(0.4f) * 0.25f);
        out.add(s + k, f.lp * env * vel * 0.55f, 0);
    }
}

void riser(Track& out, double t0, double t1, float vel) {
    size_t s = startFrame(t0), n = static_cast<size_t>((t1 - t0) * kRate);
    Noise nz(seedFor(t0, 11));
    Svf f;
    for (size_t k = 0; k < n; ++k) {
        float p = static_cast<float>(k) / n;
        if ((k & 31) == 0) f.set(300 + 9000 * p * p, 3.0f);
        f.process(nz.next());
        out.add(s + k, f.bp * p * p * vel * 0.7f, std::sin(p * 20) * 0.5f);
    }
}

void impact(Track& out, double t, float vel) {
    size_t s = startFrame(t), n = static_cast<size_t>(2.0 * kRate);
    double ph = 0;
    Noise nz(seedFor(t, 12));
    Svf lp;
    lp.set(900, 0.7f);
    for (size_t k = 0; k < n; ++k) {
        float x = static_cast<float>(k) / kRate;
        ph += (38 + 60 * std::exp(-x / 0.15f)) / kRate;
        lp.process(nz.next());
        float v = std::sin(kTwoPi * static_cast<float>(ph)) * std::exp(-x / 0.7f) * 0.9f +
                  lp.lp * std::exp(-x / 0.25f) * 0.6f;
        out.add(s + k, v * vel, 0);
    }
}
