#include "Hud.h"

#include <algorithm>

#include <Korvex3D.h>

#include "Bindings.h"

namespace {
const float kMargin = 8;
const float kBaseline = 12;  // from the top of a line to its baseline
const float kBarHeight = 18;
const float kCharWidth = 7.5f;  // a little wider than the font's average
}  // namespace

void Hud::panel(float x1, float y1, float x2, float y2, float alpha) const {
    Vertex2D a{x1, y1}, b{x2, y2};
    Color c{0.02f, 0.03f, 0.05f, alpha};
    kvxBlendFunc(KVX_SRC_ALPHA, KVX_ONE_MINUS_SRC_ALPHA);
    kvxDrawFilledBox(&a, &b, &c);
}

void Hud::text(float x, float y, const std::string& line, float r, float g, float b) const {
    Color c{r, g, b, 1};
    kvxWrite(x, y + kBaseline, &c, "%s", line.c_str());
}

void Hud::drawStatus(const std::string& left, const std::string& right) {
    float top = height_ - kLineHeight - 4;
    panel(0, top - 2, static_cast<float>(width_), static_cast<float>(height_), 0.6f);
    text(kMargin, top, left, 0.9f, 0.92f, 0.95f);
    float x = width_ - kMargin - kCharWidth * right.size();
    if (x > kMargin + kCharWidth * left.size() + kCharWidth * 2) text(x, top, right, 0.7f, 0.85f, 1.0f);
}

void Hud::drawNotice(const std::string& line, bool error) {
    panel(0, 0, static_cast<float>(width_), kLineHeight + 8, 0.6f);
    if (error)
        text(kMargin, 4, line, 1.0f, 0.45f, 0.4f);
    else
        text(kMargin, 4, line, 1.0f, 0.95f, 0.6f);
}

void Hud::drawHelp() {
    float w = 620, h = (kBindingCount + 3) * kLineHeight;
    float x = (width_ - w) * 0.5f, y = std::max((height_ - h) * 0.5f, 0.0f);
    panel(x, y, x + w, y + h, 0.8f);
    text(x + kMargin, y + 6, "kvxview keys (H closes)", 1.0f, 0.95f, 0.6f);
    for (int i = 0; i < kBindingCount; ++i) {
        float ly = y + 6 + (i + 2) * kLineHeight;
        text(x + kMargin, ly, kBindings[i].input, 0.7f, 0.85f, 1.0f);
        text(x + 170, ly, kBindings[i].action, 0.9f, 0.92f, 0.95f);
    }
}

void Hud::drawProgress(const std::string& name, float fraction) {
    fraction = std::max(0.0f, std::min(1.0f, fraction));
    float w = width_ * 0.6f, x = (width_ - w) * 0.5f, y = height_ * 0.5f;
    text(x, y - kLineHeight - 8, "Loading " + name, 0.9f, 0.92f, 0.95f);
    panel(x, y, x + w, y + kBarHeight, 0.9f);
    Vertex2D a{x + 2, y + 2}, b{x + 2 + (w - 4) * fraction, y + kBarHeight - 2};
    Color fill{0.35f, 0.6f, 0.95f, 1};
    kvxDrawFilledBox(&a, &b, &fill);
}
