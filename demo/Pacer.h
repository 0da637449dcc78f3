#ifndef DEMO_PACER_H
#define DEMO_PACER_H

#include <cstdint>

namespace demo {

// Turns wall-clock ticks into 33 ms animation steps; a stall catches up by at most
// kMaxStepsPerFrame steps, the rest is dropped.
class Pacer {
public:
    void start(uint32_t tick);
    // Steps to run now; 0 means no new step began and nothing is drawn.
    int stepsDue(uint32_t tick);

private:
    uint32_t lastStep_ = 0;
};

}  // namespace demo

#endif
