#include "tools/capture/parts/segment_capture.h"

#include <algorithm>

#include "gfx/renderer.h"
#include "tools/capture/parts/show_identity.h"
#include "tools/capture/render/capture.h"
#include "tools/capture/render/undrawn_run.h"

CaptureResult runSegmentCapture(CaptureOptions options) {
    const std::filesystem::path dataDir = std::filesystem::absolute(options.dataDir);
    FrameRange whole = frameRangeOf(options);
    const UndrawnRun run =
        runUndrawn(dataDir, options.width, options.height, options.fps, whole, false, options.cancel);
    if (!run.ok) return run.failure();
    whole.end = run.end;
    const SegmentChoice choice = *options.segment;
    if (whole.end - whole.first < choice.parts)
        return CaptureResult::failure("the span has " +
                                      std::to_string(std::max<std::int64_t>(0, whole.end - whole.first)) +
                                      " frames, fewer than the " + std::to_string(choice.parts) + " parts asked for");
    SegmentDescription description;
    description.choice = choice;
    description.frames = segmentFrames(whole, choice);
    description.whole = whole;
    description.fps = options.fps;
    description.width = options.width;
    description.height = options.height;
    description.supersample = options.supersample;
    description.renderer = gfx::rendererName(options.renderer);
    description.show = showIdentity(dataDir);
    if (description.show.empty())
        return CaptureResult::failure("cannot read the show's data in " + options.dataDir.string());
    options.frames = description.frames;
    options.segmentDescription = description.text();
    return runCapture(options);
}
