// Helpers for the picture tests: an independent decoder (the ffmpeg program) and a count of
// open file descriptors.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// The picture decoded by ffmpeg as raw bytes of `pixelFormat` ("rgb24", "rgba"), top row first;
// empty when ffmpeg fails.
std::string ffmpegDecode(const std::string& path, const std::string& pixelFormat);

// Runs ffmpeg with `arguments` (quiet, overwriting); true on success.
bool runFfmpeg(const std::string& arguments);

// The rows of a tightly packed block in the opposite order.
std::string flipRows(const std::string& pixels, std::size_t rowBytes);

int openDescriptorCount();

}  // namespace testing_support
