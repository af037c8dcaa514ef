// How a capture ended, and the messages that more than one way of running it gives.
#pragma once

#include <cstdint>
#include <string>

#include "tools/capture/plan/capture_options.h"

struct CaptureResult {
    bool ok = false;
    bool cancelled = false;       // stopped through CaptureOptions::cancel
    bool wrongArguments = false;  // the options ask for what this machine cannot do (a size)
    std::string error;            // one line, when not ok
    std::int64_t frames = 0;      // written (or, render-only, rendered), seeked frames not counted
    double wallSeconds = 0;       // from the first frame to the output in place
    double seekSeconds = 0;       // of that, running the frames before the first written one

    // A failed result with `message`.
    static CaptureResult failure(std::string message);
    // The result of a capture stopped through `cancel`.
    static CaptureResult interrupted();
};

// Why a capture stopped on a cancel.
inline constexpr const char* kInterrupted = "interrupted; nothing was written";

// Why nothing was written: the show ended at frame `endFrame`, before the first frame asked for.
std::string showEndsMessage(const CaptureOptions& options, std::int64_t endFrame);
