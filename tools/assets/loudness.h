// Loudness and true peak as broadcast meters read them (ITU-R BS.1770, EBU R128), so the
// tool can check the music it wrote without an outside meter.
#pragma once

#include <array>
#include <string>

#include "tools/assets/audio_buffer.h"

namespace assets {

struct Biquad {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;  // a0 normalised to 1
};

// The K-weighting pre-filter (high shelf) and RLB high-pass at the given rate.
std::array<Biquad, 2> kWeighting(double sampleRate);

// Gated integrated loudness of a stereo buffer in LUFS; -70 when everything is gated away.
double integratedLoudness(const StereoBuffer& audio, double sampleRate);

// Largest magnitude of either side after 4x oversampling (linear, 1 = full scale).
float truePeak(const StereoBuffer& audio);

constexpr double kMusicLoudnessLow = -15.0;   // LUFS
constexpr double kMusicLoudnessHigh = -13.0;  // LUFS
constexpr double kMusicTruePeakMax = -1.0;    // dBTP

struct LevelReading {
    double lufs = -70.0;         // integrated
    double truePeakDb = -200.0;  // dBTP
};
LevelReading measureLevel(const StereoBuffer& audio, double sampleRate);

// True when the decoded music lies in the ranges above; otherwise false with one line that
// says which measure is out of range, naming `name`.
bool checkMusicLevel(const LevelReading& level, const std::string& name, std::string& error);

}  // namespace assets
