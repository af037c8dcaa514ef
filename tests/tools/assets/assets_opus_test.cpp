// The music as Ogg Opus for web pages: a file browsers decode, at the level and in the time of
// the WMA the show plays, with a header that names the music's own rate.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "base/av_util.h"
#include "tests/support/encoders.h"
#include "tests/support/temp_dir.h"
#include "tools/assets/file_output.h"
#include "tools/assets/loudness.h"
#include "tools/assets/music.h"
#include "tools/assets/music_reader.h"
#include "tools/assets/opus_writer.h"

using namespace assets;

namespace {

const std::filesystem::path kData = OYUN_TEST_DATA_DIR;

struct Probe {
    AVCodecID codec = AV_CODEC_ID_NONE;
    int channels = 0;
    std::string head;  // the codec's identification header
};

Probe probe(const std::string& path) {
    Probe p;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return p;
    const AvFormatInputPtr format(raw);
    avformat_find_stream_info(format.get(), nullptr);
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0) return p;
    const AVCodecParameters* par = format->streams[index]->codecpar;
    p.codec = par->codec_id;
    p.channels = par->ch_layout.nb_channels;
    p.head.assign(reinterpret_cast<const char*>(par->extradata), static_cast<std::size_t>(par->extradata_size));
    return p;
}

struct Music {
    StereoBuffer audio;
    int rate = 0;
};

Music decoded(const std::string& path) {
    Music m;
    std::string error;
    EXPECT_TRUE(readMusic(path, m.audio, m.rate, error)) << error;
    return m;
}

const Music& opusMusic() {
    static const Music music = decoded((kData / "music.opus").string());
    return music;
}

std::uint32_t littleEndian32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) value |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
    return value;
}

// The left plus right signal of `m` at `seconds`, by linear interpolation.
double sumAt(const Music& m, double seconds) {
    const double at = seconds * m.rate;
    const auto i = static_cast<std::size_t>(at);
    if (i + 1 >= m.audio.frames()) return 0.0;
    const double f = at - static_cast<double>(i);
    const double a = m.audio.left[i] + m.audio.right[i];
    const double b = m.audio.left[i + 1] + m.audio.right[i + 1];
    return a + (b - a) * f;
}

}  // namespace

TEST(GeneratedOpusMusic, IsOggOpusStereoNamingTheMusicsRate) {
    const Probe p = probe((kData / "music.opus").string());
    EXPECT_EQ(p.codec, AV_CODEC_ID_OPUS);
    EXPECT_EQ(p.channels, 2);
    ASSERT_GE(p.head.size(), 19u);
    EXPECT_EQ(p.head.substr(0, 8), "OpusHead");
    EXPECT_EQ(littleEndian32(p.head, 12), static_cast<std::uint32_t>(kSampleRate)) << "the input-rate field";
    EXPECT_EQ(opusMusic().rate, kOpusRate);
    const double seconds = static_cast<double>(opusMusic().audio.frames()) / kOpusRate;
    const Music wma = decoded((kData / "music.wma").string());
    EXPECT_NEAR(seconds, static_cast<double>(wma.audio.frames()) / wma.rate, 0.2) << "as long as the WMA";
}

TEST(GeneratedOpusMusic, MeetsTheLoudnessTargetAsDecoded) {
    const LevelReading level = measureLevel(opusMusic().audio, kOpusRate);
    EXPECT_NEAR(level.lufs, kMusicLoudness, 0.5);
    EXPECT_LE(level.truePeakDb, kMusicTruePeakMax);
}

TEST(GeneratedOpusMusic, SoundsInTimeWithTheWma) {
    // Across the drop at 19 s, both decodings line up within a millisecond: a page that plays
    // the Opus file shows the cuts on the same beats as the desktop.
    const Music wma = decoded((kData / "music.wma").string());
    const Music& opus = opusMusic();
    int bestLagUs = 0;
    double best = -1.0;
    for (int lagUs = -20000; lagUs <= 20000; lagUs += 250) {
        double c = 0.0;
        for (double t = 19.0; t < 21.0; t += 1.0 / 11025.0) c += sumAt(wma, t) * sumAt(opus, t + lagUs * 1e-6);
        if (c > best) {
            best = c;
            bestLagUs = lagUs;
        }
    }
    EXPECT_LE(std::abs(bestLagUs), 1000) << "microseconds the Opus music is late (positive) or early";
}

class OpusWriter : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = testing_support::missingEncoders({"libopus"}); !missing.empty())
            GTEST_SKIP() << missing;
    }
};

TEST_F(OpusWriter, EncodesATonePlayableAtItsPlaceAndTheSameEveryRun) {
    testing_support::TempWorkingDir dir;
    // Half a second of silence, then a second of A at 440 Hz on the left only.
    StereoBuffer tone(frameAt(1.5));
    for (std::size_t i = frameAt(0.5); i < tone.frames(); ++i)
        tone.left[i] = 0.5f * std::sin(2.0f * 3.14159265f * 440.0f * static_cast<float>(i) / kSampleRate);
    const std::string path = (dir.path() / "tone.opus").string();
    std::string error;
    ASSERT_TRUE(writeOpus(path, tone, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(partPath(path)));
    const std::string again = (dir.path() / "again.opus").string();
    ASSERT_TRUE(writeOpus(again, tone, error)) << error;
    EXPECT_TRUE(testing_support::readFileBytes(path) == testing_support::readFileBytes(again));

    const Music m = decoded(path);
    ASSERT_EQ(m.rate, kOpusRate);
    ASSERT_GE(m.audio.frames(), static_cast<std::size_t>(1.5 * kOpusRate));
    auto rms = [&](const std::vector<float>& v, double from, double to) {
        double s = 0.0;
        const auto a = static_cast<std::size_t>(from * kOpusRate);
        const auto b = static_cast<std::size_t>(to * kOpusRate);
        for (std::size_t i = a; i < b; ++i) s += v[i] * v[i];
        return std::sqrt(s / static_cast<double>(b - a));
    };
    EXPECT_LT(rms(m.audio.left, 0.0, 0.48), 0.01) << "the silence stays where it was";
    EXPECT_GT(rms(m.audio.left, 0.502, 0.51), 0.2) << "the tone starts on time";
    EXPECT_NEAR(rms(m.audio.left, 0.6, 1.4), 0.5 / std::sqrt(2.0), 0.03);
    EXPECT_LT(rms(m.audio.right, 0.6, 1.4), 0.03) << "the sides stay apart";
    int crossings = 0;
    for (auto i = static_cast<std::size_t>(0.6 * kOpusRate); i < static_cast<std::size_t>(1.4 * kOpusRate); ++i)
        crossings += (m.audio.left[i - 1] < 0.0f && m.audio.left[i] >= 0.0f) ? 1 : 0;
    EXPECT_NEAR(crossings, 352, 2) << "440 Hz for 0.8 s";
}

TEST_F(OpusWriter, ReportsAnUnwritablePathAndLeavesNothing) {
    testing_support::TempWorkingDir dir;
    testing_support::writeFileBytes(dir.path() / "plain", "x");
    const std::string path = (dir.path() / "plain" / "music.opus").string();
    std::string error;
    EXPECT_FALSE(writeOpus(path, StereoBuffer(1000), error));
    EXPECT_NE(error.find("plain/music.opus"), std::string::npos) << error;
}
