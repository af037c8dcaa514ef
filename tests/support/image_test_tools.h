// Helpers for the picture-loader tests: an independent decoder (the ffmpeg program), capture
// of message boxes, and a count of open file descriptors.
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

struct CapturedBox {
    std::string caption;
    std::string text;
    std::uint32_t style;
};

// Collects every message box while it lives.
class BoxCapture {
public:
    BoxCapture();
    ~BoxCapture();
    BoxCapture(const BoxCapture&) = delete;
    BoxCapture& operator=(const BoxCapture&) = delete;

    std::vector<CapturedBox> boxes;
    // The text of the only box, or a description of what came instead.
    std::string onlyText() const;
};

int openDescriptorCount();

}  // namespace testing_support
