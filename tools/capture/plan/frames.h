// Frames and their sound: which frames a capture writes, the span of samples each carries, and
// how a frame rate meets the show's 20 ms animation steps.
#pragma once

#include <cstdint>
#include <string>

// The mix a capture pulls and writes: interleaved stereo at this rate.
constexpr int kCaptureSampleRate = 44100;
constexpr int kCaptureChannels = 2;

// The frames a capture writes: [first, end). `end` is a bound from --to or --frame; the
// show's end may come earlier.
struct FrameRange {
    std::int64_t first = 0;
    std::int64_t end = INT64_MAX;
};

// The first sample of frame `frame`'s span of sound: floor(frame * rate / fps).
constexpr std::int64_t firstSampleOfFrame(std::int64_t frame, int fps, int rate = kCaptureSampleRate) {
    return frame * rate / fps;
}
// How many sample frames frame `frame` carries.
constexpr int soundFramesOf(std::int64_t frame, int fps) {
    return static_cast<int>(firstSampleOfFrame(frame + 1, fps) - firstSampleOfFrame(frame, fps));
}
// The most sample frames any frame at `fps` carries.
constexpr int longestSoundSpan(int fps) { return kCaptureSampleRate / fps + 1; }

// The show's animation moves in 20 ms steps, 50 a second. Empty when frames at `fps` each
// move it by the same whole number of steps (fps divides 50); otherwise one line on what
// the frames do to the motion.
std::string animationStepWarning(int fps);
