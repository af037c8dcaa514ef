// Echo, reverb, ducking and the master stage.
#include "tools/assets/effects.h"

#include <algorithm>
#include <cmath>

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

void masterToPeak(StereoBuffer& buffer, float peak) {
    const float before = peakOf(buffer);
    if (!(before > 0.0f) || !std::isfinite(before)) return;
    // Normalise to 1, pass everything below the knee unchanged and bend what lies above it
    // smoothly towards 1, then scale to the wanted peak.
    constexpr float kKnee = 0.6f;
    auto shape = [&](float v) {
        const float x = std::fabs(v) / before;
        float y = x;
        if (x > kKnee) y = kKnee + (1.0f - kKnee) * std::tanh((x - kKnee) / (1.0f - kKnee));
        return std::copysign(y, v);
    };
    for (float& v : buffer.left) v = shape(v);
    for (float& v : buffer.right) v = shape(v);
    const float after = peakOf(buffer);
    const float scale = peak / after;
    for (float& v : buffer.left) v *= scale;
    for (float& v : buffer.right) v *= scale;
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
