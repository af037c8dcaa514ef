// Kick, snare, clap, hats, crash, toms, risers and impacts.
#include "tools/assets/drums.h"

#include <algorithm>
#include <cmath>

#include "tools/assets/synth_units.h"

namespace assets {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kDt = 1.0f / static_cast<float>(kSampleRate);

std::uint64_t hitSeed(const DrumHit& hit) {
    return static_cast<std::uint64_t>(std::llround(hit.start * 10000.0)) * 7u + static_cast<std::uint64_t>(hit.kind);
}

// Calls voice(t) -> (left, right) for every frame of the hit and adds the result.
template <typename Voice>
void renderStereo(const DrumHit& hit, StereoBuffer& out, Voice voice) {
    const std::size_t start = frameAt(hit.start);
    const auto frames = static_cast<std::size_t>(drumSeconds(hit) * kSampleRate);
    const float angle = (hit.pan + 1.0f) * 0.25f * kPi;
    const float panL = std::cos(angle) * 1.41421356f;
    const float panR = std::sin(angle) * 1.41421356f;
    for (std::size_t i = 0; i < frames && start + i < out.frames(); ++i) {
        const auto [l, r] = voice(static_cast<float>(i) * kDt);
        out.left[start + i] += l * panL * hit.velocity;
        out.right[start + i] += r * panR * hit.velocity;
    }
}

void kick(const DrumHit& hit, StereoBuffer& out) {
    Oscillator body;
    Noise noise(hitSeed(hit));
    OnePole clickFilter;
    clickFilter.setup(3000.0f);
    renderStereo(hit, out, [&](float t) {
        const float hz = 48.0f + 120.0f * std::exp(-t / 0.03f) + 60.0f * std::exp(-t / 0.004f);
        const float amp = std::exp(-t / 0.3f) * std::min(1.0f, t / 0.0008f);
        const float click = clickFilter.lowPass(noise.next()) * std::exp(-t / 0.003f) * 0.8f;
        const float s = std::tanh(1.6f * (body.sine(hz) * amp + click)) * 0.4f;
        return std::pair{s, s};
    });
}

void snare(const DrumHit& hit, StereoBuffer& out) {
    Oscillator tone;
    Noise noise(hitSeed(hit));
    StateVariableFilter band;
    band.setup(2200.0f, 0.6f);
    OnePole low;
    low.setup(500.0f);
    renderStereo(hit, out, [&](float t) {
        const float body = tone.sine(180.0f + 60.0f * std::exp(-t / 0.02f)) * std::exp(-t / 0.05f) * 0.45f;
        const float n = noise.next();
        const float rattle = (band.process(n).band * 1.4f + 0.4f * (n - low.lowPass(n))) * std::exp(-t / 0.12f) * 0.5f;
        const float s = (body + rattle) * 0.4f;
        return std::pair{s, s};
    });
}

void clap(const DrumHit& hit, StereoBuffer& out) {
    Noise noise(hitSeed(hit));
    StateVariableFilter bandL, bandR;
    bandL.setup(1300.0f, 1.4f);
    bandR.setup(1450.0f, 1.4f);
    renderStereo(hit, out, [&](float t) {
        // Three quick claps smeared into one, then the room.
        float env = 0.0f;
        for (float at : {0.0f, 0.011f, 0.023f}) {
            if (t >= at) env = std::max(env, std::exp(-(t - at) / 0.007f));
        }
        if (t >= 0.023f) env = std::max(env, 0.55f * std::exp(-(t - 0.023f) / 0.14f));
        const float a = noise.next();
        const float b = noise.next();
        return std::pair{bandL.process(a).band * env * 0.6f, bandR.process(b).band * env * 0.6f};
    });
}

void hat(const DrumHit& hit, StereoBuffer& out, float decay) {
    Noise noise(hitSeed(hit));
    StateVariableFilter high, ring, air;
    high.setup(7000.0f, 0.7f);
    ring.setup(8200.0f, 3.0f);
    air.setup(10200.0f, 1.5f);
    renderStereo(hit, out, [&](float t) {
        const float n = noise.next();
        const float s = (high.process(n).high + 0.4f * ring.process(n).band + 0.35f * air.process(n).band) *
                        std::exp(-t / decay) * 0.22f;
        return std::pair{s, s};
    });
}

void crash(const DrumHit& hit, StereoBuffer& out) {
    Noise noiseL(hitSeed(hit)), noiseR(hitSeed(hit) + 99);
    StateVariableFilter highL, highR, ringL, ringR;
    highL.setup(3500.0f, 0.6f);
    highR.setup(3600.0f, 0.6f);
    ringL.setup(5200.0f, 4.0f);
    ringR.setup(6100.0f, 4.0f);
    renderStereo(hit, out, [&](float t) {
        const float env = std::exp(-t / 0.85f) * std::min(1.0f, t / 0.002f) * 0.2f;
        const float a = noiseL.next();
        const float b = noiseR.next();
        return std::pair{(highL.process(a).high + 0.3f * ringL.process(a).band) * env,
                         (highR.process(b).high + 0.3f * ringR.process(b).band) * env};
    });
}

void tom(const DrumHit& hit, StereoBuffer& out) {
    Oscillator body;
    Noise noise(hitSeed(hit));
    OnePole low;
    low.setup(1200.0f);
    renderStereo(hit, out, [&](float t) {
        const float hz = hit.pitch * (1.0f + 0.5f * std::exp(-t / 0.03f));
        const float s = (body.sine(hz) * 0.8f + low.lowPass(noise.next()) * 0.3f * std::exp(-t / 0.02f)) *
                        std::exp(-t / 0.2f) * 0.5f;
        return std::pair{s, s};
    });
}

void riser(const DrumHit& hit, StereoBuffer& out) {
    Noise noiseL(hitSeed(hit)), noiseR(hitSeed(hit) + 5);
    StateVariableFilter bandL, bandR;
    const auto length = static_cast<float>(hit.length);
    std::size_t i = 0;
    renderStereo(hit, out, [&](float t) {
        const float u = std::clamp(t / length, 0.0f, 1.0f);
        if (i++ % 16 == 0) {
            const float hz = 300.0f * std::pow(25.0f, u);  // 300 Hz up to 7.5 kHz
            bandL.setup(hz, 2.5f);
            bandR.setup(hz * 1.06f, 2.5f);
        }
        const float env = u * u * 0.2f * std::min(1.0f, (1.0f - u) * 200.0f);
        return std::pair{bandL.process(noiseL.next()).band * env, bandR.process(noiseR.next()).band * env};
    });
}

void impact(const DrumHit& hit, StereoBuffer& out) {
    Oscillator boom;
    Noise noise(hitSeed(hit));
    StateVariableFilter low;
    low.setup(900.0f, 0.7f);
    renderStereo(hit, out, [&](float t) {
        const float s =
            std::tanh(1.4f * boom.sine(34.0f + 40.0f * std::exp(-t / 0.15f)) * std::exp(-t / 0.9f)) * 0.32f +
            low.process(noise.next()).low * std::exp(-t / 0.35f) * 0.25f;
        return std::pair{s, s};
    });
}

}  // namespace

double drumSeconds(const DrumHit& hit) {
    switch (hit.kind) {
        case DrumKind::kKick: return 0.7;
        case DrumKind::kSnare: return 0.5;
        case DrumKind::kClap: return 0.7;
        case DrumKind::kClosedHat: return 0.15;
        case DrumKind::kOpenHat: return 0.6;
        case DrumKind::kCrash: return 4.0;
        case DrumKind::kTom: return 0.8;
        case DrumKind::kRiser: return hit.length;
        case DrumKind::kImpact: return 3.5;
    }
    return 0.0;
}

void renderDrum(const DrumHit& hit, StereoBuffer& out) {
    switch (hit.kind) {
        case DrumKind::kKick: kick(hit, out); break;
        case DrumKind::kSnare: snare(hit, out); break;
        case DrumKind::kClap: clap(hit, out); break;
        case DrumKind::kClosedHat: hat(hit, out, 0.028f); break;
        case DrumKind::kOpenHat: hat(hit, out, 0.16f); break;
        case DrumKind::kCrash: crash(hit, out); break;
        case DrumKind::kTom: tom(hit, out); break;
        case DrumKind::kRiser: riser(hit, out); break;
        case DrumKind::kImpact: impact(hit, out); break;
    }
}

}  // namespace assets
