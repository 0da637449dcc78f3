#pragma once
// The soundtrack: a 161-second arrangement and a seamless ambient loop.
#include "ShowTiming.h"
#include "Synth.h"

constexpr double kSongSeconds = demo::kShowLengthMs / 1000.0;

Track renderSong();
Track renderLoop();
// Scales to the peak ceiling and shapes overs with a soft knee.
void master(Track& t, float ceiling, float drive);
