#include "Sprites.h"

#include <cmath>
#include <cstdlib>

namespace demo {

namespace {
constexpr int kOffscreenMargin = 128;
constexpr float kSpeedScale = 0.004f;
constexpr float kTripSwingDeg = 90.0f;
constexpr float kTripSwingPx = 50.0f;

float sinDeg(float deg) { return std::sin(kvxRad(deg)); }
}  // namespace

void Sprites::init(int width, int height) {
    // The draw order of rand() values is part of the look: keep it.
    for (int k = 0; k < kSpriteCount; k++) {
        TripSprite& t = trip[k];
        t.phase = rand() % 360;
        t.baseX = float(rand() % width);
        t.speed = float(rand() % 1000 - 500) * kSpeedScale;
        t.position.y = float(rand() % height);
        BubbleSprite& b = bubble[k];
        b.position.x = float(rand() % width);
        b.position.y = float(rand() % height);
        b.phase = rand() % 360;
        b.speed = float(rand() % 1000) * kSpeedScale;
    }
}

void Sprites::move(int height) {
    for (int k = 0; k < kSpriteCount; k++) {
        TripSprite& t = trip[k];
        t.angle = sinDeg(float(t.phase)) * kTripSwingDeg;
        t.phase += 1;
        t.position.x = sinDeg(float(t.phase)) * kTripSwingPx + t.baseX;
        t.position.y -= t.speed;
        if (t.position.y < -kOffscreenMargin)
            t.position.y = float(height + kOffscreenMargin - 1);
        else if (t.position.y > height + kOffscreenMargin)
            t.position.y = float(-kOffscreenMargin + 1);

        BubbleSprite& b = bubble[k];
        b.position.x += sinDeg(float(b.phase));
        b.position.y -= b.speed;
        b.phase += rand() % 10;
        if (b.position.y < -kOffscreenMargin) b.position.y = float(height + kOffscreenMargin - 1);
    }
}

}  // namespace demo
