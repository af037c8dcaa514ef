// The demo's set-up and tear-down as far as they reach now: the log, the camera, the clock,
// the music on record 0, and the sound library's life across a reopened window.
#include <gtest/gtest.h>

#include <filesystem>

#include "demo/demo.h"
#include "demo/demo_globals.h"
#include "platform/clock.h"
#include "sound/sound_library.h"
#include "tests/support/sound_fixtures.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

// Whether the sound library was running before any test did anything: the global sound
// system starts it while the program's globals are built.
bool libraryRunningAtStart = false;

class StartState : public ::testing::Environment {
public:
    void SetUp() override { libraryRunningAtStart = sound::isInitialised(); }
};
[[maybe_unused]] const auto* const startState = ::testing::AddGlobalTestEnvironment(new StartState);

class Setup : public ::testing::Test {
protected:
    void SetUp() override {
        sound::useOfflineOutput();
        std::filesystem::create_directory("data");
        writeMusic("data/music.wma", 2.0);
        platform::useVirtualClock(424242);
    }
    void TearDown() override { platform::useRealClock(); }

    TempWorkingDir dir;
    AppWindow window{};
    KeyState keys{};
};

TEST_F(Setup, TheGlobalSoundSystemHasOneRecordAndStartedTheLibraryBeforeMain) {
    EXPECT_TRUE(libraryRunningAtStart);
    ASSERT_EQ(soundSystem.records.size(), 1u);
    EXPECT_TRUE(soundSystem.records[0].ready);
}

TEST_F(Setup, InitialisingEmptiesTheLogPlacesTheCameraStartsTheMusicAndTheClock) {
    writeFileBytes("log.htm", "old entries");
    demoTicks = 77.0f;
    sceneIndex = 4;
    overlayIndex = 5;
    EXPECT_TRUE(initialiseDemo(&window, &keys));

    EXPECT_FALSE(std::filesystem::exists("log.htm"));
    EXPECT_EQ(demoWindow, &window);
    EXPECT_EQ(demoKeys, &keys);
    EXPECT_EQ(demoCamera.position.x, 0.0f);
    EXPECT_EQ(demoCamera.position.y, 0.0f);
    EXPECT_EQ(demoCamera.position.z, 0.0f);
    EXPECT_EQ(demoCamera.view.z, -10.0f);
    EXPECT_EQ(demoCamera.upVector.y, 1.0f);
    EXPECT_EQ(demoTicks, 0.0f);
    EXPECT_EQ(sceneIndex, 0);
    EXPECT_EQ(overlayIndex, 0);
    EXPECT_EQ(startTick, 424242u);

    EXPECT_TRUE(soundSystem.isPlaying(0));
    EXPECT_EQ(soundSystem.getFrequency(0), 22050);
    EXPECT_EQ(soundSystem.getVolume(0), 255);
    const int channel = soundSystem.getChannel(0);
    EXPECT_EQ(sound::getFrequency(channel), 22050);
    EXPECT_EQ(sound::getVolume(channel), 255);
    // Not looping: the 2 s file at its own rate plays out in 2 s.
    EXPECT_NEAR(pullWhilePlaying(channel, 441, 44100 * 10).size() / 2.0, 88200.0, 88200 * 0.05);
    deinitialiseDemo();
}

TEST_F(Setup, TearingDownClosesTheLibraryAndSettingUpAgainPlaysTheMusicAgain) {
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    const int first = soundSystem.getChannel(0);
    ASSERT_TRUE(soundSystem.isPlaying(0));
    deinitialiseDemo();
    EXPECT_FALSE(sound::isInitialised());
    EXPECT_FALSE(sound::isPlaying(first));
    deinitialiseDemo();  // closing a closed library again is harmless

    // The reopened window of a display-mode toggle.
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    EXPECT_TRUE(sound::isInitialised());
    EXPECT_TRUE(soundSystem.isPlaying(0));
    updateDemo(0);
    EXPECT_EQ(sound::currentOutput(), sound::Output::kOffline);
    deinitialiseDemo();
}

}  // namespace
