// The letterboxed view and the window's opening and closing, on a real offscreen context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/renderer.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "shell/gl_window.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

using namespace platform;

namespace {

struct View {
    GLint viewport[4];
    float projection[16];
    float modelview[16];
};

View readView() {
    View view{};
    glGetIntegerv(GL_VIEWPORT, view.viewport);
    glGetFloatv(GL_PROJECTION_MATRIX, view.projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, view.modelview);
    return view;
}

// The aspect ratio gluPerspective was given: m[5] / m[0].
double aspectOf(const View& view) { return static_cast<double>(view.projection[5]) / view.projection[0]; }

TEST(ResizeView, BandAndProjectionAtTheRequestedSizes) {
    testing_support::GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(1, 2, 3);

    resizeView(1024, 768);
    View view = readView();
    EXPECT_EQ(view.viewport[0], 0);
    EXPECT_EQ(view.viewport[1], 128);
    EXPECT_EQ(view.viewport[2], 1024);
    EXPECT_EQ(view.viewport[3], 512);
    GLint scissor[4];
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    EXPECT_EQ(std::vector<GLint>(scissor, scissor + 4), (std::vector<GLint>{0, 128, 1024, 512}));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_NEAR(aspectOf(view), 4.0 / 3.0, 1e-5);
    // 45 degrees vertical field of view: m[5] = 1 / tan(22.5 degrees).
    EXPECT_NEAR(view.projection[5], 1.0 / std::tan(22.5 * M_PI / 180.0), 1e-5);
    // Near 1, far 4000.
    EXPECT_NEAR(view.projection[10], -(4000.0 + 1.0) / (4000.0 - 1.0), 1e-5);
    EXPECT_NEAR(view.projection[14], -2.0 * 4000.0 / (4000.0 - 1.0), 1e-4);
    EXPECT_EQ(view.modelview[12], 0.0f);  // model-view reset to identity
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);

    resizeView(800, 600);
    view = readView();
    EXPECT_EQ(view.viewport[1], 128);
    EXPECT_EQ(view.viewport[2], 800);
    EXPECT_EQ(view.viewport[3], 344);
    EXPECT_NEAR(aspectOf(view), 4.0 / 3.0, 1e-5);
}

// The 1024x768 window's picture at other sizes: the largest centred 4:3 frame, its bars a
// sixth of its height, and at 1024x768 exactly the window's own view.
TEST(FrameView, FittedFramesKeepTheWindowsProportions) {
    const struct {
        int width, height;
        ViewFrame frame;
        GLint band[4];
    } kCases[] = {
        {1024, 768, {0, 0, 1024, 768}, {0, 128, 1024, 512}},
        {640, 480, {0, 0, 640, 480}, {0, 80, 640, 320}},
        {1920, 1080, {240, 0, 1440, 1080}, {240, 180, 1440, 720}},
        {256, 448, {0, 128, 256, 192}, {0, 160, 256, 128}},
        {64, 288, {0, 120, 64, 48}, {0, 128, 64, 32}},
        {1000, 700, {33, 0, 933, 700}, {33, 117, 933, 466}},
        {1, 1, {0, 0, 1, 1}, {0, 0, 1, 1}},
    };
    testing_support::GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    for (const auto& c : kCases) {
        const ViewFrame frame = fittedFrame(c.width, c.height);
        const std::vector<int> got{frame.x, frame.y, frame.width, frame.height};
        EXPECT_EQ(got, (std::vector<int>{c.frame.x, c.frame.y, c.frame.width, c.frame.height}))
            << c.width << "x" << c.height;
        frameView(frame);
        const View view = readView();
        EXPECT_EQ(std::vector<GLint>(view.viewport, view.viewport + 4), std::vector<GLint>(c.band, c.band + 4))
            << c.width << "x" << c.height;
        GLint scissor[4];
        glGetIntegerv(GL_SCISSOR_BOX, scissor);
        EXPECT_EQ(std::vector<GLint>(scissor, scissor + 4), std::vector<GLint>(c.band, c.band + 4));
        EXPECT_NEAR(aspectOf(view), static_cast<double>(frame.width) / frame.height, 1e-5)
            << c.width << "x" << c.height;
    }

    resizeView(1024, 768);
    const View window = readView();
    frameView(fittedFrame(1024, 768));
    const View framed = readView();
    EXPECT_EQ(std::vector<float>(framed.projection, framed.projection + 16),
              std::vector<float>(window.projection, window.projection + 16));
}

TEST(ResizeView, TinyAndZeroHeightsKeepAOneRowBandAndAFiniteProjection) {
    testing_support::GlTestContext gl;
    ASSERT_TRUE(gl.ok());
    for (const auto& [width, height] : {std::pair{640, 256}, std::pair{640, 100}, std::pair{640, 0}, std::pair{0, 0}}) {
        resizeView(width, height);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << width << "x" << height;
        const View view = readView();
        EXPECT_EQ(view.viewport[3], 1) << width << "x" << height;
        for (const float m : view.projection) EXPECT_TRUE(std::isfinite(m)) << width << "x" << height;
    }
}

class OpenCloseTest : public ::testing::Test {
protected:
    testing_support::ReportCapture quiet;  // boxes and diagnostics, kept off stderr
    void SetUp() override {
        window.keyState = &keys;
        window.classInfo = &application;
        window.caption = "Oyun motorum";
        window.width = 1024;
        window.height = 768;
        window.colourBits = 32;
        ASSERT_TRUE(registerAppClass(&application));
    }
    void TearDown() override {
        unregisterWindowClass(application.className, application.instance);
        setDisplayModePolicy(DisplayModePolicy::kReal);
    }
    testing_support::TempWorkingDir dir;
    WindowClassInfo application{currentInstance(), "OpenGL"};
    KeyState keys{};
    AppWindow window{};
};

TEST_F(OpenCloseTest, InAWindowTheClientIsExactlyTheRequestedSize) {
    window.fullScreen = 0;
    keys[characterKey('W')] = 1;
    ASSERT_TRUE(openAppWindow(&window));
    int width = 0;
    int height = 0;
    getClientSize(window.windowHandle, width, height);
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 768);
    EXPECT_EQ(keys[characterKey('W')], 0);
    EXPECT_EQ(window.visible, 1);
    EXPECT_NE(window.glContext, nullptr);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[1], 128);
    EXPECT_EQ(viewport[3], 512);
    EXPECT_TRUE(closeAppWindow(&window));
    EXPECT_EQ(window.windowHandle, nullptr);
    EXPECT_EQ(window.deviceContext, nullptr);
    EXPECT_EQ(window.glContext, nullptr);
}

TEST_F(OpenCloseTest, FullScreenHidesTheCursorUntilClosed) {
    setDisplayModePolicy(DisplayModePolicy::kAlwaysAccept);
    window.fullScreen = 1;
    const int cursor = showCursor(true) - 1;
    showCursor(false);
    ASSERT_TRUE(openAppWindow(&window));
    EXPECT_TRUE(displayModeChanged());
    EXPECT_EQ(showCursor(true) - 1, cursor - 1);
    showCursor(false);
    closeAppWindow(&window);
    EXPECT_FALSE(displayModeChanged());
    EXPECT_EQ(showCursor(true) - 1, cursor);
    showCursor(false);
}

TEST_F(OpenCloseTest, ClosingAWindowedRunTouchesNeitherModeNorCursor) {
    window.fullScreen = 0;
    ASSERT_TRUE(openAppWindow(&window));
    const int cursor = showCursor(true) - 1;
    showCursor(false);
    closeAppWindow(&window);
    EXPECT_EQ(showCursor(true) - 1, cursor);
    showCursor(false);
}

// gles3 on a Mesa made to offer OpenGL ES 2.0 at most: no context of its kind.
TEST_F(OpenCloseTest, ARendererWithoutItsContextLeavesItsReasonAndNothingOpen) {
    ASSERT_EQ(setenv("MESA_GLES_VERSION_OVERRIDE", "2.0", 1), 0);
    setDisplayModePolicy(DisplayModePolicy::kAlwaysAccept);
    window.fullScreen = 1;
    gfx::useRenderer(gfx::RendererKind::kGles3);
    const bool opened = openAppWindow(&window);
    gfx::useRenderer(gfx::RendererKind::kGl11);
    EXPECT_FALSE(opened);
    EXPECT_EQ(window.rendererError.rfind("no OpenGL ES 3.0 context: ", 0), 0u) << window.rendererError;
    EXPECT_GT(window.rendererError.size(), std::string("no OpenGL ES 3.0 context: ").size());
    EXPECT_EQ(window.rendererError.find('\n'), std::string::npos);
    EXPECT_TRUE(quiet.reports.empty()) << quiet.written();  // the opener says it, once
    EXPECT_EQ(window.windowHandle, nullptr);
    EXPECT_EQ(window.deviceContext, nullptr);
    EXPECT_EQ(window.glContext, nullptr);
    EXPECT_FALSE(displayModeChanged());

    // The next opening with the fixed-function renderer starts clean.
    ASSERT_TRUE(openAppWindow(&window));
    EXPECT_EQ(window.rendererError, "");
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
    closeAppWindow(&window);
}

}  // namespace
