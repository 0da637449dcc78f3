#include "Noise.h"

#include <cmath>

uint64_t Rng::next() {
    s_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = s_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float Rng::uniform() { return static_cast<float>(next() >> 40) / 16777216.0f; }

uint32_t hash3(int x, int y, int z) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^
                 static_cast<uint32_t>(z) * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    return h;
}

float hashUnit(int x, int y, int z) { return static_cast<float>(hash3(x, y, z) >> 8) / 16777216.0f; }

namespace {
int wrapCell(int i, int period) {
    if (period <= 0) return i;
    return ((i % period) + period) % period;
}
float fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }
}  // namespace

float valueNoise(float x, float y, int seed, int period) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    float fx = fade(x - xi), fy = fade(y - yi);
    auto v = [&](int dx, int dy) { return hashUnit(wrapCell(xi + dx, period), wrapCell(yi + dy, period), seed); };
    float a = v(0, 0) + (v(1, 0) - v(0, 0)) * fx;
    float b = v(0, 1) + (v(1, 1) - v(0, 1)) * fx;
    return a + (b - a) * fy;
}

float fbm(float x, float y, int octaves, int seed, int period) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += valueNoise(x, y, seed + o * 131, period) * amp;
        norm += amp;
        x *= 2;
        y *= 2;
        if (period > 0) period *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

void cellular(float x, float y, int seed, int period, float& f1, float& f2) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    f1 = f2 = 1e9f;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int cx = xi + dx, cy = yi + dy;
            int hx = wrapCell(cx, period), hy = wrapCell(cy, period);
            float px = cx + hashUnit(hx, hy, seed), py = cy + hashUnit(hx, hy, seed + 7);
            float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < f1) {
                f2 = f1;
                f1 = d;
            } else if (d < f2) {
                f2 = d;
            }
        }
}

float smoothstep(float a, float b, float x) {
    float t = clamp01((x - a) / (b - a));
    return t * t * (3 - 2 * t);
}

float clamp01(float x) { return x < 0 ? 0 : (x > 1 ? 1 : x); }
