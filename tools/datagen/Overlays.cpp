// Titles, lyrics, credits, the question mark, the tunnel texture, sprites,
// the closing picture and the particle glow.
#include <cmath>
#include <string>
#include <vector>

#include "Generators.h"
#include "Image.h"
#include "Noise.h"
#include "Text.h"

namespace {

constexpr float kPi = 3.14159265f;

struct TextLine {
    Font font;
    std::string text;
    int size;
    float y;  // baseline
    float tracking;
};

Mask setLines(const TextSetter& ts, int w, int h, const std::vector<TextLine>& lines) {
    Mask m(w, h);
    for (const TextLine& l : lines) ts.drawCentred(m, l.font, l.text, l.size, w / 2.0f, l.y, l.tracking);
    return m;
}

// Lettering for additive drawing on black: a bright core, a tight halo and a wide
// coloured glow, plus a faint horizontal lens streak through the middle.
Image glowLettering(const Mask& m, Rgba top, Rgba bottom, Rgba glow, float streak) {
    int w = m.width(), h = m.height();
    Mask tight = m.blurred(4), wide = m.blurred(18);
    Image img(w, h);
    for (int y = 0; y < h; ++y) {
        Rgba core = mix(top, bottom, static_cast<float>(y) / (h - 1));
        float sy = (y - h * 0.5f) / (h * 0.5f);
        for (int x = 0; x < w; ++x) {
            float sx = (x - w * 0.5f) / (w * 0.5f);
            float s = streak * std::exp(-sy * sy * 180.0f) * (1.0f - sx * sx) * 0.35f;
            Rgba c = core * m.at(x, y) + Rgba{1, 1, 1, 0} * (tight.at(x, y) * 0.35f) + glow * (wide.at(x, y) * 0.9f) +
                     glow * s;
            c.a = 1;
            img.at(x, y) = c;
        }
    }
    img.clamp();
    return img;
}

void saveJpg(Output& out, const Image& img, const std::string& name) { out.wrote(name, img.saveJpg(out.path(name))); }
void saveTga(Output& out, const Image& img, const std::string& name, bool alpha) {
    out.wrote(name, img.saveTga(out.path(name), alpha));
}

const Rgba kIce{0.85f, 0.95f, 1.0f, 1};
const Rgba kWhite{1, 1, 1, 1};
const Rgba kViolet{0.45f, 0.2f, 0.9f, 1};
const Rgba kCyan{0.1f, 0.55f, 1.0f, 1};
const Rgba kAmber{1.0f, 0.55f, 0.15f, 1};
const Rgba kRose{1.0f, 0.3f, 0.6f, 1};

void titles(Output& out, const TextSetter& ts) {
    struct Title {
        std::string a, b;
        Rgba glow;
    };
    const Title t[5] = {
        {"K O R V E X 3 D", "presents", kCyan},
        {"a real-time journey", "of one hundred and sixty-one seconds", kViolet},
        {"every pixel", "grown from source code", kRose},
        {"every note", "synthesised by our own code", kAmber},
        {"through glass", "and light", kCyan},
    };
    for (int i = 0; i < 5; ++i) {
        Mask m = setLines(ts, 512, 128,
                          {{Font::SansBold, t[i].a, i == 1 ? 38 : 44, 66, i == 0 ? 2.0f : 1.0f},
                           {Font::Serif, t[i].b, 20, 102, 1.0f}});
        Image img = glowLettering(m, kWhite, kIce, t[i].glow, 1.0f);
        saveJpg(out, img, "title" + std::to_string(i + 1) + ".jpg");
    }
    // The demo's name over the tunnel: chrome gradient letters with a cold glow.
    Mask name = setLines(ts, 512, 256, {{Font::SerifBold, "GLASSWING", 62, 146, 2.0f}});
    Mask sub = setLines(ts, 512, 256, {{Font::Sans, "a  Korvex3D  demo", 22, 200, 4.0f}});
    Image big = glowLettering(name, Rgba{1, 1, 1, 1}, Rgba{0.55f, 0.75f, 1.0f, 1}, kViolet, 1.6f);
    Image small = glowLettering(sub, kIce, kIce, kCyan, 0.0f);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 512; ++x) {
            Rgba c = big.at(x, y) + small.at(x, y);
            // chrome band: a dark horizon line across the letters
            float band = std::exp(-std::pow((y - 123.0f) / 4.0f, 2.0f)) * name.at(x, y) * 0.45f;
            c = c + Rgba{-band, -band * 0.7f, -band * 0.2f, 0};
            big.at(x, y) = c;
        }
    big.clamp();
    saveJpg(out, big, "title6.jpg");
}

// Opaque subtitle strip (alpha-blended at full opacity): dark glass bar, light text.
Image lyricBar(const TextSetter& ts, const std::string& text) {
    Mask m = setLines(ts, 512, 32, {{Font::Sans, text, 18, 22, 1.0f}});
    Mask halo = m.blurred(3);
    Image img(512, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 512; ++x) {
            float edge = std::min(x, 511 - x) / 60.0f;
            float v = 0.06f + 0.05f * std::exp(-std::pow((y - 16) / 10.0f, 2.0f));
            Rgba bg{v * 0.8f, v * 0.7f, v * 1.4f, 1};
            bg = bg * std::min(1.0f, edge);
            float rim = (y == 0 || y == 31) ? 0.35f * std::min(1.0f, edge) : 0.0f;
            Rgba c = bg + Rgba{rim * 0.6f, rim * 0.5f, rim, 0} + Rgba{0.3f, 0.2f, 0.6f, 0} * halo.at(x, y) +
                     Rgba{1, 0.97f, 0.92f, 0} * m.at(x, y);
            c.a = 1;
            img.at(x, y) = c;
        }
    img.clamp();
    return img;
}

void lyrics(Output& out, const TextSetter& ts) {
    Mask m = setLines(ts, 256, 64, {{Font::SerifBold, "spread your wings", 21, 40, 1.0f}});
    saveJpg(out, glowLettering(m, kWhite, kIce, kRose, 0.6f), "lyric1.jpg");
    const char* lines[4] = {"fly through the glass, where the light bends", "every shard a window, every window a sky",
                            "shatter the night and hold the colours", "see you at the next party"};
    for (int i = 0; i < 4; ++i) saveJpg(out, lyricBar(ts, lines[i]), "lyric" + std::to_string(i + 2) + ".jpg");
}

void credits(Output& out, const TextSetter& ts) {
    const int w = 512, h = 2048;
    struct Entry {
        Font font;
        int size;
        std::string text;
        float gap;  // space above the line
        int kind;   // 0 heading, 1 text, 2 title
    };
    const std::vector<Entry> e = {
        {Font::SerifBold, 64, "GLASSWING", 260, 2},
        {Font::Sans, 20, "a real-time demo made with Korvex3D", 50, 1},
        {Font::SansBold, 22, "ENGINE", 170, 0},
        {Font::Sans, 17, "Korvex3D  -  C++17, OpenGL 1.1, GLU", 40, 1},
        {Font::Sans, 17, "3DS scenes, keyframes, octree, static lighting", 30, 1},
        {Font::SansBold, 22, "DEMO", 110, 0},
        {Font::Sans, 17, "timeline, tunnel, particles and sprites", 40, 1},
        {Font::Sans, 17, "written by the Korvex3D team", 30, 1},
        {Font::SansBold, 22, "MUSIC", 110, 0},
        {Font::Sans, 17, "composed in code, played by our own synthesiser", 40, 1},
        {Font::Sans, 17, "oscillators, filters, noise drums and a reverb", 30, 1},
        {Font::SansBold, 22, "GRAPHICS", 110, 0},
        {Font::Sans, 17, "every scene, texture and letter generated by code", 40, 1},
        {Font::Sans, 17, "no pixel drawn by hand", 30, 1},
        {Font::SansBold, 22, "THANKS TO", 130, 0},
        {Font::Sans, 17, "SDL2 and SDL2_mixer", 40, 1},
        {Font::Sans, 17, "libjpeg-turbo", 30, 1},
        {Font::Sans, 17, "FreeType and the DejaVu fonts", 30, 1},
        {Font::Sans, 17, "Mesa and the OpenGL utility library", 30, 1},
        {Font::Sans, 17, "LAME and FFmpeg", 30, 1},
        {Font::Sans, 17, "GoogleTest, CMake, GCC", 30, 1},
        {Font::Sans, 17, "and Debian", 30, 1},
        {Font::SerifBold, 30, "thank you for watching", 170, 2},
    };
    Mask heads(w, h), body(w, h), big(w, h);
    float y = 0;
    for (const Entry& en : e) {
        y += en.gap * 1.15f;
        Mask& target = en.kind == 0 ? heads : (en.kind == 1 ? body : big);
        ts.drawCentred(target, en.font, en.text, en.size, w / 2.0f, y, en.kind == 0 ? 6.0f : 0.5f);
    }
    Mask headGlow = heads.blurred(10), bigGlow = big.blurred(16), bodyGlow = body.blurred(3);
    Image img(w, h);
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) {
            Rgba c = kCyan * (heads.at(px, py) * 0.9f) + kWhite * (heads.at(px, py) * 0.4f) +
                     kViolet * headGlow.at(px, py) + Rgba{0.85f, 0.88f, 0.95f, 0} * body.at(px, py) +
                     kViolet * (bodyGlow.at(px, py) * 0.3f) + kWhite * big.at(px, py) +
                     kRose * (bigGlow.at(px, py) * 0.9f);
            c.a = 1;
            img.at(px, py) = c;
        }
    img.clamp();
    saveJpg(out, img, "credits.jpg");
}

void questionMark(Output& out, const TextSetter& ts) {
    Mask m(256, 512);
    ts.drawCentred(m, Font::SerifBold, "?", 420, 128, 400);
    Mask glow = m.blurred(20);
    Image img(256, 512, Rgba{0, 0, 0, 0});
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 256; ++x) {
            float a = std::min(1.0f, m.at(x, y) + glow.at(x, y) * 0.8f);
            float t = y / 511.0f;
            Rgba c = mix(Rgba{1, 1, 1, 1}, Rgba{0.6f, 0.8f, 1.0f, 1}, t);
            c = mix(Rgba{0.5f, 0.3f, 1.0f, 1}, c, m.at(x, y));
            c.a = a;
            img.at(x, y) = c;
        }
    img.clamp();
    saveTga(out, img, "qmark.tga", true);
}

// Riveted metal plates; tiles every 128 pixels so that the tunnel's wrapping
// depth and angle coordinates meet without a seam.
void tunnelMetal(Output& out) {
    const int n = 256, tile = 128;
    Image img(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int tx = x % tile, ty = y % tile;
            float fx = tx / static_cast<float>(tile), fy = ty / static_cast<float>(tile);
            float brushed = fbm(fx * 4, fy * 64, 3, 11, 4) * 0.25f;
            float grain = fbm(fx * 16, fy * 16, 4, 12, 16);
            int px = tx % 64, py = ty % 32;  // plate grid: 2 x 4 plates per tile
            float gx = std::min(px, 63 - px), gy = std::min(py, 31 - py);
            float groove = smoothstep(0.0f, 2.5f, std::min(gx, gy));
            float bevel = (gx < 4 || gy < 4) ? 0.12f * (px < 4 || py < 4 ? 1.0f : -1.0f) : 0.0f;
            float rivet = 0;
            for (int cy : {5, 26})
                for (int cx : {5, 58}) {
                    float d = std::hypot(static_cast<float>(px - cx), static_cast<float>(py - cy));
                    rivet = std::max(rivet, 1.0f - smoothstep(1.0f, 2.6f, d));
                }
            int plate = (tx / 64) + 2 * (ty / 32);
            float plateTone = 0.75f + 0.25f * hashUnit(plate, 1, 77);
            float dirt = smoothstep(0.55f, 0.8f, fbm(fx * 6, fy * 6, 4, 13, 6)) * 0.3f;
            float v = ((0.3f + brushed + grain * 0.2f) * plateTone + bevel - dirt) * groove + rivet * 0.45f;
            float glowLine = std::exp(-std::pow((py - 16.0f) / 1.2f, 2.0f)) * (px > 10 && px < 54 ? 1.0f : 0.0f);
            Rgba c{v * 0.8f + glowLine * 0.2f, v * 0.85f + glowLine * 0.6f, v + glowLine, 1};
            c.a = clamp01(0.35f + v * 0.7f + glowLine);
            img.at(x, y) = c;
        }
    img.clamp();
    saveTga(out, img, "metal.tga", true);
}

Image spriteCanvas() { return Image(128, 128, Rgba{0, 0, 0, 0}); }

Rgba hue(float h) {
    h = h - std::floor(h);
    float r = clamp01(std::fabs(h * 6 - 3) - 1), g = clamp01(2 - std::fabs(h * 6 - 2)),
          b = clamp01(2 - std::fabs(h * 6 - 4));
    return {r, g, b, 1};
}

// Premultiplied-looking sprites: black where transparent, since they are added.
void setSprite(Image& img, int x, int y, Rgba c, float a) {
    a = clamp01(a);
    img.at(x, y) = Rgba{c.r * a, c.g * a, c.b * a, a};
}

// The sprites are added over a bright magenta scene, 64 at a time and often
// overlapping: thin, dim line work with little green keeps the sums short of white
// and lets the scene show through.
constexpr float kSpritePeak = 0.42f;

// A soft line of the given half-width around the contour where f = 0.
float line(float f, float halfWidth) { return std::exp(-(f * f) / (halfWidth * halfWidth)); }

void trips(Output& out) {
    for (int k = 0; k < 4; ++k) {
        Image img = spriteCanvas();
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                float dx = (x - 63.5f) / 60.0f, dy = (y - 63.5f) / 60.0f;
                float r = std::sqrt(dx * dx + dy * dy), th = std::atan2(dy, dx);
                float fade = 1.0f - smoothstep(0.8f, 1.0f, r);
                Rgba c;
                float a = 0;
                switch (k) {
                    case 0: {  // rainbow spiral: three thin arms
                        float s = std::sin(th * 3 + r * 14.0f);
                        a = smoothstep(0.8f, 0.97f, s) * smoothstep(0.05f, 0.2f, r) * fade;
                        c = hue(r * 0.8f + th / (2 * kPi));
                        break;
                    }
                    case 1: {  // eight-petal flower, outlined
                        float petal = 0.55f + 0.4f * std::cos(th * 8);
                        a = std::max(line(r - petal, 0.035f), line(r - 0.12f, 0.03f)) * fade;
                        c = mix(Rgba{1, 0.75f, 0.2f, 1}, Rgba{1, 0.2f, 0.7f, 1}, smoothstep(0.15f, 0.5f, r));
                        break;
                    }
                    case 2: {  // eye: lid and iris outlines, a dark pupil
                        float lidEdge = std::fabs(dy) - 0.55f * std::sqrt(std::max(0.0f, 1 - dx * dx));
                        a = std::max(line(lidEdge, 0.035f), line(r - 0.32f, 0.03f)) * fade;
                        c = hue(0.5f + r);
                        break;
                    }
                    default: {  // five-point star outline with faint rays
                        float star = 0.35f + 0.3f * std::pow(std::fabs(std::cos(th * 2.5f)), 3.0f);
                        float ray = std::pow(std::fabs(std::cos(th * 10)), 40.0f) * (1 - r) * 0.5f;
                        a = std::max(line(r - star, 0.035f), ray) * fade;
                        c = mix(Rgba{0.3f, 1, 0.6f, 1}, Rgba{0.2f, 0.4f, 1, 1}, r);
                        break;
                    }
                }
                c.g *= 0.6f;
                setSprite(img, x, y, c * kSpritePeak, a);
            }
        saveTga(out, img, "trip0" + std::to_string(k + 1) + ".tga", true);
    }
}

void bubbles(Output& out) {
    const Rgba tint[3] = {{0.4f, 0.6f, 1, 1}, {1, 0.35f, 0.85f, 1}, {1, 0.6f, 0.4f, 1}};
    for (int k = 0; k < 3; ++k) {
        Image img = spriteCanvas();
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) {
                float dx = (x - 63.5f) / 58.0f, dy = (y - 63.5f) / 58.0f;
                float r = std::sqrt(dx * dx + dy * dy);
                float rim = line(r - 0.93f, 0.035f);
                float body = r < 1 ? 0.1f * std::pow(r, 6.0f) : 0.0f;
                float hl = std::exp(-(std::pow((dx + 0.38f) / 0.12f, 2.0f) + std::pow((dy + 0.42f) / 0.07f, 2.0f)));
                float swirl = r < 0.9f ? 0.12f * line(std::sin(std::atan2(dy, dx) * 3 + r * 9 + k), 0.15f) : 0;
                Rgba c = tint[k] * (rim + body + swirl) + Rgba{0.8f, 0.6f, 0.8f, 0} * (hl * 0.7f);
                float a = clamp01(rim + body + swirl + hl);
                setSprite(img, x, y,
                          Rgba{clamp01(c.r / std::max(a, 0.01f)), clamp01(c.g / std::max(a, 0.01f)),
                               clamp01(c.b / std::max(a, 0.01f)), 1} *
                              kSpritePeak,
                          a);
            }
        saveTga(out, img, "kupla0" + std::to_string(k + 1) + ".tga", true);
    }
}

void particleGlow(Output& out) {
    Image img(64, 64, Rgba{0, 0, 0, 0});
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float dx = (x - 31.5f) / 32.0f, dy = (y - 31.5f) / 32.0f;
            float r2 = dx * dx + dy * dy;
            float a = std::exp(-r2 * 5.0f) * (1.0f - smoothstep(0.8f, 1.0f, std::sqrt(r2)));
            float core = std::exp(-r2 * 30.0f);
            img.at(x, y) = Rgba{clamp01(a + core), clamp01(a * 0.95f + core), clamp01(a * 0.9f + core), clamp01(a)};
        }
    saveTga(out, img, "particle.tga", true);
}

// The closing picture: a glasswing butterfly, drawn in 640 x 480 screen space and
// stored in a 512 x 512 image (the demo stretches it back to the screen).
struct Wing {
    float cx, cy, rx, ry, tilt;
    float rootX, rootY;
    bool fore;
};

float wingField(const Wing& w, float x, float y, float& u, float& v) {
    float c = std::cos(w.tilt), s = std::sin(w.tilt);
    float dx = x - w.cx, dy = y - w.cy;
    u = (dx * c + dy * s) / w.rx;
    v = (-dx * s + dy * c) / w.ry;
    return std::sqrt(u * u + v * v);
}

void picture(Output& out, const TextSetter& ts) {
    const int n = 512;
    Image pic(n, n), mask(n, n);
    Mask word(640, 480);
    ts.drawCentred(word, Font::SerifBold, "glasswing", 54, 320, 440, 4.0f);
    Mask wordGlow = word.blurred(12);
    const Wing wings[4] = {{215, 175, 150, 80, -0.45f, 312, 215, true},
                           {425, 175, 150, 80, 0.45f, 328, 215, true},
                           {262, 300, 80, 62, 0.7f, 314, 250, false},
                           {378, 300, 80, 62, -0.7f, 326, 250, false}};
    for (int py = 0; py < n; ++py)
        for (int px = 0; px < n; ++px) {
            float x = (px + 0.5f) * 640.0f / n, y = (py + 0.5f) * 480.0f / n;
            float star = hashUnit(px, py, 99) > 0.9975f ? hashUnit(px, py, 98) : 0.0f;
            Rgba c{0.02f + star, 0.01f + star, 0.05f + star, 1};
            float m = 0.0f;
            for (const Wing& w : wings) {
                float u, v;
                float r = wingField(w, x, y, u, v);
                if (r > 1.0f) continue;
                float border = smoothstep(0.8f, 0.92f, r);
                float rx = x - w.rootX, ry = y - w.rootY;
                float phi = std::atan2(ry, std::fabs(rx));
                float dist = std::sqrt(rx * rx + ry * ry);
                float vein = std::pow(std::fabs(std::cos(phi * 5.0f)), 90.0f) * smoothstep(10.0f, 30.0f, dist);
                float cross = std::pow(std::fabs(std::sin(dist * 0.05f + 0.3f * std::sin(phi * 3))), 120.0f) *
                              smoothstep(40.0f, 60.0f, dist);
                float ink = clamp01(border + vein + cross * 0.8f);
                float spots = w.fore ? smoothstep(0.6f, 0.7f, r) * (1 - smoothstep(0.76f, 0.8f, r)) *
                                           smoothstep(0.3f, 0.6f, std::fabs(u))
                                     : 0.0f;
                float tip = spots * (std::pow(std::fabs(std::sin(phi * 14.0f)), 2.0f) > 0.3f ? 1.0f : 0.0f);
                float pane = 1.0f - ink;
                Rgba glass = hue(0.5f + 0.3f * u + 0.15f * v) * (0.12f + 0.25f * r * r) + Rgba{0.05f, 0.05f, 0.08f, 0};
                Rgba edge{0.12f, 0.05f, 0.03f, 1};
                Rgba col = mix(glass, edge, ink);
                col = mix(col, Rgba{1, 0.95f, 0.9f, 1}, tip);
                float edgeFade = 1.0f - smoothstep(0.97f, 1.0f, r);
                c = mix(c, col, edgeFade);
                m = std::max(m, edgeFade * (0.22f * pane + ink + tip));
            }
            // body
            float bx = (x - 320) / 12.0f, by = (y - 250) / 110.0f;
            float body = 1.0f - smoothstep(0.9f, 1.0f, std::sqrt(bx * bx + by * by));
            float head = 1.0f - smoothstep(12.0f, 14.0f, std::hypot(x - 320, y - 135));
            float bodyAll = std::max(body, head);
            c = mix(c, Rgba{0.1f, 0.07f, 0.06f, 1} + Rgba{0.25f, 0.2f, 0.15f, 0} * (0.5f + 0.5f * std::sin(y * 0.4f)),
                    bodyAll);
            m = std::max(m, bodyAll);
            // antennae
            for (float side : {-1.0f, 1.0f}) {
                float t = (135 - y) / 70.0f;
                if (t > 0 && t < 1) {
                    float ax = 320 + side * (10 + 40 * t * t);
                    float a = 1.0f - smoothstep(1.0f, 2.5f, std::fabs(x - ax));
                    c = mix(c, Rgba{0.2f, 0.15f, 0.1f, 1}, a);
                    m = std::max(m, a);
                }
            }
            // caption
            int wx = static_cast<int>(x), wy = static_cast<int>(y);
            float wv = word.get(wx, wy), wg = wordGlow.get(wx, wy);
            c = c + Rgba{0.5f, 0.3f, 0.9f, 0} * wg + Rgba{1, 1, 1, 0} * wv;
            m = std::max(m, clamp01(wv + wg * 0.8f));
            pic.at(px, py) = c;
            float mv = clamp01(m);
            mask.at(px, py) = Rgba{mv, mv, mv, 1};
        }
    pic.clamp();
    saveTga(out, pic, "ginter.tga", false);
    saveTga(out, mask, "gintera.tga", false);
}

}  // namespace

void generateOverlayImages(Output& out, const TextSetter& text) {
    titles(out, text);
    lyrics(out, text);
    credits(out, text);
    questionMark(out, text);
    tunnelMetal(out);
    trips(out);
    bubbles(out);
    particleGlow(out);
    picture(out, text);
}
