// Decodes a music file back to stereo float audio through FFmpeg, so the tool can measure what
// a player will hear rather than what went into the encoder.
#pragma once

#include <string>

#include "tools/assets/audio_buffer.h"

namespace assets {

// False with a readable reason when the file cannot be opened or decoded as planar float stereo.
bool readWma(const std::string& path, StereoBuffer& audio, std::string& error);

}  // namespace assets
