// Loading that returns after the first second while a worker decodes the rest: the PCM and
// the mixed output equal those of a whole-file decode, freeing mid-decode is safe, and a
// file that fails later ends where decoding stopped with one report.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "sound/audio_decoder.h"
#include "sound/mixer.h"
#include "sound/sound_library.h"
#include "tests/support/report_capture.h"
#include "tests/support/sound_fixtures.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tone_file.h"

using namespace testing_support;

namespace {

void writeTone(const char* path, double seconds, int channels) {
    ToneSettings settings;
    settings.seconds = seconds;
    settings.channels = channels;
    settings.otherScale = 0.5;
    std::string error;
    ASSERT_TRUE(writeToneFile(path, settings, error)) << error;
}

// Every frame of `sample`, waiting for its decoder first.
std::vector<std::int16_t> allPcm(const sound::Sample& sample) {
    if (!sample.stream) return sample.pcm;
    sample.stream->waitFor(INT64_MAX);
    std::vector<std::int16_t> pcm;
    for (std::int64_t at = 0; at < sample.frames(); ++at) {
        const std::int16_t* frame = sample.stream->frame(at);
        pcm.insert(pcm.end(), frame, frame + sample.channels);
    }
    return pcm;
}

std::vector<std::int16_t> mixToEnd(sound::Mixer& mixer, const sound::Sample& sample, int hertz, int limit) {
    const int handle = mixer.start(sound::Mixer::kAnyChannel, &sample, false);
    mixer.setFrequency(handle, hertz);
    return mixWhilePlaying(mixer, handle, 300, limit);
}

class SoundStream : public ::testing::Test {
protected:
    TempWorkingDir dir;
};

TEST_F(SoundStream, StreamedPcmEqualsTheWholeFileDecode) {
    writeTone("long.wma", 3.5, 2);
    writeTone("mono.wma", 3.5, 1);
    writeTone("short.wma", 0.6, 2);
    for (const char* file : {"long.wma", "mono.wma", "short.wma"}) {
        SCOPED_TRACE(file);
        std::string error;
        sound::Sample whole;
        ASSERT_TRUE(sound::decodeAudioFile(file, whole, error)) << error;
        for (const double first : {1.0, 0.01}) {
            sound::Sample streamed;
            ASSERT_TRUE(sound::decodeAudioFileStreamed(file, streamed, error, first)) << error;
            EXPECT_EQ(streamed.rate, whole.rate);
            EXPECT_EQ(streamed.channels, whole.channels);
            // Only a file longer than the first part is left to a worker.
            EXPECT_EQ(streamed.stream != nullptr, whole.frames() > first * whole.rate);
            EXPECT_GE(streamed.frames(), std::min<std::int64_t>(whole.frames(), first * whole.rate));
            EXPECT_EQ(allPcm(streamed), whole.pcm);
            EXPECT_EQ(streamed.frames(), whole.frames());
        }
    }
}

TEST_F(SoundStream, MixingAStreamedSampleEqualsMixingTheWholeDecode) {
    writeTone("long.wma", 4.0, 2);
    std::string error;
    sound::Sample whole;
    ASSERT_TRUE(sound::decodeAudioFile("long.wma", whole, error)) << error;
    const int limit = static_cast<int>(whole.frames()) * 3;
    for (const bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "looping" : "once");
        whole.loop = loop;
        sound::Mixer reference(44100, 4);
        const auto expected = mixToEnd(reference, whole, 37000, limit);

        // A tiny first part makes the mix catch up with the decoder and wait for it.
        sound::Sample streamed;
        ASSERT_TRUE(sound::decodeAudioFileStreamed("long.wma", streamed, error, 0.01)) << error;
        ASSERT_NE(streamed.stream, nullptr);
        streamed.loop = loop;
        sound::Mixer mixer(44100, 4);
        const auto mixed = mixToEnd(mixer, streamed, 37000, limit);
        EXPECT_EQ(mixed.size(), expected.size());
        EXPECT_TRUE(mixed == expected);
    }

    // A jump past what is decoded waits for it, and lands where the whole sample would.
    whole.loop = false;
    sound::Mixer reference(44100, 4);
    sound::Sample streamed;
    ASSERT_TRUE(sound::decodeAudioFileStreamed("long.wma", streamed, error, 0.01)) << error;
    sound::Mixer mixer(44100, 4);
    const int wholeHandle = reference.start(sound::Mixer::kAnyChannel, &whole, false);
    const int streamedHandle = mixer.start(sound::Mixer::kAnyChannel, &streamed, false);
    ASSERT_TRUE(reference.setPosition(wholeHandle, whole.frames() - 5000));
    ASSERT_TRUE(mixer.setPosition(streamedHandle, whole.frames() - 5000));
    EXPECT_TRUE(mixWhilePlaying(mixer, streamedHandle, 512, limit) ==
                mixWhilePlaying(reference, wholeHandle, 512, limit));
}

TEST_F(SoundStream, OfflinePullsOfALoadedSoundEqualTheWholeDecodeMixed) {
    writeTone("music.wma", 3.0, 2);
    std::string error;
    sound::Sample whole;
    ASSERT_TRUE(sound::decodeAudioFile("music.wma", whole, error)) << error;
    sound::Mixer reference(44100, 32);
    const auto expected = mixToEnd(reference, whole, whole.rate, 44100 * 10);

    sound::useOfflineOutput();
    ASSERT_TRUE(sound::init(44100, 32, 0));
    const auto sample = sound::sampleLoad(sound::kUnmanaged, "music.wma", sound::k2D, 0, 0);
    ASSERT_NE(sample, sound::kNoSample);
    const int channel = sound::playSoundEx(sound::kFreeChannel, sample, true);
    ASSERT_TRUE(sound::setPaused(channel, false));
    const auto pulled = pullWhilePlaying(channel, 300, 44100 * 10);
    sound::close();
    EXPECT_EQ(pulled.size(), expected.size());
    EXPECT_TRUE(pulled == expected);
}

TEST_F(SoundStream, FreeingReloadingOrClosingWhileDecodingIsSafe) {
    writeTone("long.wma", 20.0, 2);
    sound::useOfflineOutput();
    ASSERT_TRUE(sound::init(44100, 32, 0));
    std::vector<std::int16_t> buffer(2048 * 2);
    for (int round = 0; round < 2; ++round) {
        const auto first = sound::sampleLoad(5, "long.wma", sound::k2D, 0, 0);
        ASSERT_NE(first, sound::kNoSample);
        const int channel = sound::playSound(sound::kFreeChannel, first);
        sound::pullFrames(buffer.data(), 2048);
        ASSERT_TRUE(sound::isPlaying(channel));
        // Reloading the slot frees the first sample while its decoder runs.
        const auto second = sound::sampleLoad(5, "long.wma", sound::k2D, 0, 0);
        ASSERT_NE(second, sound::kNoSample);
        EXPECT_FALSE(sound::isPlaying(channel));
        const int other = sound::playSound(sound::kFreeChannel, second);
        sound::pullFrames(buffer.data(), 2048);
        EXPECT_GT(peak(buffer), 1000);
        if (round == 0) {
            sound::sampleFree(second);
        } else {
            sound::close();
            ASSERT_TRUE(sound::init(44100, 32, 0));
        }
        EXPECT_FALSE(sound::isPlaying(other)) << round;
    }
    sound::close();

    // A stream dropped on its own waits for its worker.
    sound::Sample dropped;
    std::string error;
    ASSERT_TRUE(sound::decodeAudioFileStreamed("long.wma", dropped, error, 0.01)) << error;
    ASSERT_NE(dropped.stream, nullptr);
    EXPECT_FALSE(dropped.stream->done());
    dropped.stream.reset();
}

TEST_F(SoundStream, AFailureAfterTheFirstSecondEndsTheSoundThereWithOneReport) {
    writeTone("long.wma", 4.0, 2);
    std::string error;
    sound::Sample whole;
    ASSERT_TRUE(sound::decodeAudioFile("long.wma", whole, error)) << error;

    ReportCapture capture;
    // Longer than allowed: the limit is passed by the worker, not by the first second.
    sound::Sample cut;
    ASSERT_TRUE(sound::decodeAudioFileStreamed("long.wma", cut, error, 1.0, 2)) << error;
    ASSERT_NE(cut.stream, nullptr);
    const auto pcm = allPcm(cut);
    ASSERT_EQ(capture.reports.size(), 1u) << capture.written();
    EXPECT_EQ(capture.reports[0].level, base::Level::kError);
    char where[32];
    std::snprintf(where, sizeof where, "past %.1f s,", static_cast<double>(cut.frames()) / cut.rate);
    EXPECT_EQ(capture.reports[0].text.find(std::string("cannot decode \"long.wma\" ") + where), 0u)
        << capture.reports[0].text;
    EXPECT_NE(capture.reports[0].text.find("longer than 2 seconds"), std::string::npos) << capture.reports[0].text;
    EXPECT_GT(cut.frames(), cut.rate);
    EXPECT_LE(cut.frames(), 2 * cut.rate);
    ASSERT_LT(pcm.size(), whole.pcm.size());
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.end(), whole.pcm.begin()));

    // It plays to where decoding stopped, and ends.
    sound::Mixer mixer(cut.rate, 2);
    const auto mixed = mixToEnd(mixer, cut, cut.rate, cut.rate * 10);
    EXPECT_EQ(static_cast<std::int64_t>(mixed.size()) / 2, (cut.frames() + 299) / 300 * 300);

    // Within the first second it fails as a whole-file load does.
    capture.reports.clear();
    sound::Sample refused;
    EXPECT_FALSE(sound::decodeAudioFileStreamed("long.wma", refused, error, 1.0, 1));
    EXPECT_NE(error.find("longer than 1 seconds"), std::string::npos) << error;
    EXPECT_EQ(refused.stream, nullptr);
    EXPECT_TRUE(refused.pcm.empty());
    EXPECT_TRUE(capture.reports.empty()) << capture.written();
}

}  // namespace
