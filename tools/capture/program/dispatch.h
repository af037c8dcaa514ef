// The one place that picks how a capture runs: a join, a segment, in one piece, or shared
// among worker processes.
#pragma once

#include "tools/capture/plan/capture_result.h"

CaptureResult runAskedCapture(const CaptureOptions& options);
