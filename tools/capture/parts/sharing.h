// Whether a capture runs in one piece or is shared among worker processes: decided here, once.
#pragma once

#include <cstdint>

#include "tools/capture/plan/capture_result.h"
#include "tools/capture/render/undrawn_run.h"

// The worker processes a capture uses for `frames` frames: `options.jobs`, or else the
// machine's cores where the span gives each at least a few seconds; never more than the
// frames. 1 means no workers.
int captureJobs(const CaptureOptions& options, std::int64_t frames);

struct Sharing {
    int jobs = 1;      // worker processes; 1: the capture runs in one piece
    FrameRange whole;  // with jobs > 1, the frames shared: up to the show's end at the latest
    UndrawnRun run;    // with jobs > 1, the run that found it, with its sound for a video
};

// How `options` is captured: in one piece when the frames asked for are too few to share, else
// as the span an undrawn run finds allows. False with `failure` set when that run fails or the
// show ends before the first frame asked for.
bool planSharing(const CaptureOptions& options, Sharing& sharing, CaptureResult& failure);
