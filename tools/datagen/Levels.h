#pragma once
// The three demo scenes.
#include "Scene3ds.h"

// Frame ranges the show plays (segment end is exclusive of wrap-around).
constexpr int kLevel1Frames = 3000;
constexpr int kLevel2Frames = 500;
constexpr int kLevel3Frames = 520;

k3ds::Scene buildLevel1();
k3ds::Scene buildLevel2();
k3ds::Scene buildLevel3();
