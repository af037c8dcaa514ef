// One segment of a capture (--segment K/N), as each worker process or machine renders it.
#pragma once

#include "tools/capture/plan/capture_result.h"

// Finds the whole span (the show run without drawing to its end or --to), then captures part
// K of it with the segment's description.
CaptureResult runSegmentCapture(CaptureOptions options);
