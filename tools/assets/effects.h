// Effects over whole buffers: a ping-pong echo, a room reverb, ducking under the kick and the
// master stage that keeps the peaks in bounds.
#pragma once

#include <vector>

#include "tools/assets/audio_buffer.h"

namespace assets {

// Echo that bounces between the sides; each repeat is darker. Returns the wet signal only.
StereoBuffer pingPongDelay(const StereoBuffer& in, double delaySeconds, float feedback, float dampingHz);

// Reverb from parallel damped comb filters and series all-passes per side (the two sides
// tuned apart for width). Returns the wet signal only.
StereoBuffer roomReverb(const StereoBuffer& in, float roomSize, float damping);

// Gain per frame that dips after every kick and recovers: 1 - depth at the hit, back to 1
// with the given recovery time constant.
std::vector<float> duckingCurve(std::size_t frames, const std::vector<double>& kickSeconds, float depth,
                                float recovery);

// Removes the DC and sub-audible rumble below about 25 Hz.
void removeRumble(StereoBuffer& buffer);

// Rides the gain down wherever a sample would pass `ceiling` (linear), reaching the dip
// `attackSeconds` ahead of the peak and recovering with the release time constant, so no
// sample of the result passes the ceiling and nothing below it is shaped.
void limitPeaks(StereoBuffer& buffer, float ceiling, double attackSeconds, double releaseSeconds);

// Fades the last `seconds` to silence along a raised cosine.
void fadeOut(StereoBuffer& buffer, double seconds);

float peakOf(const StereoBuffer& buffer);

}  // namespace assets
