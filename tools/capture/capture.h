// A capture of the show: frames rendered offscreen on the virtual clock, read back and
// written (encoded on a worker thread) together with the music of each frame's span.
#pragma once

#include <cstdint>
#include <string>

#include "tools/capture/capture_options.h"

struct CaptureResult {
    bool ok = false;
    bool cancelled = false;       // stopped through CaptureOptions::cancel
    bool wrongArguments = false;  // the options ask for what this machine cannot do (a size)
    std::string error;            // one line, when not ok
    std::int64_t frames = 0;      // written (or, render-only, rendered), seeked frames not counted
    double wallSeconds = 0;       // from the first frame to the output in place
    double seekSeconds = 0;       // of that, running the frames before the first written one
};

// Runs a capture as `options` say: opens the show (one at a time per process), seeks, renders,
// writes, and puts the output in place, or leaves nothing behind on failure or cancel.
// Relative paths are taken from the current folder at the call.
CaptureResult runCapture(const CaptureOptions& options);

// The frames a capture writes (see FrameRange).
FrameRange frameRangeOf(const CaptureOptions& options);

// Empty when a window of width x height, drawn at `supersample` times that, fits `limits`;
// otherwise why not, in one line, naming the supersampling when that is what does not fit.
std::string sizeBeyondDrawing(int width, int height, const DrawingLimits& limits, int supersample = 1);

// The show's animation moves in 20 ms steps, 50 a second. Empty when frames at `fps` each
// move it by the same whole number of steps (fps divides 50); otherwise one line on what
// the frames do to the motion.
std::string animationStepWarning(int fps);

// The first sample of frame `frame`'s span of sound: floor(frame * rate / fps).
constexpr std::int64_t firstSampleOfFrame(std::int64_t frame, int fps, int rate = 44100) { return frame * rate / fps; }
