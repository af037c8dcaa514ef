// The loudness meter: the standard's filter at its reference rate, the reading of a known tone,
// the gates, the true peak between samples and the music check's one-line verdicts.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/assets/effects.h"
#include "tools/assets/loudness.h"
#include "tools/assets/music.h"

using namespace assets;

namespace {

// A sine on the chosen sides between two times of a buffer, `db` below full scale.
void addTone(StereoBuffer& b, double rate, double hz, double db, double from, double to, bool left, bool right) {
    const double amplitude = std::pow(10.0, db / 20.0);
    for (auto i = static_cast<std::size_t>(from * rate); i < static_cast<std::size_t>(to * rate); ++i) {
        const auto v =
            static_cast<float>(amplitude * std::sin(2.0 * 3.14159265358979 * hz * static_cast<double>(i) / rate));
        if (left) b.left[i] += v;
        if (right) b.right[i] += v;
    }
}

}  // namespace

TEST(Loudness, KWeightingMatchesTheStandardsCoefficientsAt48kHz) {
    const auto f = kWeighting(48000.0);
    EXPECT_NEAR(f[0].b0, 1.53512485958697, 1e-9);
    EXPECT_NEAR(f[0].b1, -2.69169618940638, 1e-9);
    EXPECT_NEAR(f[0].b2, 1.19839281085285, 1e-9);
    EXPECT_NEAR(f[0].a1, -1.69065929318241, 1e-9);
    EXPECT_NEAR(f[0].a2, 0.73248077421585, 1e-9);
    EXPECT_EQ(f[1].b0, 1.0);
    EXPECT_EQ(f[1].b1, -2.0);
    EXPECT_EQ(f[1].b2, 1.0);
    EXPECT_NEAR(f[1].a1, -1.99004745483398, 1e-9);
    EXPECT_NEAR(f[1].a2, 0.99007225036621, 1e-9);
}

TEST(Loudness, A997HzToneReadsAsTheStandardSays) {
    // Full scale on both sides reads 0 LUFS (FFmpeg's ebur128 agrees), one side alone 3 dB
    // less, and the reading follows the level decibel for decibel, at either rate.
    for (double rate : {22050.0, 48000.0}) {
        SCOPED_TRACE(rate);
        const auto frames = static_cast<std::size_t>(5.0 * rate);
        StereoBuffer both(frames), one(frames), quiet(frames);
        addTone(both, rate, 997.0, 0.0, 0.0, 5.0, true, true);
        addTone(one, rate, 997.0, 0.0, 0.0, 5.0, true, false);
        addTone(quiet, rate, 997.0, -23.0, 0.0, 5.0, true, true);
        EXPECT_NEAR(integratedLoudness(both, rate), 0.0, 0.05);
        EXPECT_NEAR(integratedLoudness(one, rate), -3.01, 0.05);
        EXPECT_NEAR(integratedLoudness(quiet, rate), -23.0, 0.05);
    }
    // The weighting lifts the highs and cuts the deep lows.
    StereoBuffer high(frameAt(3.0)), low(frameAt(3.0));
    addTone(high, kSampleRate, 5000.0, -20.0, 0.0, 3.0, true, true);
    addTone(low, kSampleRate, 30.0, -20.0, 0.0, 3.0, true, true);
    EXPECT_GT(integratedLoudness(high, kSampleRate), -17.0);
    EXPECT_LT(integratedLoudness(low, kSampleRate), -21.5);
}

TEST(Loudness, GatesLeaveOutSilenceAndTheQuietParts) {
    StereoBuffer b(frameAt(30.0));
    addTone(b, kSampleRate, 997.0, -20.0, 0.0, 10.0, true, true);
    EXPECT_NEAR(integratedLoudness(b, kSampleRate), -20.0, 0.1) << "twenty seconds of silence count for nothing";
    // As long again at -40: under the relative gate (-10 LU below the whole), so still -20,
    // where a plain average would read about -23.
    addTone(b, kSampleRate, 997.0, -40.0, 10.0, 20.0, true, true);
    EXPECT_NEAR(integratedLoudness(b, kSampleRate), -20.0, 0.1);
    // At -25 it passes the gate and pulls the reading down.
    StereoBuffer close(frameAt(20.0));
    addTone(close, kSampleRate, 997.0, -20.0, 0.0, 10.0, true, true);
    addTone(close, kSampleRate, 997.0, -25.0, 10.0, 20.0, true, true);
    EXPECT_NEAR(integratedLoudness(close, kSampleRate), -21.8, 0.15);
    EXPECT_EQ(integratedLoudness(StereoBuffer(frameAt(5.0)), kSampleRate), -70.0);
    EXPECT_EQ(integratedLoudness(StereoBuffer(100), kSampleRate), -70.0) << "shorter than one block";
}

TEST(Loudness, TruePeakFindsThePeakBetweenSamples) {
    // A quarter of the rate, a quarter cycle off: every sample sits at 0.707 of the wave's crest.
    StereoBuffer b(frameAt(1.0));
    for (std::size_t i = 0; i < b.frames(); ++i)
        b.right[i] = static_cast<float>(std::sin(3.14159265358979 * (0.5 * static_cast<double>(i) + 0.25)));
    EXPECT_NEAR(peakOf(b), 0.7071f, 1e-3f);
    EXPECT_NEAR(truePeak(b), 1.0f, 0.02f);
    // A slow wave's peak is on a sample already; oversampling adds nothing.
    StereoBuffer slow(frameAt(1.0));
    addTone(slow, kSampleRate, 100.0, -6.0, 0.0, 1.0, true, false);
    EXPECT_NEAR(truePeak(slow), 0.5012f, 2e-3f);
    EXPECT_EQ(truePeak(StereoBuffer(50)), 0.0f);
}

TEST(Loudness, MusicCheckNamesWhatIsOutOfRange) {
    std::string error;
    EXPECT_TRUE(checkMusicLevel({-14.0, -1.5}, "music.wma", error)) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(checkMusicLevel({-17.5, -3.6}, "out/music.wma", error));
    EXPECT_EQ(error, "out/music.wma measures -17.5 LUFS integrated, outside -15..-13 LUFS");
    EXPECT_FALSE(checkMusicLevel({-12.6, -3.0}, "music.wma", error));
    EXPECT_NE(error.find("-12.6 LUFS"), std::string::npos) << error;
    EXPECT_FALSE(checkMusicLevel({-14.0, -0.4}, "music.wma", error));
    EXPECT_EQ(error, "music.wma has a true peak of -0.4 dBTP, above -1 dBTP");
}

TEST(Loudness, MasteringReachesTheLoudnessUnderTheCeiling) {
    // A tone with a loud burst: the gain brings the whole to the target and the limiter
    // keeps the burst under the ceiling.
    StereoBuffer b(frameAt(8.0));
    addTone(b, kSampleRate, 440.0, -30.0, 0.0, 8.0, true, true);
    addTone(b, kSampleRate, 220.0, -12.0, 4.0, 4.3, true, false);
    masterToLoudness(b, -14.0, 0.76f);
    EXPECT_NEAR(integratedLoudness(b, kSampleRate), -14.0, 0.1);
    EXPECT_LE(peakOf(b), 0.76f);
}
