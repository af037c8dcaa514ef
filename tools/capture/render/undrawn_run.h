// The show run on its virtual clock without drawing: cheap (half a second for the whole
// show), it tells where the show ends and gives the sound of a span of frames exactly as a
// capture pulls it.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/capture/plan/capture_result.h"

struct UndrawnRun {
    bool ok = false;
    bool cancelled = false;
    std::string error;     // one line, when not ok
    std::int64_t end = 0;  // the end of `frames`, or the frame where the show ended before it
    // With keepSound: each frame's span of interleaved stereo from frames.first to `end`.
    std::vector<std::int16_t> sound;
    std::vector<int> soundFrames;  // of each frame from frames.first, its count of sample frames

    // The result of a capture that this run's failure stops.
    CaptureResult failure() const;
};

// Runs frames [0, frames.end) of the show from `dataDir` (absolute) in a `width` x `height`
// window at `fps`, or up to the show's own end.
UndrawnRun runUndrawn(const std::filesystem::path& dataDir, int width, int height, int fps, const FrameRange& frames,
                      bool keepSound, const std::atomic<bool>* cancel = nullptr);
