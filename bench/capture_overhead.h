// What writing a capture adds to rendering: the same frames rendered without read-back or
// writing, then captured to a video.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

struct CaptureOverhead {
    bool ok = false;
    std::string error;
    std::int64_t frames = 0;
    double renderSeconds = 0;   // rendering only
    double captureSeconds = 0;  // rendering, read-back, conversion, encoding, muxing
    double overhead() const { return renderSeconds > 0 ? captureSeconds / renderSeconds - 1.0 : 0.0; }
};

// Both runs cover [fromMs, toMs) of the show at `fps` with a `width` x `height` client; the
// video goes to `output` (its extension picks the format) and is removed afterwards.
CaptureOverhead measureCaptureOverhead(const std::filesystem::path& dataDir, const std::filesystem::path& output,
                                       int width, int height, int fps, std::int64_t fromMs, std::int64_t toMs);
