#include "tools/capture/segment_capture.h"

#include "tools/capture/segment.h"
#include "tools/capture/undrawn_run.h"

CaptureResult runSegmentCapture(CaptureOptions options) {
    CaptureResult result;
    const std::filesystem::path dataDir = std::filesystem::absolute(options.dataDir);
    FrameRange whole = frameRangeOf(options);
    const UndrawnRun run =
        runUndrawn(dataDir, options.width, options.height, options.fps, whole, false, options.cancel);
    if (!run.ok) {
        result.cancelled = run.cancelled;
        result.error = run.error;
        return result;
    }
    whole.end = run.end;
    const SegmentChoice choice = *options.segment;
    if (whole.end - whole.first < choice.parts) {
        result.error = "the span has " + std::to_string(std::max<std::int64_t>(0, whole.end - whole.first)) +
                       " frames, fewer than the " + std::to_string(choice.parts) + " parts asked for";
        return result;
    }
    SegmentDescription description;
    description.choice = choice;
    description.frames = segmentFrames(whole, choice);
    description.whole = whole;
    description.fps = options.fps;
    description.width = options.width;
    description.height = options.height;
    description.supersample = options.supersample;
    description.show = showIdentity(dataDir);
    if (description.show.empty()) {
        result.error = "cannot read the show's data in " + options.dataDir.string();
        return result;
    }
    options.frames = description.frames;
    options.segmentDescription = description.text();
    return runCapture(options);
}
