#ifndef DEMO_SPRITES_H
#define DEMO_SPRITES_H

#include "Korvex3D.h"

namespace demo {

constexpr int kSpriteCount = 32;

struct TripSprite {
    int phase;
    float baseX;
    float speed;
    Vertex3D position;
    float angle;
};

struct BubbleSprite {
    Vertex3D position;
    int phase;
    float speed;
};

// The drifting "trip" and "bubble" sprites of the third scene.
class Sprites {
public:
    void init(int width, int height);
    void move(int height);

    TripSprite trip[kSpriteCount] = {};
    BubbleSprite bubble[kSpriteCount] = {};
};

}  // namespace demo

#endif
