#pragma once
// Deterministic pseudo-random numbers and procedural noise (no libc rand, so
// every build and run yields the same bytes).
#include <cstdint>

class Rng {
public:
    explicit Rng(uint64_t seed) : s_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t next();
    float uniform();  // [0, 1)
    float range(float a, float b) { return a + (b - a) * uniform(); }
    int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }

private:
    uint64_t s_;
};

uint32_t hash3(int x, int y, int z);
float hashUnit(int x, int y, int z);  // [0, 1)

// Value noise on a lattice; period > 0 makes it tile every `period` cells.
float valueNoise(float x, float y, int seed, int period = 0);
// Fractal sum of octaves, result roughly in [0, 1].
float fbm(float x, float y, int octaves, int seed, int period = 0);
// Distance to the nearest and second nearest feature point (cellular noise).
void cellular(float x, float y, int seed, int period, float& f1, float& f2);

float smoothstep(float a, float b, float x);
float clamp01(float x);
