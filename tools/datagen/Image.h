#pragma once
// Float RGBA picture, row 0 at the top, with the writers the demo's loaders read.
#include <string>
#include <vector>

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

Rgba mix(const Rgba& x, const Rgba& y, float t);
Rgba operator*(const Rgba& c, float k);
Rgba operator+(const Rgba& x, const Rgba& y);

class Image {
public:
    Image() = default;
    Image(int w, int h, Rgba fill = Rgba{0, 0, 0, 1});

    int width() const { return w_; }
    int height() const { return h_; }
    Rgba& at(int x, int y) { return px_[static_cast<size_t>(y) * w_ + x]; }
    const Rgba& at(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
    // Wrapping access for tileable filters.
    const Rgba& wrapped(int x, int y) const;
    Rgba bilinear(float x, float y) const;  // clamped, pixel centres at +0.5

    // Additive and "over" compositing of a colour weighted by a coverage.
    void add(int x, int y, const Rgba& c, float k);
    void over(int x, int y, const Rgba& c, float k);
    void clamp();

    // 24-bit (alpha ignored) or 32-bit uncompressed Targa, bottom row first.
    bool saveTga(const std::string& path, bool withAlpha) const;
    bool saveJpg(const std::string& path, int quality = 92) const;

private:
    int w_ = 0, h_ = 0;
    std::vector<Rgba> px_;
};

// A single-channel coverage buffer (text masks, glows).
class Mask {
public:
    Mask() = default;
    Mask(int w, int h) : w_(w), h_(h), v_(static_cast<size_t>(w) * h, 0.0f) {}
    int width() const { return w_; }
    int height() const { return h_; }
    float& at(int x, int y) { return v_[static_cast<size_t>(y) * w_ + x]; }
    float at(int x, int y) const { return v_[static_cast<size_t>(y) * w_ + x]; }
    float get(int x, int y) const { return (x < 0 || y < 0 || x >= w_ || y >= h_) ? 0.0f : at(x, y); }
    // Three box passes approximate a Gaussian of about the given radius.
    Mask blurred(int radius) const;
    Mask dilated(int radius) const;

private:
    int w_ = 0, h_ = 0;
    std::vector<float> v_;
};
