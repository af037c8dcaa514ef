// Helpers of the sound tests: tones in memory, measurements of mixed output, and pulling
// the offline output until a channel falls silent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sound/mixer.h"

namespace testing_support {

// A sine tone of `amplitude` (0..32767) on every channel.
sound::Sample makeTone(int rate, double seconds, double hertz, double amplitude, int channels = 1);

// One channel (0 left, 1 right) of interleaved stereo frames.
std::vector<std::int16_t> side(const std::vector<std::int16_t>& stereo, int which);
int peak(const std::vector<std::int16_t>& samples);
// Sign changes per second of output at `rate`: twice the tone's frequency.
double crossingsPerSecond(const std::vector<std::int16_t>& samples, int rate);

// Mixes blocks of `block` frames until the handle stops playing or `limit` frames have been
// mixed; returns every frame mixed.
std::vector<std::int16_t> mixWhilePlaying(sound::Mixer& mixer, int handle, int block, int limit);
// The same through the library's offline output.
std::vector<std::int16_t> pullWhilePlaying(int handle, int block, int limit);

// Writes a 22050 Hz stereo WMA version 2 tone of `seconds`; fails the calling test otherwise.
void writeMusic(const std::string& path, double seconds);

}  // namespace testing_support
