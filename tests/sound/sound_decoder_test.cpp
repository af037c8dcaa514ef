// Decoding files that the suite encodes itself, in every format the music may come in,
// and files that must be refused with a reason.
#include "sound/audio_decoder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>

extern "C" {
#include <libavutil/log.h>
}

#include "tests/support/encoders.h"
#include "tests/support/output_capture.h"
#include "tests/support/report_capture.h"
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
    if (const std::string missing = missingEncoders({format.encoder}); !missing.empty()) GTEST_SKIP() << missing;
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

// A check that wrongly found encoders missing would quietly skip the tests above.
TEST(SoundDecoder, TheEncoderCheckNamesOnlyWhatIsMissing) {
    EXPECT_EQ(missingEncoders({"pcm_s16le", "flac"}), "");
    EXPECT_EQ(missingEncoders({"pcm_s16le", "no-such-encoder", "flac", "nor-this"}),
              "this FFmpeg has no encoder no-such-encoder, nor-this");
}

TEST(SoundDecoder, KeepsMonoAndMixesManyChannelsDownToStereo) {
    if (const std::string missing = missingEncoders({"flac"}); !missing.empty()) GTEST_SKIP() << missing;
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

struct Decoded {
    bool ok = false;
    sound::Sample sample;
    std::string error;
    std::vector<base::Report> reports;
    std::string reported;    // the reports as stderr would have shown them
    std::string stderrText;  // what reached stderr besides
};

Decoded decodeCapturing(const char* path) {
    Decoded decoded;
    OutputCapture stderrCapture(STDERR_FILENO);
    {
        ReportCapture captured;
        decoded.ok = sound::decodeAudioFile(path, decoded.sample, decoded.error);
        decoded.reports = captured.reports;
        decoded.reported = captured.written();
    }
    decoded.stderrText = stderrCapture.text();
    return decoded;
}

void expectOneWarningNaming(const Decoded& decoded, const std::string& path) {
    EXPECT_EQ(decoded.stderrText, "");
    ASSERT_EQ(decoded.reports.size(), 1u) << decoded.reported;
    EXPECT_EQ(decoded.reports[0].level, base::Level::kWarning);
    const std::string start = "cannot decode \"" + path + "\" cleanly: ";
    EXPECT_EQ(decoded.reports[0].text.rfind(start, 0), 0u) << decoded.reported;
    EXPECT_GT(decoded.reports[0].text.size(), start.size()) << decoded.reported;
    EXPECT_EQ(decoded.reports[0].text.find('\n'), std::string::npos) << decoded.reported;
}

TEST(SoundDecoder, RefusesWhatHoldsNoAudioWithAReason) {
    TempWorkingDir dir;
    writeFileBytes("empty.wma", "");
    writeFileBytes("text.wma", std::string(4000, 'x'));
    std::string noise;
    for (int i = 0; i < 5000; ++i) noise.push_back(static_cast<char>((i * 7919) % 251));
    writeFileBytes("noise.wma", noise);

    for (const char* path : {"missing.wma", "empty.wma", "text.wma", "noise.wma", ""}) {
        const Decoded decoded = decodeCapturing(path);
        EXPECT_FALSE(decoded.ok) << path;
        EXPECT_FALSE(decoded.error.empty()) << path;
        EXPECT_EQ(decoded.sample.frames(), 0) << path;
        // The caller reports the failure: FFmpeg's messages are folded into the reason.
        EXPECT_TRUE(decoded.reports.empty()) << path << ": " << decoded.reported;
        EXPECT_EQ(decoded.stderrText, "") << path;
        EXPECT_EQ(decoded.error.find('\n'), std::string::npos) << path;
    }
    sound::Sample sample;
    std::string error;
    sound::decodeAudioFile("missing.wma", sample, error);
    EXPECT_EQ(error, "No such file or directory");
}

TEST(SoundDecoder, ATruncatedFileGivesWhatCanBeDecoded) {
    if (const std::string missing = missingEncoders({"wmav2"}); !missing.empty()) GTEST_SKIP() << missing;
    TempWorkingDir dir;
    ToneSettings settings;
    settings.seconds = 4.0;
    std::string error;
    ASSERT_TRUE(writeToneFile("whole.wma", settings, error)) << error;
    const std::string bytes = readFileBytes("whole.wma");
    writeFileBytes("half.wma", bytes.substr(0, bytes.size() / 2));

    const Decoded half = decodeCapturing("half.wma");
    ASSERT_TRUE(half.ok) << half.error;
    EXPECT_EQ(half.sample.rate, 22050);
    EXPECT_GT(half.sample.frames(), 22050);
    EXPECT_LT(half.sample.frames(), 22050 * 3);
    expectOneWarningNaming(half, "half.wma");
}

// Damage inside a file that still decodes: FFmpeg's many lines become one warning that names
// the file as the caller gave it, and nothing reaches stderr directly.
TEST(SoundDecoder, DamageIsOneWarningNamingTheFile) {
    if (const std::string missing = missingEncoders({"wmav2"}); !missing.empty()) GTEST_SKIP() << missing;
    TempWorkingDir dir;
    std::filesystem::create_directory("data");
    ToneSettings settings;
    settings.seconds = 4.0;
    std::string error;
    ASSERT_TRUE(writeToneFile("data/clean.wma", settings, error)) << error;
    const std::string clean = readFileBytes("data/clean.wma");
    ASSERT_GT(clean.size(), 8000u);
    std::mt19937 random(12345);

    std::string garbled = clean;
    for (std::size_t i = garbled.size() / 3; i < garbled.size() * 2 / 3; ++i)
        garbled[i] = static_cast<char>(random() & 0xff);
    writeFileBytes("data/garbled.wma", garbled);

    std::string flipped = clean;
    for (std::size_t i = flipped.size() / 8; i < flipped.size(); i += 89)
        flipped[i] = static_cast<char>(flipped[i] ^ (1 << (random() % 8)));
    writeFileBytes("data/flipped.wma", flipped);

    const Decoded whole = decodeCapturing("data/clean.wma");
    ASSERT_TRUE(whole.ok) << whole.error;
    EXPECT_TRUE(whole.reports.empty()) << whole.reported;
    EXPECT_EQ(whole.stderrText, "");

    for (const char* path : {"data/garbled.wma", "data/flipped.wma"}) {
        SCOPED_TRACE(path);
        const Decoded damaged = decodeCapturing(path);
        ASSERT_TRUE(damaged.ok) << damaged.error;
        EXPECT_GT(damaged.sample.frames(), whole.sample.frames() / 4);
        expectOneWarningNaming(damaged, path);
    }
    // Flipped bits all through the file upset many packets: the one line counts the rest.
    const Decoded flippedDecoded = decodeCapturing("data/flipped.wma");
    ASSERT_EQ(flippedDecoded.reports.size(), 1u);
    EXPECT_NE(flippedDecoded.reports[0].text.find(" more)"), std::string::npos) << flippedDecoded.reported;
}

// Away from any decoding, an FFmpeg error is one line of ours and lesser messages are dropped;
// a level that the program has set still silences what lies beyond it.
TEST(SoundDecoder, FfmpegMessagesOutsideDecodingAreOurOwnLines) {
    TempWorkingDir dir;
    writeFileBytes("empty.wma", "");
    decodeCapturing("empty.wma");  // puts the routing in place

    testing_support::OutputCapture stderrCapture(STDERR_FILENO);
    {
        ReportCapture captured;
        av_log(nullptr, AV_LOG_ERROR, "  stream %d is broken\n", 3);
        av_log(nullptr, AV_LOG_WARNING, "only a warning\n");
        av_log(nullptr, AV_LOG_INFO, "chatter\n");
        av_log(nullptr, AV_LOG_FATAL, "fatal\nover two lines\n");
        ASSERT_EQ(captured.reports.size(), 2u) << captured.written();
        EXPECT_EQ(captured.reports[0].text, "ffmpeg: stream 3 is broken");
        EXPECT_EQ(captured.reports[0].level, base::Level::kError);
        EXPECT_EQ(captured.reports[1].text, "ffmpeg: fatal over two lines");
    }
    {
        ReportCapture captured;
        const int level = av_log_get_level();
        av_log_set_level(AV_LOG_FATAL);
        av_log(nullptr, AV_LOG_ERROR, "beyond the level\n");
        av_log_set_level(level);
        EXPECT_TRUE(captured.reports.empty()) << captured.written();
    }
    EXPECT_EQ(stderrCapture.text(), "");
}

}  // namespace
