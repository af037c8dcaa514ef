// Encodes stereo float audio as Windows Media Audio version 2 in an ASF file through FFmpeg,
// with every varying field (times, version strings) left out so the bytes never change.
#pragma once

#include <string>

#include "tools/assets/audio_buffer.h"

namespace assets {

constexpr int kWmaBitRate = 96000;

// False with a readable reason when the encoder, the muxer or the file fails.
bool writeWma(const std::string& path, const StereoBuffer& audio, std::string& error);

}  // namespace assets
