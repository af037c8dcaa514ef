// The demo's clock and timeline: the scene table's boundaries and cameras, wrap-around,
// the random drift of scene 3, the keys, and the end of the show with the music.
#include "demo/timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "demo/demo.h"
#include "demo/demo_globals.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "shell/app_window.h"
#include "sound/sound_library.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/report_capture.h"
#include "tests/support/sound_fixtures.h"
#include "tests/support/temp_dir.h"
#include "tests/support/tone_file.h"

using namespace testing_support;

namespace {

struct Point3 {
    double x, y, z;
};

void expectAt(const Vector3& actual, Point3 expected, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-4) << what;
    EXPECT_NEAR(actual.z, expected.z, 1e-4) << what;
}

const Point3 kTowerFromBelowPosition{37.500465, -13.445165, -49.083401};
const Point3 kTowerFromBelowView{33.814697, -7.126167, -42.265347};
const Point3 kUpTheTowerView{0.299563, 22.366787, -0.204808};
const Point3 kGiantBallFromAbovePosition{-48.465942, 53.875366, -58.708519};
const Point3 kGiantBallFromAboveView{-43.806816, 48.495758, -51.683372};

Point3 insideTowerPosition(double t) {
    return {0.302065, 10 * std::sin(t / 100) + 12.366753, std::sin(t / 137) - 0.212369};
}
Point3 underRisingBallsPosition(double t) {
    return {0.302065, std::sin(t / 100) + 12.366753, 20 * std::sin(t / 137) - 0.212369};
}

class Timeline : public ::testing::Test {
protected:
    void SetUp() override {
        sound::useOfflineOutput();
        keys.fill(0);
        demoWindow = &window;
        demoKeys = &keys;
        programRunning = 1;
        seedDemoRandom(1);
        startTick = 5000;
        demoTicks = 1234.0f;
        writeMusic("music.wma", 1.0);
        soundSystem.loadSample("music.wma", 0, false);
        soundSystem.play(0, 22050, 255);
        ASSERT_TRUE(soundSystem.isPlaying(0));
    }
    void TearDown() override {
        platform::useRealClock();
        sound::close();
    }

    void selectAt(std::int32_t elapsed) {
        frameTick = startTick + static_cast<std::uint32_t>(elapsed);
        selectScene();
    }
    void updateAt(std::uint32_t tick) {
        platform::setVirtualTick(tick);
        updateDemo(20);
    }

    TempWorkingDir dir;
    AppWindow window{};
    KeyState keys{};
};

struct Row {
    std::int32_t elapsed;
    int scene;
    int overlay;
    char camera;  // A tower from below, B inside it, 3 drift, D under the rising balls, E giant ball
};

class TimelineTable : public Timeline, public ::testing::WithParamInterface<Row> {};

TEST_P(TimelineTable, EachElapsedTimeFallsInItsRow) {
    const Row row = GetParam();
    sceneIndex = 0;
    overlayIndex = 99;
    selectAt(row.elapsed);
    EXPECT_EQ(sceneIndex, row.scene);
    EXPECT_EQ(overlayIndex, row.overlay);
    const double t = demoTicks;
    switch (row.camera) {
        case 'A':
            expectAt(demoCamera.position, kTowerFromBelowPosition, "position");
            expectAt(demoCamera.view, kTowerFromBelowView, "view");
            break;
        case 'B':
            expectAt(demoCamera.position, insideTowerPosition(t), "position");
            expectAt(demoCamera.view, kUpTheTowerView, "view");
            break;
        case '3': expectAt(demoCamera.position, {0, 0, 0}, "position"); break;
        case 'D':
            expectAt(demoCamera.position, underRisingBallsPosition(t), "position");
            expectAt(demoCamera.view, kUpTheTowerView, "view");
            break;
        case 'E':
            expectAt(demoCamera.position, kGiantBallFromAbovePosition, "position");
            expectAt(demoCamera.view, kGiantBallFromAboveView, "view");
            break;
    }
    expectAt(demoCamera.upVector, {0, 1, 0}, "up");
}

INSTANTIATE_TEST_SUITE_P(Boundaries, TimelineTable,
                         ::testing::Values(Row{-5, 1, 0, 'A'}, Row{0, 1, 0, 'A'}, Row{19000, 1, 0, 'A'},
                                           Row{19001, 1, 1, 'A'}, Row{37999, 1, 1, 'A'}, Row{38000, 2, 0, 'B'},
                                           Row{59999, 2, 0, 'B'}, Row{60000, 3, 0, '3'}, Row{80000, 3, 0, '3'},
                                           Row{80001, 4, 0, 'D'}, Row{85999, 4, 0, 'D'}, Row{86000, 6, 3, 'E'},
                                           Row{89999, 6, 3, 'E'}, Row{90000, 6, 4, 'E'}, Row{105999, 6, 4, 'E'},
                                           Row{106000, 6, 5, 'E'}, Row{10000000, 6, 5, 'E'}),
                         [](const auto& test) {
                             const std::int32_t e = test.param.elapsed;
                             return (e < 0 ? "minus" + std::to_string(-e) : std::to_string(e)) + "ms";
                         });

TEST_F(Timeline, ElapsedTimeSurvivesTheTickCounterWrapping) {
    startTick = 0xFFFFF000u;
    selectAt(50000);
    EXPECT_LT(frameTick, startTick);
    EXPECT_EQ(elapsedShowTime(), 50000);
    EXPECT_EQ(sceneIndex, 2);
    startTick = 0xFFFFFFFFu;
    selectAt(106000);
    EXPECT_EQ(overlayIndex, 5);
}

TEST_F(Timeline, TheAnimationClockIsTheTickItselfInTwentiethsTruncated) {
    platform::useVirtualClock(0);
    updateAt(1234567);
    EXPECT_EQ(frameTick, 1234567u);
    EXPECT_EQ(demoTicks, 61728.0f);
    updateAt(19);
    EXPECT_EQ(demoTicks, 0.0f);
    // Divided as a signed number: ticks above 2^31 count down from zero.
    updateAt(0xFFFFFFD8u);  // -40
    EXPECT_EQ(demoTicks, -2.0f);
    updateAt(0xFFFFFFFFu);  // -1
    EXPECT_EQ(demoTicks, 0.0f);
    EXPECT_EQ(programRunning, 1);
}

TEST_F(Timeline, DemoRandomRepeatsTheGeneratorsKnownSequence) {
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected) EXPECT_EQ(demoRandom(), value);
    seedDemoRandom(0xFFFFFFFFu);
    for (int i = 0; i < 1000; ++i) {
        const int value = demoRandom();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
    }
}

TEST_F(Timeline, SceneThreeDriftsFromInsideTheTowerAndAccumulates) {
    demoTicks = 3000.0f;
    selectAt(59980);
    expectAt(demoCamera.view, kUpTheTowerView, "last frame of scene 2");

    Point3 view = kUpTheTowerView;
    const int offsets[] = {41 % 10 - 5, 18467 % 10 - 5, 6334 % 10 - 5, 26500 % 10 - 5};
    for (int frame = 0; frame < 4; ++frame) {
        demoTicks = 3001.0f + static_cast<float>(frame);
        const double t = demoTicks;
        view = {view.x + 10 * std::sin(t / 100), view.y + std::sin(t / 137), view.z + offsets[frame]};
        selectAt(60000 + 20 * frame);
        EXPECT_EQ(sceneIndex, 3);
        expectAt(demoCamera.position, {0, 0, 0}, "position");
        expectAt(demoCamera.view, view, "view");
    }
}

TEST_F(Timeline, KeypadThreeLogsTheCameraOnEveryFrameItIsHeld) {
    platform::useVirtualClock(100000);
    selectAt(0);  // the tower from below
    keys[platform::VK_NUMPAD3] = 1;
    keys[platform::characterKey('C')] = 1;  // writes nothing
    for (int frame = 0; frame < 10; ++frame) updateAt(100000 + 20 * frame);
    const std::string log = readFileBytes("log.htm");
    const std::string line = "\r\n<b>37.500465, -13.445165, -49.083401, 33.814697, -7.126167, -42.265347,</b><br>\r\n";
    int lines = 0;
    for (std::size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1)) ++lines;
    EXPECT_EQ(lines, 10) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 20);  // ten time lines, ten camera lines
    EXPECT_EQ(programRunning, 1);
}

TEST_F(Timeline, HeldKeysMoveTheCameraAndOppositeKeysCancel) {
    platform::useVirtualClock(100000);
    demoCamera.place(0, 0, 0, 0, 0, -10, 0, 1, 0);
    updateAt(100000);  // refreshes the sideways vector: +x

    keys[platform::characterKey('W')] = 1;
    keys[platform::characterKey('S')] = 1;
    for (int frame = 1; frame <= 5; ++frame) updateAt(100000 + 20 * frame);
    expectAt(demoCamera.position, {0, 0, 0}, "W and S");
    expectAt(demoCamera.view, {0, 0, -10}, "W and S");

    keys[platform::characterKey('S')] = 0;
    updateAt(100200);
    expectAt(demoCamera.position, {0, 0, -0.5}, "W");
    keys[platform::characterKey('W')] = 0;
    keys[platform::characterKey('D')] = 1;
    updateAt(100220);
    updateAt(100240);
    expectAt(demoCamera.position, {1.0, 0, -0.5}, "D twice");
    keys[platform::characterKey('A')] = 1;
    updateAt(100260);
    expectAt(demoCamera.position, {1.0, 0, -0.5}, "A and D");
    EXPECT_EQ(programRunning, 1);
}

TEST_F(Timeline, EscapeOrTheEndOfTheMusicRequestsTheQuit) {
    platform::useVirtualClock(100000);
    updateAt(100000);
    EXPECT_EQ(programRunning, 1);
    keys[platform::VK_ESCAPE] = 1;
    updateAt(100020);
    EXPECT_EQ(programRunning, 0);

    keys[platform::VK_ESCAPE] = 0;
    programRunning = 1;
    soundSystem.stop(0);
    updateAt(100040);
    EXPECT_EQ(programRunning, 0);
}

// The whole per-frame road with the real set-up, a window's GL context and the music on
// the offline output: nothing ends the show until the music has played out at 50 s.
TEST(TimelineRun, MusicEndingAtFiftySecondsDrawsAScene2FrameAndQuits) {
    TempWorkingDir dir;
    GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    sound::useOfflineOutput();
    std::filesystem::create_directory("data");
    writeMusic("data/music.wma", 1.0);
    AppWindow window{};
    KeyState keys{};
    programRunning = 1;
    platform::useVirtualClock(7000);
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    ASSERT_TRUE(soundSystem.isPlaying(0));

    for (std::uint32_t elapsed = 20; elapsed < 50000; elapsed += 20) {
        platform::setVirtualTick(7000 + elapsed);
        updateDemo(20);
        drawDemo();
        ASSERT_EQ(programRunning, 1) << elapsed;
    }
    std::vector<std::int16_t> buffer(4410 * 2);
    for (int i = 0; i < 100 && soundSystem.isPlaying(0); ++i) sound::pullFrames(buffer.data(), 4410);
    ASSERT_FALSE(soundSystem.isPlaying(0));
    platform::setVirtualTick(7000 + 50000);
    updateDemo(20);
    EXPECT_EQ(programRunning, 0);
    drawDemo();
    EXPECT_EQ(sceneIndex, 2);
    deinitialiseDemo();
    platform::useRealClock();
}

TEST(TimelineRun, MissingMusicEndsTheShowAfterOneFrameAndSaysWhy) {
    TempWorkingDir dir;
    sound::useOfflineOutput();
    AppWindow window{};
    KeyState keys{};
    programRunning = 1;
    testing_support::ReportCapture captured;
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    const std::string text = captured.written();
    EXPECT_NE(text.find("cannot load sound \"data/music.wma\": No such file or directory"), std::string::npos) << text;
    updateDemo(0);
    EXPECT_EQ(programRunning, 0);
    selectScene();
    EXPECT_EQ(sceneIndex, 1);
    deinitialiseDemo();
}

}  // namespace
