// Encodes stereo float audio as Opus in an Ogg file through FFmpeg (libopus), for players
// that have no WMA decoder, such as web browsers. Every run writes the same bytes.
#pragma once

#include <string>

#include "tools/assets/audio_buffer.h"

namespace assets {

constexpr int kOpusBitRate = 64000;
// Opus codes at 48 kHz only; the music is resampled to it on the way in.
constexpr int kOpusRate = 48000;

// False with a readable reason when the encoder, the resampler, the muxer or the file fails.
// The header's input-rate field records kSampleRate, the rate the music was made at, so that
// a player can decode it back to that rate.
bool writeOpus(const std::string& path, const StereoBuffer& audio, std::string& error);

}  // namespace assets
