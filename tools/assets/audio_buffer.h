// Sample rate and the stereo float buffers the music is rendered into.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace assets {

constexpr int kSampleRate = 22050;

struct StereoBuffer {
    std::vector<float> left;
    std::vector<float> right;

    explicit StereoBuffer(std::size_t frames = 0) : left(frames, 0.0f), right(frames, 0.0f) {}
    std::size_t frames() const { return left.size(); }
    void clear() {
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
    }
    // Adds a mono sample at a frame with an equal-power pan in [-1 (left), 1 (right)];
    // frames beyond the end are dropped.
    void addPanned(std::size_t frame, float sample, float pan) {
        if (frame >= left.size()) return;
        const float angle = (pan + 1.0f) * 0.25f * 3.14159265f;
        left[frame] += sample * std::cos(angle);
        right[frame] += sample * std::sin(angle);
    }
};

// Frame index of a time in seconds (rounded to the nearest frame).
inline std::size_t frameAt(double seconds) {
    return seconds <= 0.0 ? 0 : static_cast<std::size_t>(std::llround(seconds * kSampleRate));
}

}  // namespace assets
