// The mixer alone, on samples made in memory: playback rate, interpolation, volume, pan,
// looping, ending, channel limits and stale handles.
#include "sound/mixer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/support/sound_fixtures.h"

using sound::Mixer;
using sound::Sample;
using namespace testing_support;

namespace {

std::vector<std::int16_t> mixFrames(Mixer& mixer, int frames) {
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
    mixer.mix(out.data(), frames);
    return out;
}

TEST(SoundMixer, FrequencyIsThePlaybackRateOfTheSample) {
    const Sample tone = makeTone(22050, 1.0, 441.0, 10000.0);
    Mixer mixer(44100, 32);

    const int normal = mixer.start(Mixer::kAnyChannel, &tone, false);
    ASSERT_GE(normal, 0);
    EXPECT_EQ(mixer.frequency(normal), 22050);  // the sample's own rate until told otherwise
    const auto atNormal = mixWhilePlaying(mixer, normal, 10, 200000);
    EXPECT_NEAR(atNormal.size() / 2.0, 44100.0, 441.0);  // 1 s of output, within 1 %
    EXPECT_NEAR(crossingsPerSecond(side(atNormal, 0), 44100), 882.0, 9.0);

    const int doubled = mixer.start(Mixer::kAnyChannel, &tone, false);
    ASSERT_TRUE(mixer.setFrequency(doubled, 44100));
    const auto atDouble = mixWhilePlaying(mixer, doubled, 10, 200000);
    EXPECT_NEAR(atDouble.size() / 2.0, 22050.0, 220.5);  // half a second
    EXPECT_NEAR(crossingsPerSecond(side(atDouble, 0), 44100), 1764.0, 18.0);
}

TEST(SoundMixer, InterpolatesLinearlyAndEndsRightAfterTheLastFrame) {
    Sample ramp;
    ramp.rate = 22050;
    ramp.pcm = {0, 1000, -1000};
    Mixer mixer(44100, 4);
    const int handle = mixer.start(Mixer::kAnyChannel, &ramp, false);
    const auto out = mixFrames(mixer, 8);
    const std::vector<std::int16_t> left = side(out, 0);
    EXPECT_EQ(left, (std::vector<std::int16_t>{0, 500, 1000, 0, -1000, -1000, 0, 0}));
    EXPECT_EQ(side(out, 1), left);
    EXPECT_FALSE(mixer.isPlaying(handle));

    // A sample of 300 frames at its own rate ends with the 300th output frame, even in the
    // middle of a mixing block.
    Sample flat;
    flat.rate = 44100;
    flat.pcm.assign(300, 100);
    const int second = mixer.start(Mixer::kAnyChannel, &flat, false);
    mixFrames(mixer, 299);
    EXPECT_TRUE(mixer.isPlaying(second));
    mixFrames(mixer, 1);
    EXPECT_FALSE(mixer.isPlaying(second));
}

TEST(SoundMixer, APositionMovesPlaybackToThatSampleFrame) {
    Sample ramp;
    ramp.rate = 44100;
    for (int i = 0; i < 100; ++i) ramp.pcm.push_back(static_cast<std::int16_t>(i * 10));
    Mixer mixer(44100, 4);
    const int handle = mixer.start(Mixer::kAnyChannel, &ramp, false);
    mixFrames(mixer, 5);
    ASSERT_TRUE(mixer.setPosition(handle, 60));
    EXPECT_EQ(side(mixFrames(mixer, 3), 0), (std::vector<std::int16_t>{600, 610, 620}));
    // Before the start is the start; past the end the channel ends.
    ASSERT_TRUE(mixer.setPosition(handle, -7));
    EXPECT_EQ(side(mixFrames(mixer, 1), 0), (std::vector<std::int16_t>{0}));
    ASSERT_TRUE(mixer.setPosition(handle, 1000));
    mixFrames(mixer, 1);
    EXPECT_FALSE(mixer.isPlaying(handle));
    EXPECT_FALSE(mixer.setPosition(handle, 0));
}

TEST(SoundMixer, VolumeScalesAndPanMovesTheSound) {
    const Sample tone = makeTone(44100, 1.0, 441.0, 20000.0);
    Mixer mixer(44100, 32);

    const int full = mixer.start(Mixer::kAnyChannel, &tone, false);
    const auto loud = mixFrames(mixer, 2000);
    mixer.stop(full);
    const int half = mixer.start(Mixer::kAnyChannel, &tone, false);
    mixer.setVolume(half, 128);
    const auto quiet = mixFrames(mixer, 2000);
    EXPECT_NEAR(peak(quiet) / static_cast<double>(peak(loud)), 0.5, 0.005);
    EXPECT_EQ(peak(side(loud, 0)), peak(side(loud, 1)));  // centred by default

    mixer.setVolume(half, 0);
    EXPECT_EQ(peak(mixFrames(mixer, 500)), 0);
    mixer.setVolume(half, 999);  // clamped to 255
    EXPECT_EQ(mixer.volume(half), 255);

    struct Case {
        int pan;
        double left;
        double right;
    };
    for (const Case c : {Case{0, 1.0, 0.0}, Case{255, 0.0, 1.0}, Case{128, 1.0, 1.0}, Case{64, 1.0, 0.5}}) {
        mixer.setPan(half, c.pan);
        const auto out = mixFrames(mixer, 1000);
        EXPECT_NEAR(peak(side(out, 0)) / 20000.0, c.left, 0.01) << "pan " << c.pan;
        EXPECT_NEAR(peak(side(out, 1)) / 20000.0, c.right, 0.01) << "pan " << c.pan;
    }
}

TEST(SoundMixer, StereoSamplesKeepTheirSides) {
    Sample stereo = makeTone(44100, 0.1, 441.0, 8000.0, 2);
    for (std::size_t i = 1; i < stereo.pcm.size(); i += 2) stereo.pcm[i] = 0;
    Mixer mixer(44100, 2);
    mixer.start(Mixer::kAnyChannel, &stereo, false);
    const auto out = mixFrames(mixer, 2000);
    EXPECT_NEAR(peak(side(out, 0)), 8000, 10);
    EXPECT_EQ(peak(side(out, 1)), 0);
}

TEST(SoundMixer, ALoopingSamplePlaysUntilStopped) {
    Sample tone = makeTone(44100, 0.05, 441.0, 5000.0);
    tone.loop = true;
    Mixer mixer(44100, 32);
    const int handle = mixer.start(Mixer::kAnyChannel, &tone, false);
    mixFrames(mixer, 44100 * 2);  // forty times its length
    EXPECT_TRUE(mixer.isPlaying(handle));
    EXPECT_NEAR(peak(mixFrames(mixer, 1000)), 5000, 10);
    EXPECT_TRUE(mixer.stop(handle));
    EXPECT_FALSE(mixer.isPlaying(handle));
    EXPECT_EQ(peak(mixFrames(mixer, 1000)), 0);
    EXPECT_FALSE(mixer.stop(handle));
}

TEST(SoundMixer, PausedChannelsAreSilentAndKeepTheirPlace) {
    Sample flat;
    flat.rate = 44100;
    flat.pcm.assign(1000, 300);
    Mixer mixer(44100, 8);
    const int handle = mixer.start(Mixer::kAnyChannel, &flat, true);
    EXPECT_FALSE(mixer.isPlaying(handle));  // not sounding yet
    EXPECT_EQ(mixer.playingCount(), 1);     // but its channel is taken
    EXPECT_EQ(peak(mixFrames(mixer, 5000)), 0);
    // Starting the same handle again unpauses it from the beginning and keeps the handle.
    EXPECT_EQ(mixer.start(handle, &flat, false), handle);
    EXPECT_TRUE(mixer.isPlaying(handle));
    EXPECT_EQ(mixWhilePlaying(mixer, handle, 1, 5000).size(), 2000u);
}

TEST(SoundMixer, ThirtyTwoChannelsMixAndAThirtyThirdFindsNoneFree) {
    const Sample tone = makeTone(44100, 1.0, 441.0, 4000.0);
    Mixer mixer(44100, 32);
    std::vector<int> handles;
    for (int i = 0; i < 32; ++i) handles.push_back(mixer.start(Mixer::kAnyChannel, &tone, false));
    for (int handle : handles) ASSERT_GE(handle, 0);
    EXPECT_EQ(mixer.start(Mixer::kAnyChannel, &tone, false), -1);
    EXPECT_EQ(mixer.playingCount(), 32);
    for (int handle : handles) EXPECT_TRUE(mixer.isPlaying(handle));
    // 32 x 4000 overflows 16 bits: the sum is clipped, never wrapped round.
    const auto out = mixFrames(mixer, 1000);
    EXPECT_GE(peak(out), 32767);
    for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
        if (tone.pcm[i / 2] != 0) {
            EXPECT_EQ(out[i] > 0, tone.pcm[i / 2] > 0) << i;
        }
    }
    // Once one stops, the next play takes its place.
    mixer.stop(handles[5]);
    EXPECT_GE(mixer.start(Mixer::kAnyChannel, &tone, false), 0);
}

TEST(SoundMixer, StaleAndInventedHandlesTouchNothing) {
    Sample shortTone = makeTone(44100, 0.01, 441.0, 1000.0);
    const Sample longTone = makeTone(44100, 1.0, 441.0, 1000.0);
    Mixer mixer(44100, 1);
    for (int handle : {-1, 0, 5, 256, 123456}) {
        EXPECT_FALSE(mixer.isPlaying(handle));
        EXPECT_FALSE(mixer.setVolume(handle, 10));
        EXPECT_EQ(mixer.frequency(handle), -1);
    }
    EXPECT_EQ(mixer.start(Mixer::kAnyChannel, nullptr, false), -1);

    const int old = mixer.start(Mixer::kAnyChannel, &shortTone, false);
    mixWhilePlaying(mixer, old, 100, 10000);
    const int fresh = mixer.start(Mixer::kAnyChannel, &longTone, false);  // the same, only channel
    ASSERT_GE(fresh, 0);
    EXPECT_NE(fresh, old);
    EXPECT_FALSE(mixer.isPlaying(old));
    EXPECT_FALSE(mixer.setVolume(old, 0));
    EXPECT_FALSE(mixer.stop(old));
    EXPECT_EQ(mixer.start(old, &shortTone, false), -1);
    EXPECT_TRUE(mixer.isPlaying(fresh));
    EXPECT_EQ(mixer.volume(fresh), 255);
}

TEST(SoundMixer, FrequenciesOutOfRangeAreClamped) {
    Sample flat;
    flat.rate = 44100;
    flat.pcm.assign(100, 50);
    Mixer mixer(44100, 2);
    const int handle = mixer.start(Mixer::kAnyChannel, &flat, false);
    mixer.setFrequency(handle, -500);
    EXPECT_EQ(mixer.frequency(handle), 0);
    mixFrames(mixer, 10000);
    EXPECT_TRUE(mixer.isPlaying(handle));  // rate 0 holds its place
    mixer.setFrequency(handle, 2000000000);
    EXPECT_EQ(mixer.frequency(handle), Mixer::kMaxFrequency);
    mixFrames(mixer, 10);
    EXPECT_FALSE(mixer.isPlaying(handle));
}

TEST(SoundMixer, StoppingASampleEndsEveryChannelThatPlaysIt) {
    const Sample a = makeTone(44100, 1.0, 441.0, 1000.0);
    const Sample b = makeTone(44100, 1.0, 441.0, 1000.0);
    Mixer mixer(44100, 4);
    const int a1 = mixer.start(Mixer::kAnyChannel, &a, false);
    const int a2 = mixer.start(Mixer::kAnyChannel, &a, false);
    const int b1 = mixer.start(Mixer::kAnyChannel, &b, false);
    mixer.stopSample(&a);
    EXPECT_FALSE(mixer.isPlaying(a1));
    EXPECT_FALSE(mixer.isPlaying(a2));
    EXPECT_TRUE(mixer.isPlaying(b1));
}

TEST(SoundMixer, ControlsFromAnotherThreadWhileMixing) {
    const Sample tone = makeTone(44100, 0.02, 441.0, 1000.0);
    Mixer mixer(44100, 32);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<std::int16_t> buffer(512 * 2);
        while (!done.load()) mixer.mix(buffer.data(), 512);
    });
    int started = 0;
    for (int i = 0; i < 20000; ++i) {
        const int handle = mixer.start(Mixer::kAnyChannel, &tone, false);
        if (handle >= 0) ++started;
        mixer.setVolume(handle, i % 256);
        mixer.setPan(handle, i % 256);
        if (i % 3 == 0) mixer.stop(handle);
        if (i % 1000 == 0) mixer.stopSample(&tone);
    }
    done.store(true);
    audio.join();
    EXPECT_GT(started, 32);
}

}  // namespace
