// The show on a real offscreen context with the generated data: the state set-up leaves,
// and one frame inside every scene and overlay, with what each submits and shows.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "demo/demo.h"
#include "demo/demo_globals.h"
#include "demo/scene_draw.h"
#include "demo/timeline.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "shell/gl_window.h"
#include "sound/sound_library.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

using namespace testing_support;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
// A fixed start, so that the animation clock (ticks / 20) is the same on every run.
constexpr std::uint32_t kStartTick = 1000000;

struct Frame {
    std::vector<std::uint8_t> pixels;  // RGBA, bottom row first

    const std::uint8_t* at(int x, int y) const { return &pixels[(static_cast<std::size_t>(y) * kWidth + x) * 4]; }
    // Share of band pixels that satisfy `test`.
    template <typename Test>
    double bandShare(Test test) const {
        int hits = 0;
        int total = 0;
        for (int y = kLetterboxRows; y < kHeight - kLetterboxRows; ++y) {
            for (int x = 0; x < kWidth; ++x, ++total) {
                const std::uint8_t* p = at(x, y);
                if (test(p[0], p[1], p[2])) ++hits;
            }
        }
        return static_cast<double>(hits) / total;
    }
    // Pixels of the letterbox rows that differ from the clear colour.
    int letterboxStrays() const {
        int strays = 0;
        for (int y = 0; y < kHeight; ++y) {
            if (y >= kLetterboxRows && y < kHeight - kLetterboxRows) continue;
            for (int x = 0; x < kWidth; ++x) {
                const std::uint8_t* p = at(x, y);
                if (p[0] != 0 || p[1] != 51 || p[2] != 128) ++strays;
            }
        }
        return strays;
    }
};

class ShowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        sound::useOfflineOutput();
        std::filesystem::create_directory_symlink(OYUN_DATA_DIR, "data");
        window.deviceContext = gl.deviceContext();
        window.keyState = &keys;
        resizeView(kWidth, kHeight);
        platform::useVirtualClock(kStartTick);
    }
    void TearDown() override {
        deinitialiseDemo();
        platform::useRealClock();
    }
    // One frame at `elapsed` ms after set-up, after one frame 20 ms earlier so that the
    // texture and coordinate carried from frame to frame are in their steady state.
    Frame frameAt(std::uint32_t elapsed) {
        for (const std::uint32_t t : {elapsed - 20, elapsed}) {
            platform::setVirtualTick(kStartTick + t);
            updateDemo(20);
            drawDemo();
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "at " << t << " ms";
            if (t != elapsed) platform::swapBuffers(gl.deviceContext());
        }
        return Frame{gl.readPixels(0, 0, kWidth, kHeight)};
    }

    TempWorkingDir dir;
    GlTestContext gl{kWidth, kHeight};
    AppWindow window{};
    KeyState keys{};
};

TEST_F(ShowTest, SetUpLoadsTheTenPicturesInOrderAndLeavesTheStandingState) {
    ASSERT_TRUE(initialiseDemo(&window, &keys));

    const std::string log = readFileBytes("log.htm");
    std::vector<std::string> loaded;
    const std::regex line("<b>data/([a-z0-9_]+)\\.tga TGA dosyasi acildi\\.</b><br>\r\n");
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it)
        loaded.push_back((*it)[1]);
    EXPECT_EQ(loaded, (std::vector<std::string>{"mask", "text", "shine", "t1", "t2", "cre", "cre2", "mivra", "ball",
                                                "ball_sur"}));

    for (const MaskedSprite* sprite :
         {&maskSprite, &textSprite, &shineSprite, &t1Sprite, &t2Sprite, &creSprite, &cre2Sprite}) {
        EXPECT_NE(sprite->imageTexture, 0u);
        EXPECT_EQ(sprite->frameCount, 1);
        EXPECT_EQ(sprite->frameDelay, 20);
        EXPECT_EQ(sprite->currentFrame, 1);
        EXPECT_EQ(sprite->delayCounter, 0);
        EXPECT_EQ(sprite->width, 2.0f);
        EXPECT_EQ(sprite->height, 1.5f);
        EXPECT_FALSE(sprite->masked);
        EXPECT_TRUE(sprite->animating);
    }
    EXPECT_EQ(demoModel.framerate, 12);
    EXPECT_EQ(demoModel.numofjoints, 0);
    EXPECT_NE(demoModel.texture, 0u);
    EXPECT_NE(ballTexture, 0u);
    EXPECT_NE(ballSurfaceTexture, 0u);
    EXPECT_NE(sphereQuadric, nullptr);

    EXPECT_EQ(demoCamera.getPosition().z, 0.0f);
    EXPECT_EQ(demoCamera.getView().z, -10.0f);
    EXPECT_EQ(demoCamera.upVector.y, 1.0f);
    EXPECT_EQ(sceneIndex, 0);
    EXPECT_EQ(overlayIndex, 0);
    EXPECT_EQ(demoTicks, 0.0f);
    EXPECT_EQ(startTick, kStartTick);

    // Each load leaves its texture bound: the last is the balls' surface.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<std::uint32_t>(bound), ballSurfaceTexture);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE);
    glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &value);
    EXPECT_EQ(value, GL_SPHERE_MAP);
    glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &value);
    EXPECT_EQ(value, GL_SPHERE_MAP);
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 5.0f);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[1], 0.2f);
    EXPECT_FLOAT_EQ(clear[2], 0.5f);
    // The light was placed with an identity model-view: it sits at the eye.
    GLfloat light[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    EXPECT_EQ(light[0], 0.0f);
    EXPECT_EQ(light[2], 0.0f);
    EXPECT_EQ(light[3], 1.0f);
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, light);
    EXPECT_FLOAT_EQ(light[0], 0.7f);
}

TEST_F(ShowTest, AMissingPictureLeavesTextureZeroAndTheShowGoesOn) {
    std::filesystem::remove("data");
    std::filesystem::create_directory("data");
    for (const auto& entry : std::filesystem::directory_iterator(OYUN_DATA_DIR))
        if (entry.path().filename() != "ball.tga")
            std::filesystem::create_symlink(entry.path(), std::filesystem::path("data") / entry.path().filename());
    testing_support::ReportCapture reports;

    EXPECT_TRUE(initialiseDemo(&window, &keys));
    EXPECT_EQ(reports.written(), "ERROR: Could not open texture file\n");
    EXPECT_EQ(ballTexture, 0u);
    EXPECT_NE(ballSurfaceTexture, 0u);
    const Frame frame = frameAt(70000);
    EXPECT_EQ(sceneIndex, 3);
    EXPECT_EQ(sceneStats.balls, 90u);
}

struct SceneCase {
    std::uint32_t elapsed;
    int scene;
    int overlay;
    std::uint32_t sculptureVertices;
    std::uint32_t spheres;
};

TEST_F(ShowTest, EverySceneDrawsWhatItCallsForInsideTheBand) {
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    const SceneCase cases[] = {
        {10000, 1, 0, 155520, 0}, {45000, 2, 0, 155520, 0}, {70000, 3, 0, 0, 180}, {83000, 4, 0, 155520, 10},
        {88000, 6, 3, 0, 1},      {95000, 6, 4, 0, 1},      {110000, 6, 5, 0, 1},
    };
    for (const SceneCase& c : cases) {
        SCOPED_TRACE(c.elapsed);
        const Frame frame = frameAt(c.elapsed);
        EXPECT_EQ(sceneIndex, c.scene);
        EXPECT_EQ(overlayIndex, c.overlay);
        EXPECT_EQ(sceneStats.sculptureVertices, c.sculptureVertices);
        EXPECT_EQ(sceneStats.spheres, c.spheres);
        EXPECT_EQ(sceneStats.skippedBalls, 0u);
        EXPECT_EQ(frame.letterboxStrays(), 0);
        // The band is never just the clear colour: the frame and glow are always there.
        EXPECT_GT(frame.bandShare([](int r, int g, int b) { return r != 0 || g != 51 || b != 128; }), 0.5);
    }
}

TEST_F(ShowTest, TheTowerIsPinkAndFillsMoreOfTheBandSeenFromItsAxis) {
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    const auto pink = [](int r, int g, int b) { return r > 150 && r > g + 60 && b > g; };
    const double circling = frameAt(10000).bandShare(pink);
    const double fromAxis = frameAt(45000).bandShare(pink);
    EXPECT_GT(circling, 0.01);
    EXPECT_GT(fromAxis, 0.10);
    EXPECT_GT(fromAxis, 2 * circling);
    // No tower in the scenes of balls.
    EXPECT_LT(frameAt(88000).bandShare(pink), 0.001);
}

// A larger picture widens the lines with it; the window's own scale keeps its 5 pixels.
TEST_F(ShowTest, LinesWidenWithThePixelScale) {
    // Seen from its axis the tower's lines fill much of the band; the red they add grows with
    // their width, though less than in proportion where they overlap.
    const auto bandRed = [](const Frame& frame) {
        double sum = 0;
        for (int y = kLetterboxRows; y < kHeight - kLetterboxRows; ++y)
            for (int x = 0; x < kWidth; ++x) sum += frame.at(x, y)[0];
        return sum;
    };
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    const double atWindowScale = bandRed(frameAt(45000));
    deinitialiseDemo();

    ShowOptions options;
    options.pixelScale = 1.5f;
    useShowOptions(options);
    seedDemoRandom(1);
    platform::useVirtualClock(kStartTick);
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    useShowOptions({});
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 7.5f);
    const double wider = bandRed(frameAt(45000));
    EXPECT_GT(wider, 1.1 * atWindowScale) << "the tower's lines did not widen";
}

TEST_F(ShowTest, TheBallChainDrawsUntilItsTransformLeavesTheFloatRange) {
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    frameAt(25000);
    EXPECT_EQ(sceneIndex, 1);
    EXPECT_EQ(overlayIndex, 1);
    EXPECT_EQ(sceneStats.sculptureVertices, 155520u);
    // A factor of 40 a ball: about the 25th leaves the float range, and every later one too.
    EXPECT_GE(sceneStats.balls, 20u);
    EXPECT_LE(sceneStats.balls, 26u);
    EXPECT_EQ(sceneStats.balls + sceneStats.skippedBalls, 30u);
    EXPECT_EQ(sceneStats.spheres, sceneStats.balls);
}

TEST_F(ShowTest, SpritesAreDrawnInTheOrderOfTheSceneAndOverlay) {
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    using Sprites = std::vector<const MaskedSprite*>;
    const auto drawn = [] { return Sprites(sceneStats.sprites, sceneStats.sprites + sceneStats.spriteCount); };
    frameAt(10000);
    EXPECT_EQ(drawn(), (Sprites{&maskSprite, &textSprite}));
    frameAt(45000);
    EXPECT_EQ(drawn(), (Sprites{&maskSprite, &t1Sprite, &shineSprite}));
    frameAt(70000);
    EXPECT_EQ(drawn(), (Sprites{&maskSprite, &shineSprite, &t2Sprite}));
    frameAt(83000);
    EXPECT_EQ(drawn(), (Sprites{&maskSprite, &shineSprite}));
    frameAt(88000);
    EXPECT_EQ(drawn(), (Sprites{&shineSprite, &maskSprite, &shineSprite}));
    frameAt(95000);
    EXPECT_EQ(drawn(), (Sprites{&shineSprite, &creSprite, &maskSprite, &shineSprite}));
    frameAt(110000);
    EXPECT_EQ(drawn(), (Sprites{&shineSprite, &cre2Sprite, &maskSprite, &shineSprite}));
}

TEST_F(ShowTest, TheCreditsAppearOnlyWithTheirOverlays) {
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    const auto white = [](int r, int g, int b) { return r > 220 && g > 220 && b > 220; };
    const double glowOnly = frameAt(88000).bandShare(white);
    const double firstPage = frameAt(95000).bandShare(white);
    const double secondPage = frameAt(110000).bandShare(white);
    EXPECT_GT(firstPage, 0.01);
    EXPECT_GT(secondPage, 0.01);
    EXPECT_GT(firstPage, 4 * glowOnly);
    EXPECT_GT(secondPage, 4 * glowOnly);
}

TEST_F(ShowTest, SceneThreeLooksFromTheOriginAtADriftingPoint) {
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    frameAt(69000);
    const Vector3 before = demoCamera.getView();
    frameAt(70000);
    EXPECT_EQ(demoCamera.getPosition().x, 0.0f);
    EXPECT_EQ(demoCamera.getPosition().y, 0.0f);
    EXPECT_EQ(demoCamera.getPosition().z, 0.0f);
    EXPECT_NE(demoCamera.getView().z, before.z);
}

// A later start replays every 20 ms step from the set-up, so the drifting camera of scene 3
// stands where a full run puts it and the random numbers have run as far; the clock and the
// music go on from the moment asked for. (Pixels are compared by the capture's tests: here
// both runs share one GL context, whose state the first leaves behind.)
TEST_F(ShowTest, AStartAtAMomentStandsWhereAFullRunStandsThen) {
    constexpr std::uint32_t kFrom = 70000;
    struct Standing {
        Vector3 position;
        Vector3 view;
        int scene;
        float ticks;
        int nextRandom;
    };
    const auto standing = [] {
        return Standing{demoCamera.getPosition(), demoCamera.getView(), sceneIndex, demoTicks, demoRandom()};
    };
    seedDemoRandom(1);
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    for (std::uint32_t t = 20; t <= kFrom; t += 20) {
        platform::setVirtualTick(kStartTick + t);
        updateDemo(20);
        skipDemoFrame();
    }
    const Standing full = standing();
    deinitialiseDemo();

    seedDemoRandom(1);
    platform::setVirtualTick(kStartTick);
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    programRunning = 1;  // as in the shell's loop; the replay stops when the show asks to end
    seekShow(kFrom);
    EXPECT_TRUE(platform::virtualClockActive());
    EXPECT_EQ(platform::tickCount(), kStartTick + kFrom);
    const Standing sought = standing();
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ((&sought.position.x)[axis], (&full.position.x)[axis]) << axis;
        EXPECT_EQ((&sought.view.x)[axis], (&full.view.x)[axis]) << axis;
    }
    EXPECT_EQ(sought.scene, 3);
    EXPECT_EQ(sought.scene, full.scene);
    EXPECT_EQ(sought.ticks, full.ticks);
    EXPECT_EQ(sought.nextRandom, full.nextRandom);
    EXPECT_TRUE(soundSystem.isPlaying(kMusicRecord));
}

TEST_F(ShowTest, ItsDataCanLieInAnyFolder) {
    std::filesystem::rename("data", "elsewhere");
    ShowOptions options;
    options.dataFolder = "elsewhere";
    useShowOptions(options);
    testing_support::ReportCapture reports;
    ASSERT_TRUE(initialiseDemo(&window, &keys));
    EXPECT_TRUE(reports.boxes().empty()) << reports.written();
    EXPECT_NE(readFileBytes("log.htm").find("<b>elsewhere/ball_sur.tga TGA dosyasi acildi.</b><br>"),
              std::string::npos);
    EXPECT_TRUE(soundSystem.isPlaying(kMusicRecord));
    useShowOptions({});
}

}  // namespace
