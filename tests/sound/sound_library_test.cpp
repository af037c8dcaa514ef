// The sound library: its life cycle (close twice, load after close), loading with modes
// and slots, playing paused then started, and the switch between live and offline output.
#include "sound/sound_library.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "tests/support/output_capture.h"
#include "tests/support/report_capture.h"
#include "tests/support/sound_fixtures.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tone_file.h"

using namespace testing_support;

namespace {

class SoundLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        sound::useOfflineOutput();
        ASSERT_TRUE(sound::init(44100, 32, 0));
        ToneSettings settings;
        settings.encoder = "pcm_s16le";
        settings.seconds = 0.5;
        std::string error;
        ASSERT_TRUE(writeToneFile("tone.wav", settings, error)) << error;
    }
    void TearDown() override { sound::close(); }

    TempWorkingDir dir;
};

TEST_F(SoundLibrary, ClosingTwiceIsHarmlessAndLoadingAfterACloseStartsItAgain) {
    EXPECT_TRUE(sound::isInitialised());
    const sound::SampleHandle before = sound::sampleLoad(sound::kUnmanaged, "tone.wav", sound::k2D, 0, 0);
    ASSERT_NE(before, sound::kNoSample);
    const int channel = sound::playSound(sound::kFreeChannel, before);
    sound::close();
    sound::close();
    EXPECT_FALSE(sound::isInitialised());
    EXPECT_EQ(sound::currentOutput(), sound::Output::kClosed);
    EXPECT_FALSE(sound::isPlaying(channel));
    EXPECT_EQ(sound::playSound(sound::kFreeChannel, before), -1);  // closing freed it

    const sound::SampleHandle after = sound::sampleLoad(sound::kUnmanaged, "tone.wav", sound::k2D, 0, 0);
    ASSERT_NE(after, sound::kNoSample);
    EXPECT_NE(after, before);
    EXPECT_TRUE(sound::isInitialised());
    EXPECT_EQ(sound::currentOutput(), sound::Output::kOffline);
    const int again = sound::playSound(sound::kFreeChannel, after);
    EXPECT_TRUE(sound::isPlaying(again));
    EXPECT_NEAR(pullWhilePlaying(again, 100, 100000).size() / 2.0, 22050.0, 100.0);
}

TEST_F(SoundLibrary, TheLoopModeBitDecidesWhetherASampleEnds) {
    const auto once = sound::sampleLoad(sound::kUnmanaged, "tone.wav", 0x2130, 0, 0);
    const auto looped = sound::sampleLoad(sound::kUnmanaged, "tone.wav", 0x2002, 0, 0);
    const int a = sound::playSound(sound::kFreeChannel, once);
    const int b = sound::playSound(sound::kFreeChannel, looped);
    std::vector<std::int16_t> buffer(44100 * 2 * 3);
    sound::pullFrames(buffer.data(), 44100 * 3);
    EXPECT_FALSE(sound::isPlaying(a));
    EXPECT_TRUE(sound::isPlaying(b));
    EXPECT_TRUE(sound::stopSound(b));
    EXPECT_FALSE(sound::isPlaying(b));
}

TEST_F(SoundLibrary, PlayingPausedThenStartingKeepsTheChannel) {
    const auto sample = sound::sampleLoad(sound::kUnmanaged, "tone.wav", 0x2130, 0, 0);
    const int channel = sound::playSoundEx(sound::kFreeChannel, sample, true);
    ASSERT_GE(channel, 0);
    EXPECT_FALSE(sound::isPlaying(channel));
    EXPECT_EQ(sound::playSound(channel, sample), channel);
    EXPECT_TRUE(sound::isPlaying(channel));
    EXPECT_TRUE(sound::setFrequency(channel, 44100));
    EXPECT_TRUE(sound::setVolume(channel, 200));
    EXPECT_TRUE(sound::setPan(channel, 10));
    EXPECT_TRUE(sound::setSurround(channel, true));
    EXPECT_EQ(sound::getFrequency(channel), 44100);
    EXPECT_EQ(sound::getVolume(channel), 200);
    EXPECT_EQ(sound::getPan(channel), 10);
    EXPECT_NEAR(pullWhilePlaying(channel, 100, 100000).size() / 2.0, 11025.0, 100.0);
}

TEST_F(SoundLibrary, FailedLoadsNameTheFileAndTheReason) {
    writeFileBytes("broken.wma", std::string(3000, '\x5a'));
    testing_support::OutputCapture stderrCapture(STDERR_FILENO);
    testing_support::ReportCapture captured;
    EXPECT_EQ(sound::sampleLoad(sound::kUnmanaged, "data/none.wma", 0x2130, 0, 0), sound::kNoSample);
    EXPECT_EQ(sound::sampleLoad(sound::kUnmanaged, "broken.wma", 0x2130, 0, 0), sound::kNoSample);
    EXPECT_EQ(sound::sampleLoad(sound::kUnmanaged, "tone.wav", 0x2130, 100, 0), sound::kNoSample);
    const std::string text = captured.written();
    // One line for each failure, and FFmpeg adds none of its own.
    EXPECT_EQ(captured.reports.size(), 3u) << text;
    EXPECT_EQ(stderrCapture.text(), "");
    EXPECT_NE(text.find("cannot load sound \"data/none.wma\": No such file or directory"), std::string::npos) << text;
    EXPECT_NE(text.find("cannot load sound \"broken.wma\": "), std::string::npos) << text;
    EXPECT_NE(text.find("cannot load sound \"tone.wav\": only whole files"), std::string::npos) << text;
    EXPECT_EQ(sound::playSoundEx(sound::kFreeChannel, sound::kNoSample, true), -1);
    EXPECT_FALSE(sound::isPlaying(-1));
}

TEST_F(SoundLibrary, FreeingASampleStopsItAndANumberedSlotFreesItsPredecessor) {
    const auto first = sound::sampleLoad(3, "tone.wav", 0x2002, 0, 0);
    const int channel = sound::playSound(sound::kFreeChannel, first);
    ASSERT_TRUE(sound::isPlaying(channel));
    const auto second = sound::sampleLoad(3, "tone.wav", 0x2002, 0, 0);
    EXPECT_FALSE(sound::isPlaying(channel));
    EXPECT_EQ(sound::playSound(sound::kFreeChannel, first), -1);

    const int other = sound::playSound(sound::kFreeChannel, second);
    ASSERT_TRUE(sound::isPlaying(other));
    sound::sampleFree(second);
    sound::sampleFree(second);  // again: unknown by now, ignored
    EXPECT_FALSE(sound::isPlaying(other));
}

TEST_F(SoundLibrary, OfflineOutputGivesExactlyWhatIsAskedFor) {
    std::vector<std::int16_t> buffer(1000 * 2, 7);
    EXPECT_EQ(sound::pullFrames(buffer.data(), 1000), 1000);
    EXPECT_EQ(peak(buffer), 0);  // nothing plays
    const auto sample = sound::sampleLoad(sound::kUnmanaged, "tone.wav", 0x2130, 0, 0);
    sound::playSound(sound::kFreeChannel, sample);
    sound::pullFrames(buffer.data(), 1000);
    EXPECT_GT(peak(buffer), 10000);
    EXPECT_EQ(sound::pullFrames(nullptr, 10), 0);
    EXPECT_EQ(sound::pullFrames(buffer.data(), 0), 0);

    sound::close();
    std::fill(buffer.begin(), buffer.end(), std::int16_t{7});
    EXPECT_EQ(sound::pullFrames(buffer.data(), 1000), 1000);
    EXPECT_EQ(peak(buffer), 0);
}

TEST_F(SoundLibrary, SwitchingOutputsMovesTheMixBetweenDeviceAndCaller) {
    const auto sample = sound::sampleLoad(sound::kUnmanaged, "tone.wav", 0x2130, 0, 0);
    sound::useLiveOutput();
    EXPECT_EQ(sound::currentOutput(), sound::Output::kDevice);  // SDL's dummy driver under the tests
    std::vector<std::int16_t> buffer(100 * 2, 7);
    EXPECT_EQ(sound::pullFrames(buffer.data(), 100), 0);
    EXPECT_EQ(peak(buffer), 0);

    // The live output plays half a second out in real time...
    const int live = sound::playSound(sound::kFreeChannel, sample);
    const auto start = std::chrono::steady_clock::now();
    while (sound::isPlaying(live) && std::chrono::steady_clock::now() - start < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(sound::isPlaying(live));

    // ...while after the switch nothing moves until the caller pulls.
    const int held = sound::playSound(sound::kFreeChannel, sample);
    sound::useOfflineOutput();
    EXPECT_EQ(sound::currentOutput(), sound::Output::kOffline);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(sound::isPlaying(held));
    EXPECT_LE(pullWhilePlaying(held, 100, 100000).size() / 2, 22050u + 100);
    EXPECT_FALSE(sound::isPlaying(held));
}

TEST_F(SoundLibrary, RefusesSettingsOutOfRange) {
    testing_support::ReportCapture captured;
    EXPECT_FALSE(sound::init(0, 32, 0));
    EXPECT_FALSE(sound::init(44100, 0, 0));
    EXPECT_FALSE(sound::init(44100, 1000, 0));
    EXPECT_NE(captured.written().find("sound cannot start"), std::string::npos);
    EXPECT_TRUE(sound::isInitialised());  // a refused init leaves the running library alone
}

}  // namespace
