// The synthesiser's units and effects: envelope shapes, oscillator pitch, filter response and
// stability, echo and reverb timing, ducking and the limiter.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/assets/effects.h"
#include "tools/assets/score.h"
#include "tools/assets/synth_units.h"

using namespace assets;

namespace {

// Root-mean-square of a filter's low-pass output for a sine, after it settles.
float lowPassGain(float cutoff, float q, float hz) {
    StateVariableFilter f;
    f.setup(cutoff, q);
    Oscillator o;
    double in = 0.0, out = 0.0;
    for (int i = 0; i < kSampleRate; ++i) {
        const float x = o.sine(hz);
        const float y = f.process(x).low;
        if (i > kSampleRate / 2) {
            in += x * x;
            out += y * y;
        }
    }
    return static_cast<float>(std::sqrt(out / in));
}

int zeroCrossingsUp(float (Oscillator::*wave)(float), float hz) {
    Oscillator o;
    int count = 0;
    float previous = (o.*wave)(hz);
    for (int i = 1; i < kSampleRate; ++i) {
        const float v = (o.*wave)(hz);
        if (previous < 0.0f && v >= 0.0f) ++count;
        previous = v;
    }
    return count;
}

}  // namespace

TEST(Envelope, RisesDecaysSustainsAndReleasesExactly) {
    const Adsr e{0.1f, 0.2f, 0.6f, 0.5f};
    EXPECT_FLOAT_EQ(e.level(0.0f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(e.level(0.05f, 1.0f), 0.5f) << "linear attack";
    EXPECT_FLOAT_EQ(e.level(0.1f, 1.0f), 1.0f);
    EXPECT_GT(e.level(0.15f, 1.0f), 0.6f);
    EXPECT_LT(e.level(0.15f, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(e.level(0.3f, 1.0f), 0.6f);
    EXPECT_FLOAT_EQ(e.level(0.9f, 1.0f), 0.6f);
    EXPECT_FLOAT_EQ(e.level(1.5f, 1.0f), 0.0f) << "silent exactly at the end of the release";
    EXPECT_FLOAT_EQ(e.level(3.0f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(e.level(-0.1f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(e.length(1.0f), 1.5f);
    float previous = 1.0f;
    for (float t = 1.0f; t <= 1.5f; t += 0.01f) {
        const float v = e.level(t, 1.0f);
        EXPECT_LE(v, previous + 1e-6f) << "the release only falls";
        previous = v;
    }
}

TEST(Envelope, ReleaseDuringTheAttackStartsFromWhereItWas) {
    const Adsr e{0.4f, 0.2f, 0.5f, 0.3f};
    const float before = e.level(0.0999f, 0.1f);
    const float after = e.level(0.1001f, 0.1f);
    EXPECT_NEAR(before, 0.25f, 0.01f);
    EXPECT_NEAR(after, before, 0.01f) << "no jump when the note ends early";
    const Adsr instant{0.0f, 0.0f, 1.0f, 0.0f};
    EXPECT_FLOAT_EQ(instant.level(0.0f, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(instant.level(1.0f, 1.0f), 0.0f);
}

TEST(Oscillators, PlayThePitchAskedForWithinRange) {
    EXPECT_NEAR(zeroCrossingsUp(&Oscillator::sine, 441.0f), 441, 1);
    EXPECT_NEAR(zeroCrossingsUp(&Oscillator::saw, 441.0f), 441, 1);
    EXPECT_NEAR(zeroCrossingsUp(&Oscillator::square, 300.0f), 300, 1);
    EXPECT_NEAR(zeroCrossingsUp(&Oscillator::triangle, 100.0f), 100, 1);
    EXPECT_NEAR(midiToHz(69.0f), 440.0f, 1e-3f);
    EXPECT_NEAR(midiToHz(57.0f), 220.0f, 1e-3f);

    Oscillator saw, square;
    double sum = 0.0;
    for (int i = 0; i < kSampleRate; ++i) {
        const float s = saw.saw(1234.5f);
        const float q = square.square(3000.0f);
        ASSERT_LE(std::fabs(s), 1.1f);
        ASSERT_LE(std::fabs(q), 1.1f);
        sum += s;
    }
    EXPECT_NEAR(sum / kSampleRate, 0.0, 0.01) << "no offset";
}

TEST(Filters, LowAndHighPassShapeTheSpectrum) {
    EXPECT_NEAR(lowPassGain(2000.0f, 0.707f, 100.0f), 1.0f, 0.02f);
    EXPECT_LT(lowPassGain(2000.0f, 0.707f, 8000.0f), 0.1f);
    EXPECT_NEAR(lowPassGain(1000.0f, 0.707f, 1000.0f), 0.707f, 0.03f) << "-3 dB at the cutoff";
    EXPECT_GT(lowPassGain(1000.0f, 5.0f, 1000.0f), 3.0f) << "resonance rings at the cutoff";

    StateVariableFilter f;
    f.setup(2000.0f, 0.707f);
    Oscillator o;
    double in = 0.0, out = 0.0;
    for (int i = 0; i < kSampleRate; ++i) {
        const float x = o.sine(80.0f);
        const float y = f.process(x).high;
        in += x * x;
        out += y * y;
    }
    EXPECT_LT(out / in, 0.01) << "the high-pass holds back a low tone";

    OnePole smooth;
    smooth.setup(10.0f);
    float v = 0.0f;
    for (int i = 0; i < kSampleRate; ++i) v = smooth.lowPass(1.0f);
    EXPECT_NEAR(v, 1.0f, 1e-3f) << "a step settles";
}

TEST(Filters, StayStableAtEveryCutoffAndResonance) {
    Noise noise(11);
    Random random(5);
    for (float q : {0.05f, 0.5f, 0.707f, 4.0f, 30.0f}) {
        for (float cutoff : {-100.0f, 0.0f, 20.0f, 1000.0f, 11000.0f, 50000.0f}) {
            StateVariableFilter f;
            f.setup(cutoff, q);
            float peak = 0.0f;
            for (int i = 0; i < 20000; ++i) {
                const auto o = f.process(noise.next());
                ASSERT_TRUE(std::isfinite(o.low) && std::isfinite(o.band) && std::isfinite(o.high))
                    << cutoff << " " << q;
                peak = std::max(peak, std::fabs(o.low));
            }
            EXPECT_LT(peak, 200.0f) << cutoff << " " << q;
        }
    }
    // Cutoff changed on every sample, as the instruments sweep it.
    StateVariableFilter swept;
    for (int i = 0; i < 100000; ++i) {
        if (i % 3 == 0) swept.setup(random.range(20.0f, 11000.0f), random.range(0.3f, 8.0f));
        const auto o = swept.process(noise.next());
        ASSERT_TRUE(std::isfinite(o.low));
        ASSERT_LT(std::fabs(o.low), 1000.0f);
    }
}

TEST(Noise, IsRepeatableFromItsSeedAndCentred) {
    Noise a(42), b(42), c(43);
    double sum = 0.0;
    bool differs = false;
    for (int i = 0; i < 50000; ++i) {
        const float x = a.next();
        ASSERT_EQ(x, b.next());
        differs |= x != c.next();
        ASSERT_GE(x, -1.0f);
        ASSERT_LT(x, 1.0f);
        sum += x;
    }
    EXPECT_TRUE(differs);
    EXPECT_NEAR(sum / 50000.0, 0.0, 0.02);
}

TEST(Effects, EchoBouncesFromSideToSideAtTheDelay) {
    StereoBuffer impulse(kSampleRate * 2);
    impulse.left[100] = 1.0f;
    impulse.right[100] = 1.0f;
    const StereoBuffer wet = pingPongDelay(impulse, 0.25, 0.5f, 11000.0f);
    const std::size_t d = frameAt(0.25);
    auto strongest = [](const std::vector<float>& v) {
        return static_cast<std::size_t>(
            std::max_element(v.begin(), v.end(), [](float x, float y) { return std::fabs(x) < std::fabs(y); }) -
            v.begin());
    };
    EXPECT_NEAR(static_cast<double>(strongest(wet.left)), 100.0 + d, 2.0);
    EXPECT_FLOAT_EQ(wet.right[100 + d], 0.0f) << "the first echo is on the left only";
    EXPECT_GT(std::fabs(wet.right[100 + 2 * d]) + std::fabs(wet.right[101 + 2 * d]), 0.1f);
    EXPECT_FLOAT_EQ(wet.left[50], 0.0f);
}

TEST(Effects, ReverbRingsAndDiesAway) {
    StereoBuffer impulse(kSampleRate * 8);
    impulse.left[0] = 1.0f;
    impulse.right[0] = 1.0f;
    const StereoBuffer wet = roomReverb(impulse, 0.82f, 0.35f);
    auto energy = [&](double from, double to) {
        double e = 0.0;
        for (std::size_t i = frameAt(from); i < frameAt(to); ++i) {
            EXPECT_TRUE(std::isfinite(wet.left[i]));
            e += wet.left[i] * wet.left[i] + wet.right[i] * wet.right[i];
        }
        return e;
    };
    const double early = energy(0.0, 1.0);
    EXPECT_GT(early, 0.0);
    EXPECT_LT(energy(6.0, 8.0), early * 1e-4);
    EXPECT_NE(wet.left[frameAt(0.3)], wet.right[frameAt(0.3)]) << "the sides are tuned apart";
}

TEST(Effects, DuckingDipsAtEachKickAndRecovers) {
    const std::vector<float> gain = duckingCurve(frameAt(2.0), {0.5, 1.0}, 0.8f, 0.1f);
    EXPECT_FLOAT_EQ(gain[frameAt(0.4)], 1.0f);
    const float low = *std::min_element(gain.begin() + static_cast<std::ptrdiff_t>(frameAt(0.5)),
                                        gain.begin() + static_cast<std::ptrdiff_t>(frameAt(0.52)));
    EXPECT_NEAR(low, 0.23f, 0.02f);
    EXPECT_GT(gain[frameAt(0.95)], 0.98f) << "back up before the next kick";
    EXPECT_GT(gain[frameAt(0.5)], 0.9f) << "the dip slopes in without a click";
    for (float g : gain) {
        ASSERT_GE(g, 0.2f - 1e-6f);
        ASSERT_LE(g, 1.0f);
    }
}

TEST(Effects, LimiterHoldsTheCeilingAndLeavesTheQuietAlone) {
    // Quiet sine throughout, with two loud bursts standing out of it.
    StereoBuffer b(frameAt(2.5));
    for (std::size_t i = 0; i < b.frames(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const bool burst = (t > 0.5 && t < 0.52) || (t > 1.2 && t < 1.25);
        const auto v = static_cast<float>((burst ? 1.5 : 0.3) * std::sin(2.0 * 3.14159265 * 330.0 * t));
        b.left[i] = v;
        b.right[i] = -0.5f * v;
    }
    StereoBuffer limited = b;
    limitPeaks(limited, 0.8f, 0.004, 0.05);
    EXPECT_LE(peakOf(limited), 0.8f);
    EXPECT_GT(peakOf(limited), 0.75f) << "the bursts reach the ceiling";
    // Well before the first burst and long after the last, nothing is touched.
    for (double t : {0.2, 0.4, 2.2}) EXPECT_EQ(limited.left[frameAt(t)], b.left[frameAt(t)]) << t;
    // Both sides take the same gain, so the image stays put.
    for (std::size_t i = 1; i < b.frames(); ++i) {
        if (b.left[i] != 0.0f) {
            ASSERT_NEAR(limited.right[i] / limited.left[i], -0.5f, 1e-4f) << i;
        }
    }
    // The gain is already down when the burst starts and comes back up smoothly after it.
    const float before = std::fabs(limited.left[frameAt(0.5)] / b.left[frameAt(0.5)]);
    EXPECT_LT(before, 0.9f);
    float gain = 0.0f;
    for (std::size_t i = frameAt(0.53); i < frameAt(0.8); ++i) {
        if (std::fabs(b.left[i]) < 0.1f) continue;
        const float g = limited.left[i] / b.left[i];
        ASSERT_GE(g, gain - 1e-4f) << "recovers without dipping again";
        gain = g;
    }
    EXPECT_GT(gain, 0.99f);
}

TEST(Effects, FadeOutEndsInSilenceAndLeavesTheRest) {
    StereoBuffer b(frameAt(3.0));
    std::fill(b.left.begin(), b.left.end(), 0.5f);
    std::fill(b.right.begin(), b.right.end(), -0.5f);
    fadeOut(b, 1.0);
    EXPECT_FLOAT_EQ(b.left[frameAt(1.9)], 0.5f);
    EXPECT_NEAR(b.left[frameAt(2.5)], 0.25f, 0.01f);
    EXPECT_NEAR(b.right.back(), 0.0f, 1e-4f);
    removeRumble(b);
    EXPECT_LT(std::fabs(b.left[frameAt(1.5)]), 0.01f) << "a constant offset is rumble";
}

TEST(Automation, MovesInStraightLinesAndHoldsAtTheEnds) {
    Automation a;
    EXPECT_EQ(a.at(1.0), 0.0f);
    a.points = {{1.0, 100.0f}, {3.0, 300.0f}, {3.0, 1000.0f}, {4.0, 0.0f}};
    EXPECT_FLOAT_EQ(a.at(0.0), 100.0f);
    EXPECT_FLOAT_EQ(a.at(2.0), 200.0f);
    EXPECT_FLOAT_EQ(a.at(3.0), 1000.0f) << "a jump at one moment";
    EXPECT_FLOAT_EQ(a.at(3.5), 500.0f);
    EXPECT_FLOAT_EQ(a.at(9.0), 0.0f);
}
