// The show's music: the score rendered through the instruments, drums and effects, mixed to
// stereo at kSampleRate with its peak at kMusicPeak.
#pragma once

#include "tools/assets/audio_buffer.h"
#include "tools/assets/score.h"

namespace assets {

constexpr float kMusicPeak = 0.63f;  // about -4 dBFS, leaving the encoder room to overshoot

// The mix's parts, each rendered dry and on its own.
enum class Track { kKick, kDrums, kBass, kPad, kPluck, kLead, kBell };
constexpr Track kTracks[] = {Track::kKick,  Track::kDrums, Track::kBass, Track::kPad,
                             Track::kPluck, Track::kLead,  Track::kBell};

StereoBuffer renderTrack(const Score& score, Track track, std::size_t frames);

StereoBuffer renderMusic();

}  // namespace assets
