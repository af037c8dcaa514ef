// Voices of the pitched instruments.
#include "tools/assets/instruments.h"

#include <algorithm>
#include <cmath>

#include "tools/assets/synth_units.h"

namespace assets {

namespace {

constexpr int kControlStep = 16;  // samples between filter updates
constexpr float kSecondsPerSample = 1.0f / static_cast<float>(kSampleRate);

// Start phases differ per note but never between runs.
std::uint64_t noteSeed(const NoteEvent& note, std::uint64_t salt) {
    return static_cast<std::uint64_t>(std::llround(note.start * 1000.0)) * 131u +
           static_cast<std::uint64_t>(note.pitch * 8.0f) + salt;
}

std::size_t noteFrames(const NoteEvent& note, const Adsr& envelope) {
    return static_cast<std::size_t>(std::ceil(envelope.length(static_cast<float>(note.length)) * kSampleRate)) + 1;
}

}  // namespace

void renderPadNote(const NoteEvent& note, const Automation& cutoff, StereoBuffer& out) {
    const Adsr envelope{0.35f, 1.2f, 0.8f, 1.1f};
    Random random(noteSeed(note, 1));
    Oscillator saws[3] = {Oscillator(random.uniform()), Oscillator(random.uniform()), Oscillator(random.uniform())};
    const float hz = midiToHz(note.pitch);
    const float detune[3] = {std::exp2(-0.11f / 12.0f), 1.0f, std::exp2(0.11f / 12.0f)};
    StateVariableFilter filters[2];
    const std::size_t start = frameAt(note.start);
    const std::size_t frames = noteFrames(note, envelope);
    const float gain = 0.13f * note.velocity;
    const auto gate = static_cast<float>(note.length);
    for (std::size_t i = 0; i < frames && start + i < out.frames(); ++i) {
        const float t = static_cast<float>(i) * kSecondsPerSample;
        if (i % kControlStep == 0) {
            const float hzCut = cutoff.at(note.start + t) * (1.0f + 0.15f * std::sin(t * 1.3f));
            for (StateVariableFilter& f : filters) f.setup(hzCut, 0.9f);
        }
        const float a = saws[0].saw(hz * detune[0]);
        const float b = saws[1].saw(hz * detune[1]);
        const float c = saws[2].saw(hz * detune[2]);
        const float level = envelope.level(t, gate) * gain;
        const float l = filters[0].process(a + 0.7f * b).low * level;
        const float r = filters[1].process(c + 0.7f * b).low * level;
        // Spread the chord: each note leans to its own side.
        const float lean = 0.5f + 0.5f * note.pan;
        out.left[start + i] += l * (1.2f - lean * 0.6f);
        out.right[start + i] += r * (0.6f + lean * 0.6f);
    }
}

void renderBassNote(const NoteEvent& note, StereoBuffer& out) {
    const Adsr envelope{0.004f, 0.25f, 0.75f, 0.06f};
    Oscillator saw;
    Oscillator sub;
    StateVariableFilter filter;
    const float hz = midiToHz(note.pitch);
    const std::size_t start = frameAt(note.start);
    const std::size_t frames = noteFrames(note, envelope);
    const float gain = 0.46f * note.velocity;
    const auto gate = static_cast<float>(note.length);
    for (std::size_t i = 0; i < frames && start + i < out.frames(); ++i) {
        const float t = static_cast<float>(i) * kSecondsPerSample;
        if (i % kControlStep == 0) filter.setup(160.0f + 1300.0f * note.velocity * std::exp(-t / 0.09f), 1.3f);
        const float body = filter.process(saw.saw(hz)).low;
        const float s = (body * 0.8f + 0.75f * sub.sine(hz * 0.5f)) * envelope.level(t, gate) * gain;
        out.left[start + i] += s;
        out.right[start + i] += s;
    }
}

void renderLeadNote(const NoteEvent& note, StereoBuffer& out) {
    const Adsr envelope{0.012f, 0.35f, 0.72f, 0.22f};
    Random random(noteSeed(note, 2));
    Oscillator a(random.uniform()), b(random.uniform()), sq(random.uniform()), vibrato;
    StateVariableFilter filter;
    const float hz = midiToHz(note.pitch);
    const std::size_t start = frameAt(note.start);
    const std::size_t frames = noteFrames(note, envelope);
    const float gain = 0.3f * note.velocity;
    const auto gate = static_cast<float>(note.length);
    for (std::size_t i = 0; i < frames && start + i < out.frames(); ++i) {
        const float t = static_cast<float>(i) * kSecondsPerSample;
        if (i % kControlStep == 0) filter.setup(1800.0f + 2600.0f * std::exp(-t / 0.15f), 1.1f);
        // Vibrato comes in after a quarter second, as a singer's would.
        const float depth = 0.12f * std::clamp((t - 0.25f) / 0.3f, 0.0f, 1.0f);
        const float bend = std::exp2(depth * vibrato.sine(5.4f) / 12.0f);
        const float f = hz * bend;
        const float raw = a.saw(f * 1.004f) + b.saw(f * 0.996f) + 0.45f * sq.square(f * 0.5f);
        const float s = filter.process(raw).low * envelope.level(t, gate) * gain;
        out.addPanned(start + i, s, note.pan);
    }
}

void renderPluckNote(const NoteEvent& note, StereoBuffer& out) {
    const Adsr envelope{0.002f, 0.28f, 0.0f, 0.08f};
    Oscillator saw, tri;
    StateVariableFilter filter;
    const float hz = midiToHz(note.pitch);
    const std::size_t start = frameAt(note.start);
    const std::size_t frames = noteFrames(note, envelope);
    const float gain = 0.45f * note.velocity;
    const auto gate = static_cast<float>(note.length);
    for (std::size_t i = 0; i < frames && start + i < out.frames(); ++i) {
        const float t = static_cast<float>(i) * kSecondsPerSample;
        if (i % kControlStep == 0) filter.setup(350.0f + 3800.0f * note.velocity * std::exp(-t / 0.05f), 1.6f);
        const float raw = saw.saw(hz) + 0.5f * tri.triangle(hz * 2.0f);
        const float s = filter.process(raw).low * envelope.level(t, gate) * gain;
        out.addPanned(start + i, s, note.pan);
    }
}

void renderBellNote(const NoteEvent& note, StereoBuffer& out) {
    // A bell rings on past its note: it is held at least its natural decay, then let go.
    const float ring = std::max(static_cast<float>(note.length), 1.6f);
    const Adsr envelope{0.002f, 0.0f, 1.0f, 0.5f};
    Oscillator carrier, modulator, shimmer;
    const float hz = midiToHz(note.pitch);
    const std::size_t start = frameAt(note.start);
    const std::size_t frames = static_cast<std::size_t>(envelope.length(ring) * kSampleRate) + 1;
    const float gain = 0.2f * note.velocity;
    // High notes get fewer sidebands, so none of them folds back past Nyquist.
    const float brightness = std::min(1.0f, 700.0f / hz);
    for (std::size_t i = 0; i < frames && start + i < out.frames(); ++i) {
        const float t = static_cast<float>(i) * kSecondsPerSample;
        // Phase modulation: the modulator bends the carrier's phase (radians), less as it rings.
        const float index = 0.3f + 2.2f * brightness * std::exp(-t / 0.3f);
        const float bent = std::sin(2.0f * 3.14159265f * carrier.phase() + index * modulator.sine(hz * 2.0f));
        carrier.sine(hz);
        const float shine = 0.15f * shimmer.sine(hz * 4.01f) * std::exp(-t / 0.12f);
        const float s = (bent + shine) * std::exp(-t / 0.9f) * envelope.level(t, ring) * gain;
        out.addPanned(start + i, s, note.pan);
    }
}

}  // namespace assets
