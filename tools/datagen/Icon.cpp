// The show's desktop icon: a pair of glass wings on a night-blue tile, written as a PNG.
#include <png.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "Generators.h"
#include "Image.h"

namespace {

constexpr int kIconSize = 128;
constexpr int kSubsamples = 4;  // per axis, for smooth edges
constexpr float kTileCorner = 0.22f;

// Signed distance to a rounded square covering [-1, 1]^2 (negative inside).
float tileDistance(float x, float y) {
    float qx = std::fabs(x) - (1.0f - kTileCorner), qy = std::fabs(y) - (1.0f - kTileCorner);
    float outside = std::hypot(std::fmax(qx, 0.0f), std::fmax(qy, 0.0f));
    return outside + std::fmin(std::fmax(qx, qy), 0.0f) - kTileCorner;
}

// Inside-ness of a wing: an ellipse leaning out from the body, 1 at its centre line, 0 at its rim.
float wing(float x, float y, float cx, float cy, float rx, float ry, float angle) {
    float c = std::cos(angle), s = std::sin(angle);
    float u = ((x - cx) * c + (y - cy) * s) / rx, v = (-(x - cx) * s + (y - cy) * c) / ry;
    return 1.0f - (u * u + v * v);
}

// The colour of one point of the icon in [-1, 1]^2, y down.
Rgba iconColour(float x, float y) {
    if (tileDistance(x, y) > 0.0f) return Rgba{0, 0, 0, 0};
    float glow = std::exp(-2.5f * (x * x + (y + 0.1f) * (y + 0.1f)));
    Rgba c = mix(Rgba{0.02f, 0.03f, 0.12f, 1}, Rgba{0.18f, 0.12f, 0.42f, 1}, glow);
    float side = x < 0 ? -1.0f : 1.0f;
    float upper = wing(std::fabs(x), y, 0.42f, -0.22f, 0.50f, 0.26f, -0.55f);
    float lower = wing(std::fabs(x), y, 0.34f, 0.30f, 0.36f, 0.18f, 0.65f);
    for (float w : {upper, lower}) {
        if (w <= 0.0f) continue;
        float rim = w < 0.18f ? 1.0f - w / 0.18f : 0.0f;  // bright edge of the glass
        Rgba glass = mix(Rgba{0.35f, 0.85f, 1.0f, 1}, Rgba{0.75f, 0.55f, 1.0f, 1}, 0.5f + 0.5f * side * y);
        c = mix(c, glass, 0.45f + 0.5f * rim);
    }
    float body = wing(x, y, 0.0f, 0.05f, 0.07f, 0.55f, 0.0f);
    if (body > 0.0f) c = mix(c, Rgba{1.0f, 0.95f, 0.85f, 1}, std::fmin(1.0f, body * 3.0f));
    return c;
}

unsigned char byteOf(float v) {
    return static_cast<unsigned char>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255));
}

bool savePng(const Image& img, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<unsigned char> row(static_cast<size_t>(img.width()) * 4);
    bool ok = png && info && !setjmp(png_jmpbuf(png));
    if (ok) {
        png_init_io(png, f);
        png_set_IHDR(png, info, img.width(), img.height(), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                const Rgba& p = img.at(x, y);
                unsigned char* o = &row[static_cast<size_t>(x) * 4];
                // Straight (not premultiplied) alpha, as PNG stores it.
                float a = p.a > 0.0f ? p.a : 1.0f;
                o[0] = byteOf(p.r / a);
                o[1] = byteOf(p.g / a);
                o[2] = byteOf(p.b / a);
                o[3] = byteOf(p.a);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
    }
    png_destroy_write_struct(&png, &info);
    return (std::fclose(f) == 0) && ok;
}

}  // namespace

void generateIcon(Output& out) {
    Image img(kIconSize, kIconSize, Rgba{0, 0, 0, 0});
    const float step = 1.0f / kSubsamples, weight = step * step;
    for (int y = 0; y < kIconSize; ++y)
        for (int x = 0; x < kIconSize; ++x) {
            Rgba sum{0, 0, 0, 0};
            for (int sy = 0; sy < kSubsamples; ++sy)
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    float u = (x + (sx + 0.5f) * step) / kIconSize * 2 - 1;
                    float v = (y + (sy + 0.5f) * step) / kIconSize * 2 - 1;
                    Rgba c = iconColour(u * 1.02f, v * 1.02f);
                    sum = sum + Rgba{c.r * c.a, c.g * c.a, c.b * c.a, c.a} * weight;
                }
            img.at(x, y) = sum;
        }
    out.wrote("glasswing.png", savePng(img, out.path("glasswing.png")));
}
