// Oscillators, envelopes and filters of the synthesiser.
#include "tools/assets/synth_units.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

constexpr float kPi = 3.14159265358979f;

float cubicFall(float x) {  // 1 at x = 0 down to 0 at x = 1, flat at the end
    const float u = 1.0f - std::clamp(x, 0.0f, 1.0f);
    return u * u * u;
}

}  // namespace

float midiToHz(float note) { return 440.0f * std::exp2((note - 69.0f) / 12.0f); }

float Adsr::level(float t, float gate) const {
    if (t < 0.0f) return 0.0f;
    auto held = [this](float time) {
        if (time < attack) return attack > 0.0f ? time / attack : 1.0f;
        const float intoDecay = time - attack;
        if (intoDecay < decay) return sustain + (1.0f - sustain) * cubicFall(intoDecay / decay);
        return sustain;
    };
    if (t < gate) return held(t);
    const float atRelease = held(gate);
    if (release <= 0.0f) return 0.0f;
    return atRelease * cubicFall((t - gate) / release);
}

float polyBlep(float t, float dt) {
    if (dt <= 0.0f) return 0.0f;
    if (t < dt) {
        const float x = t / dt;
        return x + x - x * x - 1.0f;
    }
    if (t > 1.0f - dt) {
        const float x = (t - 1.0f) / dt;
        return x * x + x + x + 1.0f;
    }
    return 0.0f;
}

float Oscillator::advance(float hz) {
    const float p = phase_;
    phase_ += hz / static_cast<float>(kSampleRate);
    phase_ -= std::floor(phase_);
    return p;
}

float Oscillator::sine(float hz) { return std::sin(2.0f * kPi * advance(hz)); }

float Oscillator::saw(float hz) {
    const float dt = std::min(hz / static_cast<float>(kSampleRate), 0.5f);
    const float p = advance(hz);
    return 2.0f * p - 1.0f - polyBlep(p, dt);
}

float Oscillator::square(float hz) {
    const float dt = std::min(hz / static_cast<float>(kSampleRate), 0.5f);
    const float p = advance(hz);
    float v = p < 0.5f ? 1.0f : -1.0f;
    v += polyBlep(p, dt);
    float shifted = p + 0.5f;
    shifted -= std::floor(shifted);
    v -= polyBlep(shifted, dt);
    return v;
}

float Oscillator::triangle(float hz) {
    const float p = advance(hz);
    return 4.0f * std::fabs(p - 0.5f) - 1.0f;
}

void StateVariableFilter::setup(float cutoff, float q) {
    cutoff = std::clamp(cutoff, 10.0f, 0.45f * static_cast<float>(kSampleRate));
    g_ = std::tan(kPi * cutoff / static_cast<float>(kSampleRate));
    k_ = 1.0f / std::max(q, 0.05f);
    a1_ = 1.0f / (1.0f + g_ * (g_ + k_));
    a2_ = g_ * a1_;
    a3_ = g_ * a2_;
}

StateVariableFilter::Outputs StateVariableFilter::process(float input) {
    const float v3 = input - ic2_;
    const float v1 = a1_ * ic1_ + a2_ * v3;
    const float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
    ic1_ = 2.0f * v1 - ic1_;
    ic2_ = 2.0f * v2 - ic2_;
    return {v2, v1, input - k_ * v1 - v2};
}

void OnePole::setup(float cutoff) {
    coefficient_ = 1.0f - std::exp(-2.0f * kPi * std::max(cutoff, 0.0f) / static_cast<float>(kSampleRate));
}

}  // namespace assets
