#include "tools/capture/plan/capture_result.h"

#include <cstdio>

#include "demo/offscreen_show.h"

CaptureResult CaptureResult::failure(std::string message) {
    CaptureResult result;
    result.error = std::move(message);
    return result;
}

CaptureResult CaptureResult::interrupted() {
    CaptureResult result = failure(kInterrupted);
    result.cancelled = true;
    return result;
}

std::string showEndsMessage(const CaptureOptions& options, std::int64_t endFrame) {
    char end[32];
    std::snprintf(end, sizeof end, "%.3f s", tickOfFrame(endFrame, options.fps) / 1000.0);
    const std::int64_t wanted = options.frameMs ? *options.frameMs : options.fromMs.value_or(0);
    return std::string("the show ends at ") + end + ", before " + std::to_string(wanted) + " ms";
}
