// A capture shared among worker processes: the span is split into contiguous segments (as
// --segment does), a few for each worker so that a costly scene never leaves a core idle, and
// the parts are joined into one output: a video's pictures copied without encoding them again
// and its music encoded once, PNG frames moved into the folder.
#pragma once

#include <filesystem>

#include "tools/capture/capture.h"

// The worker processes a capture uses: `options.jobs`, or else the machine's cores where the
// span gives each at least a few seconds; never more than the frames. 1 means no workers.
int captureJobs(const CaptureOptions& options, std::int64_t frames);

// Runs `options` (jobs > 1) with workers started from `program`, this program's executable.
// Output appears only when complete; a failed worker or a cancel stops them all and leaves
// nothing behind.
CaptureResult runParallelCapture(const CaptureOptions& options, const std::filesystem::path& program);
