#ifndef DEMO_SETTINGS_H
#define DEMO_SETTINGS_H

#include "ShowTiming.h"

// Fixed settings of the show.
namespace demo {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kColorDepth = 32;
constexpr int kStepRate = 30;
constexpr int kStepMs = 1000 / kStepRate;  // 33: every clock reading divides by this
constexpr int kMaxStepsPerFrame = kStepRate / 2;
constexpr int kRasterizer = 0;

constexpr const char* kWindowTitle = "Glasswing";

}  // namespace demo

#endif
