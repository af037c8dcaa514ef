#include "tools/capture/plan/capture_options.h"

#include "demo/offscreen_show.h"

FrameRange frameRangeOf(const CaptureOptions& options) {
    if (options.frames) return *options.frames;
    FrameRange range;
    if (options.frameMs) {
        range.first = firstFrameAtOrAfter(*options.frameMs, options.fps);
        range.end = range.first + 1;
        return range;
    }
    if (options.fromMs) range.first = firstFrameAtOrAfter(*options.fromMs, options.fps);
    if (options.toMs) range.end = firstFrameAtOrAfter(*options.toMs, options.fps);
    return range;
}
