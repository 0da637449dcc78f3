// Textures referenced by the three scenes: stone, moss, metal, marble, water,
// sky, glass with opacity maps and an animated neon image list.
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "Generators.h"
#include "Image.h"
#include "Noise.h"
#include "Text.h"

namespace {

constexpr float kTwoPi = 6.2831853f;

using Shader = std::function<Rgba(float u, float v)>;

Image paint(int w, int h, const Shader& s) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.at(x, y) = s((x + 0.5f) / w, (y + 0.5f) / h);
    img.clamp();
    return img;
}

void jpg(Output& out, const std::string& name, const Image& img) { out.wrote(name, img.saveJpg(out.path(name))); }

Rgba grey(float v) { return {v, v, v, 1}; }

Rgba rock(float u, float v) {
    float n = fbm(u * 8, v * 8, 5, 21, 8);
    float strata = 0.5f + 0.5f * std::sin((v * 22 + n * 3.0f) * kTwoPi / 4);
    float f1, f2;
    cellular(u * 6, v * 6, 22, 6, f1, f2);
    float crack = smoothstep(0.0f, 0.06f, f2 - f1);
    float t = (0.35f + 0.35f * n + 0.15f * strata) * (0.55f + 0.45f * crack);
    return {t * 0.95f, t * 0.85f, t * 0.8f, 1};
}

Rgba moss(float u, float v) {
    float n = fbm(u * 10, v * 10, 5, 31, 10);
    float blades = fbm(u * 64, v * 64, 2, 32, 64);
    float glint = hashUnit(static_cast<int>(u * 256), static_cast<int>(v * 256), 33) > 0.985f ? 0.6f : 0.0f;
    float t = 0.3f + 0.5f * n + 0.2f * blades;
    return {t * 0.25f + glint, t * 0.75f + glint, t * 0.6f + glint, 1};
}

Rgba panel(float u, float v) {
    float px = std::fmod(u * 4, 1.0f), py = std::fmod(v * 4, 1.0f);
    float gap = smoothstep(0.0f, 0.02f, std::min(std::min(px, 1 - px), std::min(py, 1 - py)));
    float brush = fbm(u * 4, v * 90, 3, 41, 4) * 0.2f;
    int id = static_cast<int>(u * 4) + 4 * static_cast<int>(v * 4);
    float tone = 0.32f + 0.12f * hashUnit(id, 0, 42) + brush;
    float stripe = (id % 5 == 0 && py < 0.18f) ? (std::fmod((px + py) * 8, 1.0f) < 0.5f ? 1.0f : 0.0f) : -1.0f;
    Rgba c = grey(tone * gap);
    c.b += 0.05f;
    if (stripe >= 0) c = stripe > 0 ? Rgba{0.9f * gap, 0.55f * gap, 0.1f * gap, 1} : grey(0.08f);
    float rivet = 0;
    for (float cx : {0.06f, 0.94f})
        for (float cy : {0.06f, 0.94f})
            rivet = std::max(rivet, 1 - smoothstep(0.01f, 0.025f, std::hypot(px - cx, py - cy)));
    return c + grey(rivet * 0.4f);
}

Rgba marble(float u, float v) {
    float n = fbm(u * 4, v * 4, 6, 51, 4);
    float veins = std::pow(std::fabs(std::sin((u * 3 + v * 2 + n * 4.0f) * kTwoPi / 2)), 0.25f);
    float t = 0.55f + 0.4f * veins;
    return {t * 0.98f, t * 0.92f, t * 0.95f, 1};
}

Rgba tiles(float u, float v) {
    float x = u * 8, y = v * 8;
    int ix = static_cast<int>(x), iy = static_cast<int>(y);
    float fx = x - ix, fy = y - iy;
    float grout = smoothstep(0.0f, 0.05f, std::min(std::min(fx, 1 - fx), std::min(fy, 1 - fy)));
    float d = std::fabs(fx - 0.5f) + std::fabs(fy - 0.5f);
    bool inner = d < 0.35f;
    Rgba a = ((ix + iy) & 1) ? Rgba{0.75f, 0.68f, 0.6f, 1} : Rgba{0.45f, 0.2f, 0.35f, 1};
    Rgba b{0.85f, 0.75f, 0.4f, 1};
    Rgba c = inner ? b : a;
    float wear = 0.8f + 0.2f * fbm(u * 16, v * 16, 3, 52, 16);
    return c * (grout * wear) + Rgba{0.1f, 0.08f, 0.08f, 0} * (1 - grout);
}

Rgba water(float u, float v) {
    float n = fbm(u * 6, v * 6, 4, 61, 6);
    float ripple = 0.5f + 0.5f * std::sin((n * 5 + u * 3) * kTwoPi);
    float t = 0.4f + 0.6f * ripple * ripple;
    return {0.2f + 0.5f * t, 0.5f + 0.4f * t, 0.8f + 0.2f * t, 1};
}

Rgba nebula(float u, float v) {
    float n = fbm(u * 6, v * 3, 6, 71, 6);
    float m = fbm(u * 3 + 10, v * 2, 5, 72, 3);
    float band = std::exp(-std::pow((v - 0.45f) / 0.22f, 2.0f));
    float star = hashUnit(static_cast<int>(u * 512), static_cast<int>(v * 256), 73) > 0.993f ? 1.0f : 0.0f;
    Rgba c = Rgba{0.55f, 0.15f, 0.6f, 1} * (n * band * 1.2f) + Rgba{0.1f, 0.35f, 0.8f, 1} * (m * m * band);
    c = c + grey(star * (1 - band * 0.5f));
    c.a = 1;
    return c;
}

Rgba gold(float u, float v) {
    float n = fbm(u * 8, v * 8, 4, 81, 8);
    float sheen = 0.5f + 0.5f * std::sin((u + v) * kTwoPi * 3 + n * 4);
    float t = 0.45f + 0.45f * sheen;
    return {t, t * 0.75f, t * 0.3f, 1};
}

Rgba circuit(float u, float v) {
    float x = u * 16, y = v * 16;
    int ix = static_cast<int>(x), iy = static_cast<int>(y);
    float fx = x - ix, fy = y - iy;
    uint32_t h = hash3(ix, iy, 91);
    bool horiz = (h & 1) != 0, pad = (h & 6) == 0;
    float line = horiz ? std::fabs(fy - 0.5f) : std::fabs(fx - 0.5f);
    float trace = 1 - smoothstep(0.05f, 0.1f, line);
    float dot = pad ? 1 - smoothstep(0.12f, 0.2f, std::hypot(fx - 0.5f, fy - 0.5f)) : 0.0f;
    float edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v));
    float rim = 1 - smoothstep(0.01f, 0.04f, edge);
    float t = std::max(std::max(trace, dot), rim);
    return Rgba{0.02f, 0.05f, 0.1f, 1} + Rgba{0.2f, 0.9f, 1.0f, 0} * t;
}

Rgba checker(float u, float v) {
    int cx = static_cast<int>(u * 8), cy = static_cast<int>(v * 8);
    bool on = ((cx + cy) & 1) != 0;
    float r = std::hypot(u - 0.5f, v - 0.5f);
    Rgba a = on ? Rgba{0.95f, 0.2f, 0.8f, 1} : Rgba{0.1f, 0.05f, 0.3f, 1};
    float ring = 0.5f + 0.5f * std::cos(r * 40);
    return a * (0.75f + 0.25f * ring);
}

// Wing: smoky glass panes between dark veins; the opacity map keeps veins
// solid and panes faint.
float wingInk(float u, float v) {
    float th = std::atan2(v - 0.0f, u - 0.0f);
    float r = std::hypot(u, v);
    float vein = std::pow(std::fabs(std::cos(th * 9)), 80.0f) * smoothstep(0.05f, 0.15f, r);
    float cross = std::pow(std::fabs(std::sin(r * 14)), 80.0f) * smoothstep(0.2f, 0.3f, r);
    float border = smoothstep(0.05f, 0.0f, std::min(std::min(u, 1 - u), std::min(v, 1 - v)) - 0.02f);
    return clamp01(vein + cross * 0.7f + border);
}

Rgba wingColour(float u, float v) {
    float ink = wingInk(u, v);
    float r = std::hypot(u, v);
    Rgba glass{0.55f + 0.3f * u, 0.75f, 0.95f - 0.2f * v, 1};
    Rgba tip{1.0f, 0.6f, 0.25f, 1};
    Rgba c = mix(glass, tip, smoothstep(0.9f, 1.2f, r));
    return mix(c, Rgba{0.1f, 0.05f, 0.05f, 1}, ink);
}

Rgba wingOpacity(float u, float v) {
    float ink = wingInk(u, v);
    float r = std::hypot(u, v);
    return grey(clamp01(0.3f + 0.7f * ink + 0.3f * smoothstep(0.9f, 1.2f, r)));
}

Rgba glassColour(float u, float v) {
    float px = std::fmod(u * 2, 1.0f), py = std::fmod(v * 4, 1.0f);
    float frame = 1 - smoothstep(0.03f, 0.06f, std::min(std::min(px, 1 - px), std::min(py, 1 - py)));
    float streak = 0.15f * std::pow(std::fabs(std::sin((u + v * 0.5f) * kTwoPi * 2)), 8.0f);
    Rgba g{0.55f + streak, 0.8f + streak, 1.0f, 1};
    return mix(g, Rgba{0.25f, 0.25f, 0.3f, 1}, frame);
}

Rgba glassOpacity(float u, float v) {
    float px = std::fmod(u * 2, 1.0f), py = std::fmod(v * 4, 1.0f);
    float frame = 1 - smoothstep(0.03f, 0.06f, std::min(std::min(px, 1 - px), std::min(py, 1 - py)));
    return grey(0.3f + 0.7f * frame);
}

// One frame of the neon image list: a grid whose glow pulses and a wave that runs across.
Rgba neon(float u, float v, float phase) {
    float gx = std::fabs(std::fmod(u * 4, 1.0f) - 0.5f), gy = std::fabs(std::fmod(v * 4, 1.0f) - 0.5f);
    float line = std::exp(-std::pow((0.5f - std::max(gx, gy)) / 0.03f, 2.0f));
    float halo = std::exp(-std::pow((0.5f - std::max(gx, gy)) / 0.12f, 2.0f)) * 0.4f;
    float wave = 0.5f + 0.5f * std::cos(kTwoPi * (u + v - phase));
    float pulse = 0.6f + 0.4f * wave;
    Rgba a{1.0f, 0.2f, 0.8f, 1}, b{0.2f, 0.8f, 1.0f, 1};
    Rgba c = mix(a, b, wave) * ((line + halo) * pulse);
    c = c + Rgba{0.03f, 0.0f, 0.06f, 0};
    c.a = 1;
    return c;
}

constexpr int kNeonFrames = 8;

void neonList(Output& out) {
    std::string list;
    for (int f = 0; f < kNeonFrames; ++f) {
        char name[32];
        std::snprintf(name, sizeof name, "neon%02d.jpg", f + 1);
        float phase = static_cast<float>(f) / kNeonFrames;
        jpg(out, name, paint(128, 128, [&](float u, float v) { return neon(u, v, phase); }));
        list += name;
        list += "\r\n";
    }
    std::string name = "neon.ifl";
    FILE* f = std::fopen(out.path(name).c_str(), "wb");
    bool ok = f && std::fwrite(list.data(), 1, list.size(), f) == list.size();
    if (f) ok = std::fclose(f) == 0 && ok;
    out.wrote(name, ok);
}

// A sign for the second scene's plaza with the demo's name cut into it.
void signTexture(Output& out, const TextSetter& ts) {
    Mask m(256, 64);
    ts.drawCentred(m, Font::SerifBold, "GLASSWING", 40, 128, 46, 2.0f);
    Mask glow = m.blurred(6);
    Image img = paint(256, 64, [](float u, float v) { return marble(u, v * 0.25f) * 0.5f; });
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            img.at(x, y) = img.at(x, y) + Rgba{1, 0.5f, 0.8f, 0} * glow.at(x, y) + Rgba{1, 1, 1, 0} * m.at(x, y);
    img.clamp();
    jpg(out, "sign.jpg", img);
}

}  // namespace

void generateSceneTextures(Output& out, const TextSetter& text) {
    jpg(out, "rock.jpg", paint(256, 256, rock));
    jpg(out, "moss.jpg", paint(256, 256, moss));
    jpg(out, "panel.jpg", paint(256, 256, panel));
    jpg(out, "marble.jpg", paint(256, 256, marble));
    jpg(out, "tiles.jpg", paint(256, 256, tiles));
    jpg(out, "water.jpg", paint(128, 128, water));
    jpg(out, "nebula.jpg", paint(512, 256, nebula));
    jpg(out, "gold.jpg", paint(128, 128, gold));
    jpg(out, "circuit.jpg", paint(256, 256, circuit));
    jpg(out, "checker.jpg", paint(256, 256, checker));
    jpg(out, "wing.jpg", paint(256, 256, wingColour));
    jpg(out, "winga.jpg", paint(256, 256, wingOpacity));
    jpg(out, "glass.jpg", paint(128, 128, glassColour));
    jpg(out, "glassa.jpg", paint(128, 128, glassOpacity));
    neonList(out);
    signTexture(out, text);
}
