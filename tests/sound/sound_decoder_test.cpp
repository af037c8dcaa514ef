// Decoding files that the suite encodes itself, in every format the music may come in,
// and files that must be refused with a reason.
#include "sound/audio_decoder.h"

#include <gtest/gtest.h>

#include "tests/support/sound_fixtures.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tone_file.h"

using namespace testing_support;

namespace {

struct Format {
    const char* encoder;
    const char* file;
    int rate;
    double lengthTolerance;  // fraction of the length that encoder delay and padding may add or take
};

class SoundDecoderFormats : public ::testing::TestWithParam<Format> {};

TEST_P(SoundDecoderFormats, DecodesAToneAtItsOwnRateChannelsAndLength) {
    const Format format = GetParam();
    TempWorkingDir dir;
    ToneSettings settings;
    settings.encoder = format.encoder;
    settings.rate = format.rate;
    settings.channels = 2;
    settings.seconds = 1.5;
    settings.otherScale = 0.5;  // the right side at half the level shows that the sides stay apart
    std::string error;
    ASSERT_TRUE(writeToneFile(format.file, settings, error)) << error;

    sound::Sample sample;
    ASSERT_TRUE(sound::decodeAudioFile(format.file, sample, error)) << error;
    EXPECT_EQ(sample.rate, format.rate);
    EXPECT_EQ(sample.channels, 2);
    EXPECT_NEAR(static_cast<double>(sample.frames()), 1.5 * format.rate, 1.5 * format.rate * format.lengthTolerance);

    // Judge the middle, away from codec start-up and tail.
    const long quarter = static_cast<long>(sample.frames() / 4) * 2;
    const auto middle = std::vector<std::int16_t>(sample.pcm.begin() + quarter, sample.pcm.end() - quarter);
    const auto left = side(middle, 0);
    const auto right = side(middle, 1);
    EXPECT_NEAR(crossingsPerSecond(left, sample.rate), 882.0, 882.0 * 0.02);
    EXPECT_NEAR(peak(left), 16384, 16384 * 0.1);
    EXPECT_NEAR(peak(right) / static_cast<double>(peak(left)), 0.5, 0.05);
}

INSTANTIATE_TEST_SUITE_P(
    AllFormats, SoundDecoderFormats,
    ::testing::Values(Format{"wmav2", "tone.wma", 22050, 0.1}, Format{"wmav1", "tone.wma", 22050, 0.1},
                      Format{"libmp3lame", "tone.mp3", 44100, 0.05}, Format{"libvorbis", "tone.ogg", 44100, 0.05},
                      Format{"libopus", "tone.opus", 48000, 0.05}, Format{"flac", "tone.flac", 44100, 0.0},
                      Format{"pcm_s16le", "tone.wav", 22050, 0.0}),
    [](const auto& test) { return std::string(test.param.encoder); });

TEST(SoundDecoder, KeepsMonoAndMixesManyChannelsDownToStereo) {
    TempWorkingDir dir;
    ToneSettings settings;
    settings.encoder = "flac";
    settings.rate = 32000;
    settings.channels = 1;
    std::string error;
    ASSERT_TRUE(writeToneFile("mono.flac", settings, error)) << error;
    settings.channels = 6;
    ASSERT_TRUE(writeToneFile("surround.flac", settings, error)) << error;

    sound::Sample mono;
    ASSERT_TRUE(sound::decodeAudioFile("mono.flac", mono, error)) << error;
    EXPECT_EQ(mono.channels, 1);
    EXPECT_EQ(mono.rate, 32000);
    EXPECT_EQ(mono.frames(), 32000);

    sound::Sample surround;
    ASSERT_TRUE(sound::decodeAudioFile("surround.flac", surround, error)) << error;
    EXPECT_EQ(surround.channels, 2);
    EXPECT_EQ(surround.frames(), 32000);
    EXPECT_GT(peak(side(surround.pcm, 0)), 1000);
    EXPECT_GT(peak(side(surround.pcm, 1)), 1000);
}

TEST(SoundDecoder, RefusesWhatHoldsNoAudioWithAReason) {
    TempWorkingDir dir;
    writeFileBytes("empty.wma", "");
    writeFileBytes("text.wma", std::string(4000, 'x'));
    std::string noise;
    for (int i = 0; i < 5000; ++i) noise.push_back(static_cast<char>((i * 7919) % 251));
    writeFileBytes("noise.wma", noise);

    for (const char* path : {"missing.wma", "empty.wma", "text.wma", "noise.wma", ""}) {
        sound::Sample sample;
        std::string error;
        EXPECT_FALSE(sound::decodeAudioFile(path, sample, error)) << path;
        EXPECT_FALSE(error.empty()) << path;
        EXPECT_EQ(sample.frames(), 0) << path;
    }
    sound::Sample sample;
    std::string error;
    sound::decodeAudioFile("missing.wma", sample, error);
    EXPECT_EQ(error, "No such file or directory");
}

TEST(SoundDecoder, ATruncatedFileGivesWhatCanBeDecoded) {
    TempWorkingDir dir;
    ToneSettings settings;
    settings.seconds = 4.0;
    std::string error;
    ASSERT_TRUE(writeToneFile("whole.wma", settings, error)) << error;
    const std::string bytes = readFileBytes("whole.wma");
    writeFileBytes("half.wma", bytes.substr(0, bytes.size() / 2));

    sound::Sample sample;
    ASSERT_TRUE(sound::decodeAudioFile("half.wma", sample, error)) << error;
    EXPECT_EQ(sample.rate, 22050);
    EXPECT_GT(sample.frames(), 22050);
    EXPECT_LT(sample.frames(), 22050 * 3);
}

}  // namespace
