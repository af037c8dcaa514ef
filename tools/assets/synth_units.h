// The synthesiser's building blocks: band-limited oscillators, envelopes, filters and noise.
// Everything is deterministic and runs at kSampleRate.
#pragma once

#include <cstdint>

#include "tools/assets/audio_buffer.h"
#include "tools/assets/random.h"

namespace assets {

float midiToHz(float note);

// Attack-decay-sustain-release envelope as a function of time since note-on, for a note held
// `gate` seconds. Attack rises linearly to 1; decay and release follow a cubic curve that
// lands exactly on the sustain level and on 0.
struct Adsr {
    float attack = 0.01f;
    float decay = 0.1f;
    float sustain = 0.7f;
    float release = 0.2f;

    float level(float t, float gate) const;
    // Seconds from note-on until the envelope is silent for good.
    float length(float gate) const { return gate + release; }
};

// Phase-accumulating oscillator; `polyBlep` rounds the saw's and square's jumps so they alias little.
class Oscillator {
public:
    explicit Oscillator(float phase = 0.0f) : phase_(phase) {}
    float sine(float hz);
    float saw(float hz);
    float square(float hz);
    float triangle(float hz);
    float phase() const { return phase_; }

private:
    float advance(float hz);  // returns this sample's phase in [0, 1) and steps on
    float phase_;
};

float polyBlep(float t, float dt);

// State-variable filter (trapezoidal integration): stable for every cutoff below Nyquist and
// every resonance, giving low-, band- and high-pass outputs together.
class StateVariableFilter {
public:
    struct Outputs {
        float low, band, high;
    };
    // Cutoff in Hz (clamped below Nyquist), q > 0 (0.5 gentle, 0.707 flat, higher rings).
    void setup(float cutoff, float q);
    Outputs process(float input);
    void reset() { ic1_ = ic2_ = 0.0f; }

private:
    float g_ = 0.0f, k_ = 1.0f, a1_ = 0.0f, a2_ = 0.0f, a3_ = 0.0f;
    float ic1_ = 0.0f, ic2_ = 0.0f;
};

// One-pole smoothing low-pass; highPass is the input minus the low-pass.
class OnePole {
public:
    void setup(float cutoff);
    float lowPass(float input) {
        state_ += coefficient_ * (input - state_);
        return state_;
    }
    float highPass(float input) { return input - lowPass(input); }

private:
    float coefficient_ = 1.0f;
    float state_ = 0.0f;
};

// White noise in [-1, 1) from a fixed seed.
class Noise {
public:
    explicit Noise(std::uint64_t seed) : random_(seed) {}
    float next() { return random_.bipolar(); }

private:
    Random random_;
};

}  // namespace assets
