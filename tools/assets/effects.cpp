// Echo, reverb, ducking and the master stage.
#include "tools/assets/effects.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "tools/assets/synth_units.h"

namespace assets {

namespace {

class Comb {
public:
    explicit Comb(std::size_t length) : line_(length, 0.0f) {}
    float process(float input, float feedback, float damping) {
        const float out = line_[index_];
        filtered_ = out * (1.0f - damping) + filtered_ * damping;
        line_[index_] = input + filtered_ * feedback;
        index_ = (index_ + 1) % line_.size();
        return out;
    }

private:
    std::vector<float> line_;
    std::size_t index_ = 0;
    float filtered_ = 0.0f;
};

class AllPass {
public:
    explicit AllPass(std::size_t length) : line_(length, 0.0f) {}
    float process(float input) {
        const float delayed = line_[index_];
        const float out = delayed - input;
        line_[index_] = input + delayed * 0.5f;
        index_ = (index_ + 1) % line_.size();
        return out;
    }

private:
    std::vector<float> line_;
    std::size_t index_ = 0;
};

// Comb and all-pass lengths in samples at 22050 Hz: mutually prime, so the echoes do not pile
// up into a pitch.
constexpr std::size_t kCombLengths[] = {557, 593, 641, 677, 709, 751, 787, 811};
constexpr std::size_t kAllPassLengths[] = {277, 223, 173, 113};
constexpr std::size_t kSpread = 13;

void reverbSide(const std::vector<float>& in, std::vector<float>& out, std::size_t spread, float roomSize,
                float damping) {
    std::vector<Comb> combs;
    for (std::size_t length : kCombLengths) combs.emplace_back(length + spread);
    std::vector<AllPass> allPasses;
    for (std::size_t length : kAllPassLengths) allPasses.emplace_back(length + spread);
    const float feedback = 0.7f + 0.28f * roomSize;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const float x = in[i] * 0.045f;
        float sum = 0.0f;
        for (Comb& comb : combs) sum += comb.process(x, feedback, damping);
        for (AllPass& allPass : allPasses) sum = allPass.process(sum);
        out[i] = sum;
    }
}

}  // namespace

StereoBuffer pingPongDelay(const StereoBuffer& in, double delaySeconds, float feedback, float dampingHz) {
    StereoBuffer wet(in.frames());
    const auto delay = static_cast<std::size_t>(std::llround(delaySeconds * kSampleRate));
    if (delay == 0) return wet;
    std::vector<float> lineL(delay, 0.0f), lineR(delay, 0.0f);
    OnePole toneL, toneR;
    toneL.setup(dampingHz);
    toneR.setup(dampingHz);
    std::size_t index = 0;
    for (std::size_t i = 0; i < in.frames(); ++i) {
        const float outL = lineL[index];
        const float outR = lineR[index];
        wet.left[i] = outL;
        wet.right[i] = outR;
        // The input enters on the left; every pass crosses to the other side.
        lineL[index] = toneL.lowPass(0.5f * (in.left[i] + in.right[i]) + outR * feedback);
        lineR[index] = toneR.lowPass(outL * feedback);
        index = (index + 1) % delay;
    }
    return wet;
}

StereoBuffer roomReverb(const StereoBuffer& in, float roomSize, float damping) {
    StereoBuffer wet(in.frames());
    reverbSide(in.left, wet.left, 0, roomSize, damping);
    reverbSide(in.right, wet.right, kSpread, roomSize, damping);
    return wet;
}

std::vector<float> duckingCurve(std::size_t frames, const std::vector<double>& kickSeconds, float depth,
                                float recovery) {
    std::vector<float> gain(frames, 1.0f);
    const auto span = static_cast<std::size_t>(recovery * 6.0f * kSampleRate);
    const auto attack = static_cast<std::size_t>(0.004 * kSampleRate);
    for (double seconds : kickSeconds) {
        const std::size_t start = frameAt(seconds);
        for (std::size_t i = 0; i < span && start + i < frames; ++i) {
            const float t = static_cast<float>(i) / static_cast<float>(kSampleRate);
            // A few milliseconds' slope down avoids a click; then an exponential return.
            const float dip =
                depth * std::min(1.0f, static_cast<float>(i) / static_cast<float>(attack)) * std::exp(-t / recovery);
            gain[start + i] = std::min(gain[start + i], 1.0f - dip);
        }
    }
    return gain;
}

void removeRumble(StereoBuffer& buffer) {
    OnePole l, r;
    l.setup(25.0f);
    r.setup(25.0f);
    for (std::size_t i = 0; i < buffer.frames(); ++i) {
        buffer.left[i] = l.highPass(buffer.left[i]);
        buffer.right[i] = r.highPass(buffer.right[i]);
    }
}

float peakOf(const StereoBuffer& buffer) {
    float peak = 0.0f;
    for (float v : buffer.left) peak = std::max(peak, std::fabs(v));
    for (float v : buffer.right) peak = std::max(peak, std::fabs(v));
    return peak;
}

void limitPeaks(StereoBuffer& buffer, float ceiling, double attackSeconds, double releaseSeconds) {
    const std::size_t n = buffer.frames();
    const std::size_t w = std::max<std::size_t>(1, frameAt(attackSeconds) / 2);
    std::vector<float> need(n);
    for (std::size_t i = 0; i < n; ++i) {
        const float m = std::max(std::fabs(buffer.left[i]), std::fabs(buffer.right[i]));
        need[i] = m > ceiling ? ceiling / m : 1.0f;
    }
    // Each frame takes the least gain any frame within w of it needs; averaging that over the
    // same span then keeps every frame at or below its own need, with smooth slopes.
    std::vector<float> low(n);
    std::deque<std::size_t> window;  // frames of rising need, the least in front
    for (std::size_t j = 0, i = 0; i < n; ++i) {
        for (; j < n && j <= i + w; ++j) {
            while (!window.empty() && need[window.back()] >= need[j]) window.pop_back();
            window.push_back(j);
        }
        while (window.front() + w < i) window.pop_front();
        low[i] = need[window.front()];
    }
    std::vector<double> sum(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i) sum[i + 1] = sum[i] + low[i];
    const float keep = std::exp(-1.0f / static_cast<float>(releaseSeconds * kSampleRate));
    float dip = 0.0f;  // 1 - gain, fading away after each peak
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t from = i >= w ? i - w : 0;
        const std::size_t to = std::min(n, i + w + 1);
        // Frames past either end need no gain change.
        const auto outside = static_cast<double>(2 * w + 1 - (to - from));
        const auto smooth = static_cast<float>((sum[to] - sum[from] + outside) / static_cast<double>(2 * w + 1));
        dip = std::max(1.0f - smooth, dip * keep);
        // Floats would otherwise creep towards 1 for ever and never leave the quiet untouched.
        if (dip < 1e-6f) dip = 0.0f;
        const float gain = std::min(1.0f - dip, need[i]);
        buffer.left[i] *= gain;
        buffer.right[i] *= gain;
    }
}

void fadeOut(StereoBuffer& buffer, double seconds) {
    const auto span = std::min(buffer.frames(), frameAt(seconds));
    const std::size_t from = buffer.frames() - span;
    for (std::size_t i = 0; i < span; ++i) {
        const float u = static_cast<float>(i) / static_cast<float>(span);
        const float g = 0.5f + 0.5f * std::cos(u * 3.14159265f);
        buffer.left[from + i] *= g;
        buffer.right[from + i] *= g;
    }
}

}  // namespace assets
