// What a capture in one piece reports while it runs: a few times a second, and once at the end
// with the totals. Nothing at all when the options ask for no progress.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>

#include "tools/capture/plan/capture_options.h"

class CaptureProgressReport {
public:
    // Totals from `range`, or, for a capture to the show's end, from the music's length in
    // `dataDir` (absolute).
    CaptureProgressReport(const CaptureOptions& options, const FrameRange& range, const std::filesystem::path& dataDir);

    // After a frame: `seeking` before the range, `framesDone` written so far, the frame's
    // clock, and the seconds since the run began (`seekSeconds` of them spent seeking).
    void frame(bool seeking, std::int64_t framesDone, std::uint32_t tick, double seconds, double seekSeconds);
    // The capture is complete: `frames` written, the last at `lastTick`, `seconds` after the seek.
    void finish(std::int64_t frames, std::uint32_t lastTick, double seconds);

private:
    void report(bool seeking, std::int64_t framesDone, std::uint32_t tick, double seconds);

    const CaptureOptions& options_;
    CaptureProgress progress_;
    std::chrono::steady_clock::time_point lastReport_;
};
