#ifndef DEMO_SOUND_TRACK_H
#define DEMO_SOUND_TRACK_H

#include <cstdint>
#include <vector>

#include "Audio.h"

namespace demo {

// Mixes the show's sound track off-line from the stream events that Audio recorded:
// the same samples, volumes and loops the live mixer would play.
std::vector<int16_t> mixSoundTrack(const Audio& audio, int lengthMs, int frequency, int channels);
bool writeWav(const char* fileName, const std::vector<int16_t>& samples, int frequency, int channels);

}  // namespace demo

#endif
