// The sound system's records over the library, on the offline output.
#include "sound/sound_system.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "tests/support/encoders.h"
#include "tests/support/report_capture.h"
#include "tests/support/sound_fixtures.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tone_file.h"

using namespace testing_support;

namespace {

class SoundSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = missingEncoders({"wmav2"}); !missing.empty()) GTEST_SKIP() << missing;
        sound::useOfflineOutput();
        ToneSettings settings;
        settings.seconds = 1.0;
        std::string error;
        ASSERT_TRUE(writeToneFile("tone.wma", settings, error)) << error;
    }
    void TearDown() override { platform::useRealClock(); }

    TempWorkingDir dir;
};

TEST_F(SoundSystemTest, ConstructionInitialisesTheLibraryAndDestructionClosesIt) {
    sound::close();
    {
        SoundSystem none(0);
        EXPECT_TRUE(sound::isInitialised());
        EXPECT_TRUE(none.records.empty());
    }
    EXPECT_FALSE(sound::isInitialised());
    {
        SoundSystem negative(-4);
        EXPECT_TRUE(negative.records.empty());
        SoundSystem three(3);
        ASSERT_EQ(three.records.size(), 3u);
        for (const SoundChannel& record : three.records) {
            EXPECT_TRUE(record.ready);
            EXPECT_EQ(record.sample, sound::kNoSample);
            EXPECT_FALSE(three.isPlaying(0));  // never started
        }
    }
    sound::close();  // the destructors closed it already
    EXPECT_FALSE(sound::isInitialised());
}

TEST_F(SoundSystemTest, PlayStartsTheRecordAtItsFrequencyAndVolume) {
    SoundSystem system(1);
    system.loadSample("tone.wma", 0, false);
    ASSERT_NE(system.records[0].sample, sound::kNoSample);
    system.play(0, 22050, 255);
    const int channel = system.getChannel(0);
    EXPECT_TRUE(system.isPlaying(0));
    EXPECT_EQ(system.getFrequency(0), 22050);
    EXPECT_EQ(system.getVolume(0), 255);
    EXPECT_EQ(sound::getFrequency(channel), 22050);
    EXPECT_EQ(sound::getVolume(channel), 255);

    system.setFrequency(0, 44100);
    EXPECT_EQ(system.getFrequency(0), 22050);  // the record keeps what play was given
    EXPECT_EQ(sound::getFrequency(channel), 44100);
    system.setPan(0, 0);
    EXPECT_EQ(sound::getPan(channel), 0);
    system.setSurround(channel, true);  // a channel handle, accepted

    // At double speed the 1 s file plays out in about half a second, then stops sounding.
    const auto out = pullWhilePlaying(channel, 100, 200000);
    EXPECT_NEAR(out.size() / 2.0, 22050.0, 22050.0 * 0.1);
    EXPECT_FALSE(system.isPlaying(0));
}

TEST_F(SoundSystemTest, ALoopingSampleKeepsPlayingUntilStop) {
    SoundSystem system(2);
    system.loadSample("tone.wma", 1, true);
    system.play(1, 22050, 100);
    std::vector<std::int16_t> buffer(44100 * 2);
    for (int second = 0; second < 3; ++second) sound::pullFrames(buffer.data(), 44100);
    EXPECT_TRUE(system.isPlaying(1));
    EXPECT_FALSE(system.isPlaying(0));
    system.stop(1);
    EXPECT_FALSE(system.isPlaying(1));
}

TEST_F(SoundSystemTest, FadeDownStopsOneAboveItsTargetAndStepVolumeUpStepsByOne) {
    SoundSystem system(1);
    system.loadSample("tone.wma", 0, true);
    system.play(0, 22050, 255);
    platform::useVirtualClock(1000);
    system.fadeDown(0, 255, 0);
    EXPECT_EQ(system.getVolume(0), 1);
    EXPECT_EQ(sound::getVolume(system.getChannel(0)), 1);
    EXPECT_EQ(platform::tickCount(), 1000u + 255 * 5);  // 5 ms a step
    system.fadeDown(0, 10, 20);
    EXPECT_EQ(system.getVolume(0), 1);

    system.setVolume(0, 8);
    system.stepVolumeUp(0, 10);
    EXPECT_EQ(system.getVolume(0), 9);
    system.stepVolumeUp(0, 10);
    EXPECT_EQ(system.getVolume(0), 10);
    system.stepVolumeUp(0, 10);
    EXPECT_EQ(system.getVolume(0), 10);
    EXPECT_EQ(sound::getVolume(system.getChannel(0)), 10);
}

TEST_F(SoundSystemTest, FreeingKeepsTheHandleButEndsTheSound) {
    SoundSystem system(1);
    system.loadSample("tone.wma", 0, true);
    system.play(0, 22050, 255);
    const sound::SampleHandle handle = system.records[0].sample;
    system.freeSample(0);
    EXPECT_EQ(system.records[0].sample, handle);
    EXPECT_FALSE(system.isPlaying(0));
    system.play(0, 22050, 255);  // a freed sample cannot start again
    EXPECT_EQ(system.getChannel(0), -1);
    EXPECT_FALSE(system.isPlaying(0));
}

TEST_F(SoundSystemTest, AFailedLoadLeavesANullSampleThatNeverPlays) {
    SoundSystem system(1);
    testing_support::ReportCapture captured;
    system.loadSample("data/music.wma", 0, false);
    const std::string text = captured.written();
    EXPECT_NE(text.find("\"data/music.wma\""), std::string::npos) << text;
    EXPECT_EQ(system.records[0].sample, sound::kNoSample);
    system.play(0, 22050, 255);
    EXPECT_EQ(system.getChannel(0), -1);
    EXPECT_FALSE(system.isPlaying(0));
}

TEST_F(SoundSystemTest, AThirtyThirdRecordFindsNoChannelAndHarmsNoOther) {
    SoundSystem system(33);
    for (int i = 0; i < 33; ++i) {
        system.loadSample("tone.wma", i, true);
        system.play(i, 22050, 255);
    }
    for (int i = 0; i < 32; ++i) EXPECT_TRUE(system.isPlaying(i)) << i;
    EXPECT_EQ(system.getChannel(32), -1);
    EXPECT_FALSE(system.isPlaying(32));
    system.setVolume(32, 3);
    system.stop(32);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(sound::getVolume(system.getChannel(i)), 255) << i;
    system.stop(4);
    system.play(32, 22050, 255);
    EXPECT_TRUE(system.isPlaying(32));
}

TEST_F(SoundSystemTest, IndicesOutsideTheRecordsAreRefusedAloud) {
    SoundSystem system(1);
    testing_support::ReportCapture captured;
    system.loadSample("tone.wma", 1, false);
    system.play(-1, 22050, 255);
    system.setVolume(5, 10);
    system.fadeDown(7, 3, 0);
    EXPECT_FALSE(system.isPlaying(1));
    EXPECT_EQ(system.getVolume(2), 0);
    EXPECT_EQ(system.getChannel(2), -1);
    const std::string text = captured.written();
    EXPECT_NE(text.find("sound record 1 does not exist"), std::string::npos) << text;
    EXPECT_NE(text.find("sound record -1 does not exist"), std::string::npos) << text;
    EXPECT_EQ(system.records.size(), 1u);
    EXPECT_EQ(system.records[0].sample, sound::kNoSample);
}

}  // namespace
