// Decodes a music file (WMA, Opus, whatever FFmpeg reads) back to stereo float audio, so the
// tool can measure what a player will hear rather than what went into the encoder.
#pragma once

#include <string>

#include "tools/assets/audio_buffer.h"

namespace assets {

// `rate` is the decoded audio's rate (Opus decodes at 48 kHz). False with a readable reason
// when the file cannot be opened or decoded as planar float stereo.
bool readMusic(const std::string& path, StereoBuffer& audio, int& rate, std::string& error);

}  // namespace assets
