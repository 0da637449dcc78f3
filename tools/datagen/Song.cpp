// The arrangement follows the show: calm titles, a build into the first scene at
// 17.5 s, new sections at 50.3, 66.5, 83 and 99.5 s, a finale to 129.4 s, then an outro.
#include "Song.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Instruments.h"

namespace {

struct Section {
    double start, end;
    int beats;
    double at(double beat) const { return start + beat * (end - start) / beats; }
    double beatLength() const { return (end - start) / beats; }
};

enum { kIntro, kFlight, kFountains, kReturn, kAcid, kFinale, kOutro };
constexpr double seconds(int ms) { return ms / 1000.0; }

const Section kSections[] = {{0, seconds(demo::kFirstSceneMs), 34},
                             {seconds(demo::kFirstSceneMs), seconds(demo::kSecondSceneMs), 64},
                             {seconds(demo::kSecondSceneMs), seconds(demo::kFirstSceneSecondMs), 32},
                             {seconds(demo::kFirstSceneSecondMs), seconds(demo::kThirdSceneMs), 32},
                             {seconds(demo::kThirdSceneMs), seconds(demo::kFirstSceneThirdMs), 32},
                             {seconds(demo::kFirstSceneThirdMs), seconds(demo::kFirstSceneOffMs), 58},
                             {seconds(demo::kFirstSceneOffMs), seconds(demo::kShowLengthMs), 60}};

struct Chord {
    float root;
    std::vector<float> pad, arp;
};

const Chord kAm{45, {57, 60, 64, 69}, {69, 72, 76, 81}};
const Chord kF{41, {53, 57, 60, 64}, {65, 69, 72, 77}};
const Chord kC{48, {55, 60, 64, 67}, {67, 72, 76, 79}};
const Chord kG{43, {55, 59, 62, 67}, {67, 71, 74, 79}};
const Chord kDm{38, {57, 62, 65, 69}, {62, 65, 69, 74}};
const Chord kBb{46, {58, 62, 65, 70}, {65, 70, 74, 77}};
const Chord* const kMain[4] = {&kAm, &kF, &kC, &kG};
const Chord* const kFountainChords[4] = {&kDm, &kBb, &kF, &kC};
const Chord* const kAcidChords[4] = {&kAm, &kAm, &kF, &kG};

struct Note {
    float beat, dur, pitch;
};

// The theme: eight bars over Am F C G, twice.
const std::vector<Note> kTheme = {
    {0, 1, 69},     {1, .5f, 72},     {1.5f, .5f, 76}, {2, 1.5f, 81},    {3.5f, .5f, 79},   // Am
    {4, 1, 77},     {5, .5f, 76},     {5.5f, .5f, 72}, {6, 2, 69},                          // F
    {8, .5f, 67},   {8.5f, .5f, 72},  {9, 1, 76},      {10, 1, 79},      {11, 1, 76},       // C
    {12, 1.5f, 74}, {13.5f, .5f, 71}, {14, 1, 67},     {15, 1, 74},                         // G
    {16, 1, 76},    {17, 1, 81},      {18, 1, 84},     {19, .5f, 83},    {19.5f, .5f, 81},  // Am
    {20, 1.5f, 81}, {21.5f, .5f, 79}, {22, 1, 77},     {23, 1, 72},                         // F
    {24, .5f, 76},  {24.5f, .5f, 79}, {25, 1, 84},     {26, 1, 79},      {27, 1, 76},       // C
    {28, 2, 74},    {30, 1, 71},      {31, .5f, 74},   {31.5f, .5f, 76},                    // G
};

// A gentler answer for the fountains, played on bells.
const std::vector<Note> kBellTune = {
    {0, 1.5f, 74}, {1.5f, .5f, 76}, {2, 2, 77},  {4, 1.5f, 74}, {5.5f, .5f, 70}, {6, 2, 77},
    {8, 1, 72},    {9, 1, 77},      {10, 2, 81}, {12, 1, 79},   {13, 1, 76},     {14, 2, 72},
};

struct Mix {
    Track drums, bass, pad, lead, arp, fx;
    std::vector<double> kicks;
    explicit Mix(size_t n) : drums(n), bass(n), pad(n), lead(n), arp(n), fx(n) {}
};

bool inWindow(double t, double a, double b) { return t >= a && t < b; }

// Breaks where the picture asks for silence from the drums and bass.
bool muted(double t) { return inWindow(t, 36.3, 37.66); }

void kickAt(Mix& m, double t, float vel) {
    if (muted(t)) return;
    kick(m.drums, t, vel);
    m.kicks.push_back(t);
}

// Four-on-the-floor with claps, offbeat hats and ghost sixteenths.
void mainBeat(Mix& m, const Section& s, int bar, bool busy, bool houseHats) {
    for (int b = 0; b < 4; ++b) {
        double beat = bar * 4 + b;
        kickAt(m, s.at(beat), 0.95f);
        if (b == 1 || b == 3) {
            double t = s.at(beat);
            if (!muted(t)) {
                clap(m.drums, t, 0.55f);
                snare(m.drums, t, 0.35f);
            }
        }
        for (int q = 0; q < 4; ++q) {
            double t = s.at(beat + q * 0.25);
            if (muted(t)) continue;
            bool off = q == 2;
            if (off)
                hat(m.drums, t, houseHats ? 0.32f : 0.4f, houseHats, 0.25f);
            else if (busy || q != 0)
                hat(m.drums, t, busy ? 0.2f : 0.12f, false, -0.2f);
        }
    }
    if (bar % 2 == 1 && !houseHats) {
        double t = s.at(bar * 4 + 3.5);
        if (!muted(t)) hat(m.drums, t, 0.3f, true, 0.3f);
    }
}

void fill(Mix& m, const Section& s, double fromBeat, double toBeat) {
    for (double b = fromBeat; b < toBeat - 1e-6; b += 0.25) {
        float p = static_cast<float>((b - fromBeat) / (toBeat - fromBeat));
        snare(m.drums, s.at(b), 0.2f + 0.45f * p);
    }
}

void pumpingBass(Mix& m, const Section& s, int bar, const Chord& c, float bright) {
    for (int e = 0; e < 8; ++e) {
        double t = s.at(bar * 4 + e * 0.5);
        if (muted(t)) continue;
        float note = c.root + ((e % 2) ? 12.0f : 0.0f);
        bass(m.bass, t, static_cast<float>(s.beatLength() * 0.42), note, e % 2 ? 0.55f : 0.75f, bright);
    }
}

void padBar(Mix& m, const Section& s, int bar, int bars, const Chord& c, float vel, float bright) {
    pad(m.pad, s.at(bar * 4), static_cast<float>(s.beatLength() * 4 * bars - 0.05), c.pad, vel, bright);
}

void arpBar(Mix& m, const Section& s, int bar, const Chord& c, float vel, int perBeat, float octave = 0) {
    static const int order[8] = {0, 1, 2, 3, 2, 1, 3, 0};
    for (int k = 0; k < 4 * perBeat; ++k) {
        double t = s.at(bar * 4 + static_cast<double>(k) / perBeat);
        float note = c.arp[order[k % 8]] + octave + (k % 16 >= 8 ? 12.0f : 0.0f);
        pluck(m.arp, t, note, vel * (k % 2 ? 0.7f : 1.0f), (k % 2 ? 0.5f : -0.5f));
    }
}

void melody(Mix& m, const Section& s, const std::vector<Note>& tune, double fromBeat, double untilBeat, float transpose,
            float vel, float bright, double offsetBeats) {
    for (const Note& n : tune) {
        double b = n.beat + offsetBeats;
        if (n.beat < fromBeat || n.beat >= untilBeat) continue;
        double t = s.at(b);
        lead(m.lead, t, static_cast<float>(n.dur * s.beatLength() * 0.92), n.pitch + transpose, vel, bright);
    }
}

void intro(Mix& m) {
    const Section& s = kSections[kIntro];
    const Chord* chords[4] = {&kAm, &kF, &kC, &kG};
    for (int i = 0; i < 4; ++i)
        pad(m.pad, s.at(i * 8), static_cast<float>(s.beatLength() * (i == 3 ? 10 : 8)), chords[i]->pad,
            0.55f + 0.1f * i, 0.25f + 0.12f * i);
    // A glass chime for each title.
    const double titleTimes[5] = {0.05, 1.3, 3.3, 5.4, 7.5};
    const float chime[5] = {76, 81, 84, 83, 79};
    for (int i = 0; i < 5; ++i) {
        bell(m.arp, titleTimes[i], chime[i], 0.55f, (i % 2 ? 0.4f : -0.4f), 1.4f);
        bell(m.arp, titleTimes[i] + 0.01, chime[i] - 12, 0.25f, 0, 1.8f);
    }
    // The tunnel opens: impact, a bell chord and a gentle pulse.
    impact(m.fx, 9.6, 0.6f);
    for (float n : {69.0f, 76.0f, 81.0f, 88.0f}) bell(m.arp, 9.6, n, 0.3f, (n - 78) / 12, 2.5f);
    crash(m.drums, 9.6, 0.35f);
    for (int b = 0; b < 34; ++b) {
        double t = s.at(b);
        if (t > 3.2 && b % 2 == 0) {
            const Chord& c = *chords[std::min(3, b / 8)];
            for (int k = 0; k < 4; ++k)
                pluck(m.arp, s.at(b + k * 0.5), c.arp[k] - 12, 0.18f + 0.1f * (t > 9.6), (k % 2 ? 0.6f : -0.6f));
        }
        if (t >= 9.55) {
            kickAt(m, t, b < 26 ? 0.55f : 0.8f);
            hat(m.drums, s.at(b + 0.5), t > 11.5 ? 0.3f : 0.15f, false, 0.2f);
        }
        if (t >= 9.55 && b >= 20)
            bass(m.bass, t, static_cast<float>(s.beatLength() * 0.8), chords[std::min(3, b / 8)]->root, 0.5f, 0.3f);
    }
    // "spread your wings"
    for (const Note& n : std::vector<Note>{{0, 1, 67}, {1, 1, 71}, {2, 2, 74}})
        lead(m.lead, 13.7 + n.beat * s.beatLength(), static_cast<float>(n.dur * s.beatLength()), n.pitch, 0.45f, 0.35f);
    riser(m.fx, 14.5, 17.5, 0.55f);
    fill(m, s, 30, 34);
    crash(m.drums, 17.5, 0.7f);
    impact(m.fx, 17.5, 0.8f);
}

void flight(Mix& m) {
    const Section& s = kSections[kFlight];
    // A dominant pickup, the theme (bars 1-8), the break, the tunnel (10-13), a reprise.
    const Chord* const chords[16] = {&kG, &kAm, &kF,  &kC, &kG, &kAm, &kF,  &kC,
                                     &kG, &kAm, &kAm, &kF, &kC, &kG,  &kAm, &kF};
    for (int bar = 0; bar < 16; ++bar) {
        const Chord& c = *chords[bar];
        bool tunnel = bar >= 10 && bar < 14;
        mainBeat(m, s, bar, tunnel, false);
        pumpingBass(m, s, bar, c, tunnel ? 0.9f : 0.6f);
        padBar(m, s, bar, 1, c, tunnel ? 0.55f : 0.7f, tunnel ? 0.8f : 0.5f);
        if (tunnel) arpBar(m, s, bar, c, 0.3f, 4);
    }
    melody(m, s, kTheme, 0, 32, 0, 0.7f, 0.6f, 4);           // bars 1-8
    melody(m, s, kTheme, 16, 32, 12, 0.45f, 0.9f, 40 - 16);  // the tunnel: an octave up, second half
    melody(m, s, kTheme, 16, 24, 0, 0.6f, 0.7f, 56 - 16);    // after the flash
    // Question mark: drums stop; a rising question in bells.
    for (int k = 0; k < 4; ++k) bell(m.arp, 36.3 + k * 0.3, 76.0f + k * 3, 0.4f, k % 2 ? 0.5f : -0.5f, 1.0f);
    riser(m.fx, 36.3, 37.66, 0.7f);
    for (double t : {23.47, 37.66, 46.2}) {
        crash(m.drums, t, 0.7f);
        impact(m.fx, t, 0.55f);
    }
    fill(m, s, 62, 64);
    riser(m.fx, s.at(60), s.end, 0.45f);
}

void fountains(Mix& m) {
    const Section& s = kSections[kFountains];
    crash(m.drums, s.start, 0.6f);
    for (int bar = 0; bar < 8; ++bar) {
        const Chord& c = *kFountainChords[bar % 4];
        double b0 = bar * 4;
        kickAt(m, s.at(b0), 0.9f);
        kickAt(m, s.at(b0 + 1.5), 0.7f);
        if (bar % 2) kickAt(m, s.at(b0 + 3.75), 0.5f);
        snare(m.drums, s.at(b0 + 2), 0.55f);
        clap(m.drums, s.at(b0 + 2), 0.3f);
        for (int q = 0; q < 16; ++q) hat(m.drums, s.at(b0 + q * 0.25), q % 4 == 2 ? 0.25f : 0.1f, false, 0.3f);
        bass(m.bass, s.at(b0), static_cast<float>(s.beatLength() * 1.4), c.root, 0.8f, 0.35f);
        bass(m.bass, s.at(b0 + 1.5), static_cast<float>(s.beatLength() * 2.3), c.root, 0.65f, 0.3f);
        padBar(m, s, bar, 1, c, 0.6f, 0.45f);
        arpBar(m, s, bar, c, 0.22f, 2);
    }
    for (int pass = 0; pass < 2; ++pass)
        for (const Note& n : kBellTune) bell(m.arp, s.at(n.beat + pass * 16), n.pitch + 12, 0.45f, 0.2f, 1.2f);
    riser(m.fx, s.at(28), s.end, 0.5f);
    fill(m, s, 30, 32);
}

void returnTheme(Mix& m) {
    const Section& s = kSections[kReturn];
    crash(m.drums, s.start, 0.75f);
    impact(m.fx, s.start, 0.6f);
    for (int bar = 0; bar < 8; ++bar) {
        const Chord& c = *kMain[bar % 4];
        mainBeat(m, s, bar, bar >= 4, false);
        pumpingBass(m, s, bar, c, 0.75f);
        padBar(m, s, bar, 1, c, 0.65f, 0.6f);
        if (bar >= 4) arpBar(m, s, bar, c, 0.22f, 4);
    }
    melody(m, s, kTheme, 0, 32, 0, 0.75f, 0.8f, 0);
    fill(m, s, 30, 32);
}

void acidSection(Mix& m) {
    const Section& s = kSections[kAcid];
    crash(m.drums, s.start, 0.7f);
    static const int steps[16] = {0, 0, 12, 0, 3, 0, 15, 0, 0, 7, 0, 12, 10, 0, 5, 7};
    static const bool accents[16] = {1, 0, 0, 1, 0, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0};
    static const bool rests[16] = {0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0};
    float prev = 33;
    for (int bar = 0; bar < 8; ++bar) {
        const Chord& c = *kAcidChords[bar % 4];
        mainBeat(m, s, bar, true, true);
        float sweep = 220 + 900 * (bar / 7.0f) * (bar / 7.0f);
        for (int k = 0; k < 16; ++k) {
            if (rests[k]) continue;
            float note = c.root - 12 + steps[k];
            acid(m.bass, s.at(bar * 4 + k * 0.25), static_cast<float>(s.beatLength() * 0.24), note, prev, 0.75f, sweep,
                 accents[k]);
            prev = note;
        }
        // Offbeat chord stabs.
        for (int b = 0; b < 4; ++b)
            pad(m.pad, s.at(bar * 4 + b + 0.5), static_cast<float>(s.beatLength() * 0.2), c.pad, 0.55f, 0.9f);
    }
    for (int bar = 4; bar < 8; ++bar)
        for (int k = 0; k < 4; ++k)
            bell(m.arp, s.at(bar * 4 + k), kAcidChords[bar % 4]->arp[k] + 12, 0.2f, k % 2 ? 0.6f : -0.6f, 0.5f);
    riser(m.fx, s.at(26), s.end, 0.6f);
    fill(m, s, 28, 32);
}

void finale(Mix& m) {
    const Section& s = kSections[kFinale];
    crash(m.drums, s.start, 0.85f);
    impact(m.fx, s.start, 0.8f);
    for (int bar = 0; bar < 14; ++bar) {
        const Chord& c = *kMain[bar % 4];
        mainBeat(m, s, bar, bar >= 8, false);
        pumpingBass(m, s, bar, c, 0.85f);
        padBar(m, s, bar, 1, c, 0.7f, 0.75f);
        arpBar(m, s, bar, c, 0.2f, bar >= 8 ? 4 : 2);
    }
    melody(m, s, kTheme, 0, 32, 0, 0.75f, 0.9f, 0);
    melody(m, s, kTheme, 0, 24, 12, 0.5f, 1.0f, 32);
    melody(m, s, kTheme, 0, 24, 0, 0.45f, 0.8f, 32);
    crash(m.drums, s.at(32), 0.7f);
    fill(m, s, 54, 58);
    riser(m.fx, s.at(50), s.end, 0.5f);
}

void outro(Mix& m) {
    const Section& s = kSections[kOutro];
    crash(m.drums, s.start, 0.8f);
    impact(m.fx, s.start, 0.9f);
    const Chord* chords[4] = {&kAm, &kF, &kC, &kAm};
    for (int i = 0; i < 4; ++i)
        pad(m.pad, s.at(i * 12), static_cast<float>(s.beatLength() * 12), chords[i]->pad, 0.6f - 0.1f * i,
            0.4f - 0.07f * i);
    for (int i = 0; i < 12; ++i) {
        const Chord& c = *chords[std::min(3, i / 3)];
        bell(m.arp, s.at(i * 4), c.arp[3 - i % 4] + 12, 0.35f * (1 - i / 14.0f), i % 2 ? 0.5f : -0.5f, 2.0f);
    }
    bass(m.bass, s.start, 6.0f, 45, 0.7f, 0.2f);
}

void fadeOut(Track& t, double from, double to) {
    for (size_t i = static_cast<size_t>(from * kRate); i < t.size(); ++i) {
        double x = (i / static_cast<double>(kRate) - from) / (to - from);
        float g = x >= 1 ? 0.0f : static_cast<float>((1 - x) * (1 - x));
        t.l[i] *= g;
        t.r[i] *= g;
    }
}

Track combine(Mix& m, size_t n, float leadDelay) {
    std::vector<float> duck = duckCurve(n, m.kicks, 0.55f, 0.16f);
    std::vector<float> duckSoft = duckCurve(n, m.kicks, 0.35f, 0.12f);
    applyGain(m.pad, duck);
    applyGain(m.bass, duckSoft);
    pingPong(m.lead, leadDelay, 0.38f, 0.32f);
    pingPong(m.arp, leadDelay * 2.0f / 3.0f, 0.3f, 0.25f);
    Track send(n);
    m.lead.mixInto(send, 0.6f);
    m.arp.mixInto(send, 0.7f);
    m.pad.mixInto(send, 0.5f);
    m.drums.mixInto(send, 0.12f);
    m.fx.mixInto(send, 0.5f);
    Track wet = reverb(send, 0.82f, 0.35f, 1.0f);
    Track out(n);
    m.drums.mixInto(out, 0.45f);
    m.bass.mixInto(out, 0.75f);
    m.pad.mixInto(out, 1.0f);
    m.lead.mixInto(out, 1.2f);
    m.arp.mixInto(out, 1.0f);
    m.fx.mixInto(out, 0.5f);
    wet.mixInto(out, 0.9f);
    highpass(out, 25);
    return out;
}

}  // namespace

void master(Track& t, float ceiling, float drive) {
    const size_t n = t.size();
    float peak = 1e-9f;
    for (size_t i = 0; i < n; ++i) peak = std::max(peak, std::max(std::fabs(t.l[i]), std::fabs(t.r[i])));
    const float pre = drive / peak;
    // Look-ahead limiter: the gain each sample needs, its minimum over a window
    // around it, averaged over half that window (so it never exceeds what is
    // needed), then released slowly. No waveshaping, so no distortion.
    const size_t look = static_cast<size_t>(0.004 * kRate);
    std::vector<float> need(n);
    for (size_t i = 0; i < n; ++i) {
        float a = std::max(std::fabs(t.l[i]), std::fabs(t.r[i])) * pre;
        need[i] = a > ceiling ? ceiling / a : 1.0f;
    }
    std::vector<float> low(n);
    std::vector<size_t> q(n + 1);
    size_t head = 0, tail = 0;
    for (size_t i = 0; i < n + look; ++i) {
        if (i < n) {
            while (tail > head && need[q[tail - 1]] >= need[i]) --tail;
            q[tail++] = i;
        }
        if (i >= look) {
            size_t c = i - look;
            while (q[head] + 2 * look < c + look) ++head;  // drop entries before c - look
            low[c] = need[q[head]];
        }
    }
    std::vector<double> prefix(n + 1, 0.0);
    for (size_t i = 0; i < n; ++i) prefix[i + 1] = prefix[i] + low[i];
    const size_t half = look / 2;
    const float release = 1.0f / (0.12f * kRate);
    std::vector<float> gain(n);
    float held = 1.0f;
    for (size_t i = 0; i < n; ++i) {
        size_t a = i > half ? i - half : 0, b = std::min(n, i + half + 1);
        float g = static_cast<float>((prefix[b] - prefix[a]) / static_cast<double>(b - a));
        held = g < held ? g : held + (g - held) * release;
        gain[i] = held;
    }
    for (size_t i = 0; i < n; ++i) {
        t.l[i] = std::max(-ceiling, std::min(ceiling, t.l[i] * pre * gain[i]));
        t.r[i] = std::max(-ceiling, std::min(ceiling, t.r[i] * pre * gain[i]));
    }
}

Track renderSong() {
    size_t n = static_cast<size_t>(kSongSeconds * kRate);
    Mix m(n);
    intro(m);
    flight(m);
    fountains(m);
    returnTheme(m);
    acidSection(m);
    finale(m);
    outro(m);
    Track out = combine(m, n, static_cast<float>(kSections[kFlight].beatLength() * 0.75));
    // The titles stay calm; the build from the tunnel on brings the full level at the drop.
    for (size_t i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / kRate;
        float g = t < 9.6 ? 0.5f : (t < 17.5 ? static_cast<float>(0.5 + 0.5 * (t - 9.6) / 7.9) : 1.0f);
        out.l[i] *= g;
        out.r[i] *= g;
    }
    fadeOut(out, 150.0, kSongSeconds - 0.2);
    master(out, 0.84f, 2.0f);
    return out;
}

Track renderLoop() {
    // Eight bars at 120 BPM, rendered circularly so every tail wraps to the start.
    const double beat = 0.5;
    const size_t n = static_cast<size_t>(32 * beat * kRate);
    Track pads(n), plucks(n), bells(n), low(n);
    for (Track* t : {&pads, &plucks, &bells, &low}) t->wrap = true;
    const Chord* chords[4] = {&kAm, &kF, &kC, &kG};
    for (int i = 0; i < 4; ++i) {
        const Chord& c = *chords[i];
        double t0 = i * 8 * beat;
        pad(pads, t0, static_cast<float>(8 * beat - 0.3), c.pad, 0.6f, 0.3f);
        bass(low, t0, static_cast<float>(8 * beat - 0.2), c.root, 0.35f, 0.1f);
        for (int k = 0; k < 16; ++k)
            pluck(plucks, t0 + k * beat * 0.5, c.arp[(k * 3) % 4] - (k % 8 < 4 ? 12 : 0), 0.12f, k % 2 ? 0.7f : -0.7f);
        bell(bells, t0 + 0.02, c.arp[3] + 12, 0.3f, 0.3f, 2.2f);
        bell(bells, t0 + 3 * beat, c.arp[1] + 12, 0.2f, -0.3f, 1.8f);
        bell(bells, t0 + 6 * beat, c.arp[2] + 12, 0.18f, 0.1f, 1.8f);
    }
    // Effects with memory run over three copies; the last copy is the steady loop.
    auto tripled = [&](const Track& t) {
        Track x(3 * n);
        for (size_t c = 0; c < 3; ++c)
            for (size_t i = 0; i < n; ++i) {
                x.l[c * n + i] = t.l[i];
                x.r[c * n + i] = t.r[i];
            }
        return x;
    };
    Track p3 = tripled(plucks), b3 = tripled(bells), pad3 = tripled(pads), low3 = tripled(low);
    pingPong(p3, static_cast<float>(beat * 0.75), 0.45f, 0.4f);
    Track send(3 * n);
    p3.mixInto(send, 0.8f);
    b3.mixInto(send, 0.8f);
    pad3.mixInto(send, 0.6f);
    Track wet = reverb(send, 0.9f, 0.3f, 1.0f);
    Track sum(3 * n);
    pad3.mixInto(sum, 0.8f);
    p3.mixInto(sum, 0.7f);
    b3.mixInto(sum, 0.7f);
    low3.mixInto(sum, 0.6f);
    wet.mixInto(sum, 1.0f);
    Track out(n);
    for (size_t i = 0; i < n; ++i) {
        out.l[i] = sum.l[2 * n + i];
        out.r[i] = sum.r[2 * n + i];
    }
    master(out, 0.7f, 1.2f);
    return out;
}
