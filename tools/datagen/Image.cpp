#include "Image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

// libjpeg needs FILE declared first.
#include <jpeglib.h>

Rgba mix(const Rgba& x, const Rgba& y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}
Rgba operator*(const Rgba& c, float k) { return {c.r * k, c.g * k, c.b * k, c.a * k}; }
Rgba operator+(const Rgba& x, const Rgba& y) { return {x.r + y.r, x.g + y.g, x.b + y.b, x.a + y.a}; }

namespace {

unsigned char toByte(float v) {
    float c = std::min(1.0f, std::max(0.0f, v));
    return static_cast<unsigned char>(std::lround(c * 255.0f));
}

void boxPass(const std::vector<float>& src, std::vector<float>& dst, int w, int h, int r, bool horizontal) {
    int n = horizontal ? w : h, lines = horizontal ? h : w;
    float inv = 1.0f / (2 * r + 1);
    for (int l = 0; l < lines; ++l) {
        auto idx = [&](int i) {
            i = std::min(n - 1, std::max(0, i));
            return horizontal ? static_cast<size_t>(l) * w + i : static_cast<size_t>(i) * w + l;
        };
        float sum = 0;
        for (int i = -r; i <= r; ++i) sum += src[idx(i)];
        for (int i = 0; i < n; ++i) {
            dst[idx(i)] = sum * inv;
            sum += src[idx(i + r + 1)] - src[idx(i - r)];
        }
    }
}

}  // namespace

Image::Image(int w, int h, Rgba fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}

const Rgba& Image::wrapped(int x, int y) const {
    x = ((x % w_) + w_) % w_;
    y = ((y % h_) + h_) % h_;
    return at(x, y);
}

Rgba Image::bilinear(float x, float y) const {
    x -= 0.5f;
    y -= 0.5f;
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    float fx = x - x0, fy = y - y0;
    auto px = [&](int xx, int yy) -> const Rgba& {
        return at(std::min(w_ - 1, std::max(0, xx)), std::min(h_ - 1, std::max(0, yy)));
    };
    return mix(mix(px(x0, y0), px(x0 + 1, y0), fx), mix(px(x0, y0 + 1), px(x0 + 1, y0 + 1), fx), fy);
}

void Image::add(int x, int y, const Rgba& c, float k) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Rgba& p = at(x, y);
    p.r += c.r * k;
    p.g += c.g * k;
    p.b += c.b * k;
}

void Image::over(int x, int y, const Rgba& c, float k) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Rgba& p = at(x, y);
    float a = std::min(1.0f, std::max(0.0f, k * c.a));
    p.r += (c.r - p.r) * a;
    p.g += (c.g - p.g) * a;
    p.b += (c.b - p.b) * a;
    p.a = p.a + (1.0f - p.a) * a;
}

void Image::clamp() {
    for (Rgba& p : px_) {
        p.r = std::min(1.0f, std::max(0.0f, p.r));
        p.g = std::min(1.0f, std::max(0.0f, p.g));
        p.b = std::min(1.0f, std::max(0.0f, p.b));
        p.a = std::min(1.0f, std::max(0.0f, p.a));
    }
}

bool Image::saveTga(const std::string& path, bool withAlpha) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    unsigned char header[18] = {0};
    header[2] = 2;  // uncompressed true colour
    header[12] = static_cast<unsigned char>(w_ & 255);
    header[13] = static_cast<unsigned char>(w_ >> 8);
    header[14] = static_cast<unsigned char>(h_ & 255);
    header[15] = static_cast<unsigned char>(h_ >> 8);
    header[16] = withAlpha ? 32 : 24;
    header[17] = withAlpha ? 8 : 0;  // alpha bits; origin bottom-left
    std::fwrite(header, 1, sizeof header, f);
    int bpp = withAlpha ? 4 : 3;
    std::vector<unsigned char> row(static_cast<size_t>(w_) * bpp);
    for (int y = h_ - 1; y >= 0; --y) {
        for (int x = 0; x < w_; ++x) {
            const Rgba& p = at(x, y);
            unsigned char* o = &row[static_cast<size_t>(x) * bpp];
            o[0] = toByte(p.b);
            o[1] = toByte(p.g);
            o[2] = toByte(p.r);
            if (withAlpha) o[3] = toByte(p.a);
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    return std::fclose(f) == 0;
}

bool Image::saveJpg(const std::string& path, int quality) const {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(w_);
    cinfo.image_height = static_cast<JDIMENSION>(h_);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(w_) * 3);
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            const Rgba& p = at(x, y);
            row[x * 3 + 0] = toByte(p.r);
            row[x * 3 + 1] = toByte(p.g);
            row[x * 3 + 2] = toByte(p.b);
        }
        JSAMPROW rp = row.data();
        jpeg_write_scanlines(&cinfo, &rp, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(f) == 0;
}

Mask Mask::blurred(int radius) const {
    Mask out(w_, h_);
    if (radius < 1) {
        out.v_ = v_;
        return out;
    }
    int r = std::max(1, radius / 2);
    std::vector<float> a = v_, b(v_.size());
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(a, b, w_, h_, r, true);
        boxPass(b, a, w_, h_, r, false);
    }
    out.v_ = a;
    return out;
}

Mask Mask::dilated(int radius) const {
    Mask out(w_, h_);
    for (int y = 0; y < h_; ++y)
        for (int x = 0; x < w_; ++x) {
            float m = 0;
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx) {
                    float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
                    if (d > radius + 0.5f) continue;
                    float k = std::min(1.0f, radius + 0.5f - d);
                    m = std::max(m, get(x + dx, y + dy) * k);
                }
            out.at(x, y) = m;
        }
    return out;
}
