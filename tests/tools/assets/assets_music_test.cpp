// The generated music: the file decodes as the show's mixer will decode it, its form follows
// the show's cuts, and its sections differ in character where the pictures change.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "base/av_util.h"
#include "tests/support/encoders.h"
#include "tests/support/temp_dir.h"
#include "tools/assets/arrangement.h"
#include "tools/assets/file_output.h"
#include "tools/assets/loudness.h"
#include "tools/assets/music.h"
#include "tools/assets/music_reader.h"
#include "tools/assets/score.h"
#include "tools/assets/synth_units.h"
#include "tools/assets/wma_writer.h"

using namespace assets;

namespace {

const std::filesystem::path kData = OYUN_TEST_DATA_DIR;
const double kCuts[] = {0.0, 19.0, 38.0, 60.0, 80.0, 86.0, 90.0, 106.0};

struct Decoded {
    AVCodecID codec = AV_CODEC_ID_NONE;
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> left, right;
};

// The file's codec and layout as its header gives them, and its samples as the tool reads music.
Decoded decodeMusic(const std::string& path) {
    Decoded d;
    AVFormatContext* rawFormat = nullptr;
    if (avformat_open_input(&rawFormat, path.c_str(), nullptr, nullptr) < 0) return d;
    const AvFormatInputPtr format(rawFormat);
    avformat_find_stream_info(format.get(), nullptr);
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0) return d;
    const AVCodecParameters* par = format->streams[index]->codecpar;
    d.codec = par->codec_id;
    d.sampleRate = par->sample_rate;
    d.channels = par->ch_layout.nb_channels;
    StereoBuffer audio;
    int rate = 0;
    std::string error;
    if (!readMusic(path, audio, rate, error)) return d;
    d.left = std::move(audio.left);
    d.right = std::move(audio.right);
    return d;
}

const Decoded& music() {
    static const Decoded decoded = decodeMusic((kData / "music.wma").string());
    return decoded;
}

// Loudness (RMS, dBFS) of the decoded music between two times.
double loudness(double from, double to) {
    const Decoded& d = music();
    double sum = 0.0;
    std::size_t n = 0;
    for (std::size_t i = frameAt(from); i < frameAt(to) && i < d.left.size(); ++i, ++n) {
        sum += d.left[i] * d.left[i] + d.right[i] * d.right[i];
    }
    return 10.0 * std::log10(sum / (2.0 * static_cast<double>(std::max<std::size_t>(n, 1))) + 1e-12);
}

StereoBuffer musicBuffer() {
    StereoBuffer b;
    b.left = music().left;
    b.right = music().right;
    return b;
}

// How far apart the decoded music sounds in the two seconds either side of a time: the RMS,
// over octave bands from 63 Hz to 10 kHz, of each band's change in level (dB).
double changeAcross(double cut) {
    const Decoded& d = music();
    auto bandDb = [&](double from, double to, float hz) {
        StateVariableFilter l, r;
        l.setup(hz, 1.4f);
        r.setup(hz, 1.4f);
        double e = 0.0;
        std::size_t n = 0;
        // The filters settle for a tenth of a second before the span counts.
        for (std::size_t i = frameAt(from - 0.1); i < frameAt(to); ++i) {
            const float x = l.process(d.left[i]).band;
            const float y = r.process(d.right[i]).band;
            if (i >= frameAt(from)) {
                e += x * x + y * y;
                ++n;
            }
        }
        return 10.0 * std::log10(e / static_cast<double>(n) + 1e-12);
    };
    double sum = 0.0;
    int bands = 0;
    for (float hz : {63.0f, 125.0f, 250.0f, 500.0f, 1000.0f, 2000.0f, 4000.0f, 8000.0f, 10000.0f}) {
        const double change = bandDb(cut, cut + 2.0, hz) - bandDb(cut - 2.0, cut, hz);
        sum += change * change;
        ++bands;
    }
    return std::sqrt(sum / bands);
}

}  // namespace

TEST(Arrangement, SectionsStartOnTheShowsCuts) {
    const std::vector<Section>& sections = arrangement();
    ASSERT_EQ(sections.size(), std::size(kCuts));
    for (std::size_t i = 0; i < sections.size(); ++i) {
        EXPECT_DOUBLE_EQ(sections[i].startSeconds(), kCuts[i]) << sections[i].name;
        if (i + 1 < sections.size()) {
            EXPECT_EQ(sections[i].startBeat + sections[i].beats, sections[i + 1].startBeat);
        }
    }
    EXPECT_GE(arrangementSeconds(), 130.0);
    EXPECT_GE(musicSeconds(), arrangementSeconds());
}

TEST(Arrangement, BarsFillEachSectionWithAHalfBarOnlyAtItsEnd) {
    for (const Section& s : arrangement()) {
        SCOPED_TRACE(s.name);
        double beat = s.startBeat;
        for (std::size_t i = 0; i < s.bars.size(); ++i) {
            EXPECT_DOUBLE_EQ(s.bars[i].startBeat, beat);
            if (i + 1 < s.bars.size()) {
                EXPECT_EQ(s.bars[i].beats, 4.0);
            } else {
                EXPECT_TRUE(s.bars[i].beats == 4.0 || s.bars[i].beats == 2.0);
            }
            beat += s.bars[i].beats;
        }
        EXPECT_DOUBLE_EQ(beat, s.startBeat + s.beats);
    }
}

TEST(Score, EveryNoteIsPlayableAndInsideTheMusic) {
    const Score score = composeScore();
    for (const auto* track : {&score.pad, &score.bass, &score.lead, &score.pluck, &score.bell}) {
        ASSERT_FALSE(track->empty());
        for (const NoteEvent& n : *track) {
            ASSERT_GE(n.start, 0.0);
            ASSERT_GT(n.length, 0.0);
            ASSERT_LE(n.start + n.length, arrangementSeconds() + 0.05);
            ASSERT_GE(n.pitch, 24.0f);
            ASSERT_LE(n.pitch, 96.0f);
            ASSERT_GT(n.velocity, 0.0f);
            ASSERT_LE(n.velocity, 1.0f);
            ASSERT_LE(std::fabs(n.pan), 1.0f);
        }
    }
    for (const DrumHit& hit : score.drums) {
        ASSERT_GE(hit.start, 0.0);
        ASSERT_LT(hit.start, arrangementSeconds());
        ASSERT_GT(hit.velocity, 0.0f);
        ASSERT_LE(hit.velocity, 1.0f);
    }
}

TEST(Score, TheGrooveChangesAtTheCuts) {
    const Score score = composeScore();
    auto count = [&](DrumKind kind, double from, double to) {
        return std::count_if(score.drums.begin(), score.drums.end(), [&](const DrumHit& h) {
            return h.kind == kind && h.start >= from - 1e-9 && h.start < to - 1e-9;
        });
    };
    EXPECT_EQ(count(DrumKind::kKick, 0.0, 8.0), 0) << "the intro opens without a beat";
    EXPECT_EQ(count(DrumKind::kKick, 19.0, 37.0), 36) << "four to the bar from the drop";
    EXPECT_EQ(count(DrumKind::kKick, 38.0, 54.0), 0) << "the breakdown drops the kick";
    EXPECT_EQ(count(DrumKind::kClap, 38.0, 60.0), 0);
    EXPECT_GT(count(DrumKind::kClap, 60.0, 80.0), 0);
    for (double cut : {19.0, 60.0, 86.0}) EXPECT_EQ(count(DrumKind::kImpact, cut, cut + 0.001), 1) << cut;
    for (double cut : {19.0, 38.0, 60.0, 86.0, 90.0, 106.0})
        EXPECT_EQ(count(DrumKind::kCrash, cut, cut + 0.001), 1) << cut;
    // Snare rolls lead into the drop, the theme and the peak.
    for (double cut : {19.0, 60.0, 86.0}) EXPECT_GE(count(DrumKind::kSnare, cut - 2.0, cut), 6) << cut;
}

TEST(Score, RenderedKickFollowsTheArrangement) {
    const Score score = composeScore();
    const StereoBuffer kick = renderTrack(score, Track::kKick, frameAt(musicSeconds()));
    auto energy = [&](double from, double to) {
        double e = 0.0;
        for (std::size_t i = frameAt(from); i < frameAt(to); ++i) e += kick.left[i] * kick.left[i];
        return e;
    };
    EXPECT_EQ(energy(0.0, 8.0), 0.0);
    EXPECT_GT(energy(20.0, 30.0), 1.0);
    EXPECT_LT(energy(40.0, 54.0), 1e-6);
}

TEST(GeneratedMusic, IsWmaVersionTwoAt22050HzStereoLongEnough) {
    const Decoded& d = music();
    EXPECT_EQ(d.codec, AV_CODEC_ID_WMAV2);
    EXPECT_EQ(d.sampleRate, 22050);
    EXPECT_EQ(d.channels, 2);
    const double seconds = static_cast<double>(d.left.size()) / 22050.0;
    EXPECT_GE(seconds, 130.0);
    EXPECT_LT(seconds, 150.0);
}

TEST(GeneratedMusic, PeaksStayBelowMinusOneDecibelWithNoBadSamples) {
    const Decoded& d = music();
    ASSERT_FALSE(d.left.empty());
    float peak = 0.0f;
    for (const auto* channel : {&d.left, &d.right}) {
        for (float v : *channel) {
            ASSERT_TRUE(std::isfinite(v));
            peak = std::max(peak, std::fabs(v));
        }
    }
    EXPECT_LT(20.0 * std::log10(peak), -1.0);
    EXPECT_GT(20.0 * std::log10(peak), -8.0) << "loud enough to be heard";
}

TEST(GeneratedMusic, SectionsDifferInLoudnessWhereThePicturesChange) {
    EXPECT_GT(loudness(19.5, 37.5), loudness(0.5, 7.5) + 6.0) << "the drop hits after the quiet opening";
    EXPECT_GT(loudness(19.5, 37.5), loudness(38.5, 54.0) + 2.0) << "the breakdown settles down";
    EXPECT_GT(loudness(86.5, 89.5), loudness(38.5, 54.0) + 3.0) << "the giant ball brings the peak";
    EXPECT_GT(loudness(90.5, 105.5), loudness(130.0, 137.5) + 4.0) << "the outro fades away";
    EXPECT_LT(loudness(musicSeconds() - 0.2, musicSeconds()), -50.0) << "it ends in silence";
}

TEST(GeneratedMusic, MeetsTheLoudnessTargetAsDecoded) {
    ASSERT_GT(music().left.size(), frameAt(130.0));
    const LevelReading level = measureLevel(musicBuffer(), 22050.0);
    EXPECT_NEAR(level.lufs, kMusicLoudness, 0.5);
    EXPECT_LE(level.truePeakDb, kMusicTruePeakMax);
    std::string error;
    EXPECT_TRUE(checkMusicLevel(level, "music.wma", error)) << error;
}

TEST(GeneratedMusic, TheCreditsAndTheThanksChangeTheSoundAsClearlyAsTheBreakdown) {
    ASSERT_GT(music().left.size(), frameAt(130.0));
    // The breakdown at 38 s, where the beat stops, is the yardstick for a change one hears.
    const double yardstick = changeAcross(38.0);
    EXPECT_GT(yardstick, 1.5);
    for (double cut : {90.0, 106.0}) {
        EXPECT_GT(changeAcross(cut), yardstick) << cut;
        EXPECT_GT(changeAcross(cut), 3.0) << cut;
    }
    // Within a section the sound holds steady: far less change than at any cut.
    EXPECT_LT(changeAcross(96.0), 1.5);
}

TEST(GeneratedMusic, DecodesInTimeWithTheShowsClock) {
    // The kick, rendered alone, lines up with the decoded mix sample for sample: the cuts of
    // the pictures fall on the beats.
    const Decoded& d = music();
    const Score score = composeScore();
    const StereoBuffer kick = renderTrack(score, Track::kKick, frameAt(musicSeconds()));
    const std::size_t from = frameAt(20.0);
    const std::size_t length = frameAt(2.0);
    ASSERT_GT(d.left.size(), from + length + 2048);
    int bestLag = 0;
    double best = -1.0;
    for (int lag = -1500; lag <= 1500; ++lag) {
        double c = 0.0;
        for (std::size_t i = from; i < from + length; i += 2) {
            const auto j = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(i) + lag);
            c += static_cast<double>(d.left[j] + d.right[j]) * (kick.left[i] + kick.right[i]);
        }
        if (c > best) {
            best = c;
            bestLag = lag;
        }
    }
    // The master's rumble filter leads the kick's low notes by a millisecond or so; a lost or
    // extra encoder block would be 1024 samples.
    EXPECT_LE(std::abs(bestLag), 40) << "samples the decoded music is late (positive) or early";
}

// Without the encoder the writer stops before it names the path.
class WmaWriter : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = testing_support::missingEncoders({"wmav2"}); !missing.empty())
            GTEST_SKIP() << missing;
    }
};

TEST_F(WmaWriter, EncodesATonePlayableAtItsPlace) {
    testing_support::TempWorkingDir dir;
    // Half a second of silence, then a second of A at 440 Hz on the left only.
    StereoBuffer tone(frameAt(1.5));
    for (std::size_t i = frameAt(0.5); i < tone.frames(); ++i) {
        tone.left[i] = 0.5f * std::sin(2.0f * 3.14159265f * 440.0f * static_cast<float>(i) / kSampleRate);
    }
    const std::string path = (dir.path() / "tone.wma").string();
    std::string error;
    ASSERT_TRUE(writeWma(path, tone, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(partPath(path)));

    const Decoded d = decodeMusic(path);
    EXPECT_EQ(d.codec, AV_CODEC_ID_WMAV2);
    ASSERT_GE(d.left.size(), tone.frames());
    auto rms = [](const std::vector<float>& v, double from, double to) {
        double s = 0.0;
        for (std::size_t i = frameAt(from); i < frameAt(to); ++i) s += v[i] * v[i];
        return std::sqrt(s / static_cast<double>(frameAt(to) - frameAt(from)));
    };
    EXPECT_LT(rms(d.left, 0.0, 0.48), 0.01) << "the silence stays where it was";
    EXPECT_NEAR(rms(d.left, 0.6, 1.4), 0.5 / std::sqrt(2.0), 0.03);
    EXPECT_LT(rms(d.right, 0.6, 1.4), 0.02) << "the sides stay apart";
    int crossings = 0;
    for (std::size_t i = frameAt(0.6); i < frameAt(1.4); ++i)
        crossings += (d.left[i - 1] < 0.0f && d.left[i] >= 0.0f) ? 1 : 0;
    EXPECT_NEAR(crossings, 352, 2) << "440 Hz for 0.8 s";
}

TEST_F(WmaWriter, ReportsAnUnwritablePathAndLeavesNothing) {
    testing_support::TempWorkingDir dir;
    testing_support::writeFileBytes(dir.path() / "plain", "x");
    const std::string path = (dir.path() / "plain" / "music.wma").string();
    std::string error;
    EXPECT_FALSE(writeWma(path, StereoBuffer(1000), error));
    EXPECT_NE(error.find("plain/music.wma"), std::string::npos) << error;
}
