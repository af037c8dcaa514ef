// The show's music: the score rendered through the instruments, drums and effects, mixed to
// stereo at kSampleRate and mastered to kMusicLoudness with its peaks under kMusicCeiling.
#pragma once

#include "tools/assets/audio_buffer.h"
#include "tools/assets/score.h"

namespace assets {

constexpr double kMusicLoudness = -14.0;  // LUFS integrated
constexpr float kMusicCeiling = 0.76f;    // about -2.4 dBFS: room for the encoder and inter-sample peaks

// The mix's parts, each rendered dry and on its own.
enum class Track { kKick, kDrums, kBass, kPad, kPluck, kLead, kBell };
constexpr Track kTracks[] = {Track::kKick,  Track::kDrums, Track::kBass, Track::kPad,
                             Track::kPluck, Track::kLead,  Track::kBell};

StereoBuffer renderTrack(const Score& score, Track track, std::size_t frames);

// Scales to the loudness (LUFS) and limits the peaks to the ceiling; the limiter takes a
// little loudness away, which the next round's gain gives back.
void masterToLoudness(StereoBuffer& buffer, double lufs, float ceiling);

StereoBuffer renderMusic();

}  // namespace assets
