// A capture in one piece: frames rendered offscreen on the virtual clock, read back and
// written by the encoder thread together with the music of each frame's span.
#pragma once

#include "tools/capture/plan/capture_result.h"

// Runs a capture as `options` say: opens the show (one at a time per process), seeks, renders,
// writes, and puts the output in place, or leaves nothing behind on failure or cancel.
// Relative paths are taken from the current folder at the call.
CaptureResult runCapture(const CaptureOptions& options);
