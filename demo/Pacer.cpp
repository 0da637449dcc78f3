#include "Pacer.h"

#include "DemoSettings.h"

namespace demo {

void Pacer::start(uint32_t tick) { lastStep_ = tick / kStepMs; }

int Pacer::stepsDue(uint32_t tick) {
    uint32_t current = tick / kStepMs;
    if (current <= lastStep_) return 0;
    uint32_t due = current - lastStep_;
    lastStep_ = current;
    return due > uint32_t(kMaxStepsPerFrame) ? kMaxStepsPerFrame : int(due);
}

}  // namespace demo
