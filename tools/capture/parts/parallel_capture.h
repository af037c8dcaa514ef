// A capture shared among worker processes: the span is split into contiguous segments (as
// --segment does), a few for each worker so that a costly scene never leaves a core idle, and
// the parts are put together into one output.
#pragma once

#include <filesystem>

#include "tools/capture/parts/sharing.h"

// Runs `options` as `sharing` (jobs > 1) plans it, with workers started from `program`, this
// program's executable. Output appears only when complete; a failed worker or a cancel stops
// them all and leaves nothing behind.
CaptureResult runParallelCapture(const CaptureOptions& options, const Sharing& sharing,
                                 const std::filesystem::path& program);
