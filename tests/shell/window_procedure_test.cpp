// The message table of the window procedure, on a real (offscreen) window.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "platform/display.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "shell/app_window.h"
#include "shell/gl_window.h"
#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

using namespace platform;

namespace {

class WindowProcedureTest : public ::testing::Test {
protected:
    testing_support::ReportCapture quiet;  // boxes and diagnostics, kept off stderr
    void SetUp() override {
        setDisplayModePolicy(DisplayModePolicy::kAlwaysRefuse);
        window.keyState = &keys;
        window.classInfo = &application;
        window.caption = "test";
        window.width = 320;
        window.height = 300;
        window.colourBits = 32;
        ASSERT_TRUE(registerAppClass(&application));
        ASSERT_TRUE(openAppWindow(&window));
        programRunning = 1;
        fullScreenWanted = 1;
    }
    void TearDown() override {
        closeAppWindow(&window);
        unregisterWindowClass(application.className, application.instance);
    }
    LResult send(std::uint32_t message, WParam wParam, LParam lParam = 0) {
        return windowProcedure(window.windowHandle, message, wParam, lParam);
    }
    // Messages of the window still in its queue.
    std::vector<std::uint32_t> drain() {
        std::vector<std::uint32_t> out;
        Message msg;
        while (peekMessage(msg, window.windowHandle)) out.push_back(msg.message);
        return out;
    }

    testing_support::TempWorkingDir dir;
    WindowClassInfo application{currentInstance(), "OpenGL"};
    KeyState keys{};
    AppWindow window{};
};

TEST_F(WindowProcedureTest, CreationBindsTheWindowToItsRecord) {
    EXPECT_EQ(getWindowUserData(window.windowHandle), &window);
    EXPECT_EQ(window.visible, 1);
}

TEST_F(WindowProcedureTest, KeysDownAndUpWriteTheArrayAndLargeCodesAreIgnored) {
    EXPECT_EQ(send(WM_KEYDOWN, characterKey('A')), 0);
    EXPECT_EQ(keys[characterKey('A')], 1);
    send(WM_KEYDOWN, characterKey('A'));  // auto-repeat
    EXPECT_EQ(keys[characterKey('A')], 1);
    EXPECT_EQ(send(WM_KEYUP, characterKey('A')), 0);
    EXPECT_EQ(keys[characterKey('A')], 0);

    send(WM_KEYDOWN, 255);
    EXPECT_EQ(keys[255], 1);
    const KeyState before = keys;
    send(WM_KEYDOWN, 256);
    send(WM_KEYUP, 300);
    send(WM_SYSKEYDOWN, characterKey('B'));  // keys with Alt are not recorded
    EXPECT_EQ(keys, before);
}

TEST_F(WindowProcedureTest, SizeMessagesFollowVisibilityAndTheView) {
    EXPECT_EQ(send(WM_SIZE, SIZE_MINIMIZED), 0);
    EXPECT_EQ(window.visible, 0);
    EXPECT_EQ(send(WM_SIZE, SIZE_RESTORED, (600 << 16) | 800), 0);
    EXPECT_EQ(window.visible, 1);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 344);
    send(WM_SIZE, SIZE_MINIMIZED);
    send(WM_SIZE, SIZE_MAXIMIZED, (768 << 16) | 1024);
    EXPECT_EQ(window.visible, 1);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 512);
    // The record keeps the requested size.
    EXPECT_EQ(window.width, 320);
    EXPECT_EQ(window.height, 300);
    // Other kinds go to default handling and change nothing.
    send(WM_SIZE, 3, (10 << 16) | 10);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
}

TEST_F(WindowProcedureTest, CloseRequestsQuitWithoutDestroying) {
    EXPECT_EQ(send(WM_CLOSE, 0), 0);
    EXPECT_EQ(programRunning, 0);
    EXPECT_NE(window.windowHandle, nullptr);
    EXPECT_EQ(drain(), std::vector<std::uint32_t>{WM_QUIT});
}

TEST_F(WindowProcedureTest, AltF4AndTheCloseBoxBecomeAQuitRequest) {
    send(WM_SYSKEYDOWN, VK_F4, KEY_ALT_HELD);
    EXPECT_EQ(programRunning, 0);
    EXPECT_EQ(drain(), std::vector<std::uint32_t>{WM_QUIT});

    programRunning = 1;
    send(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_EQ(programRunning, 0);
    EXPECT_EQ(drain(), std::vector<std::uint32_t>{WM_QUIT});

    // F4 without Alt is just a system key.
    programRunning = 1;
    send(WM_SYSKEYDOWN, VK_F4, 0);
    EXPECT_EQ(programRunning, 1);
}

TEST_F(WindowProcedureTest, ScreenSaverAndMonitorPowerAreSwallowedOnlyWhenExact) {
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
    // Compared whole: low bits set make another command, which default handling ignores.
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE + 1), 0);
    EXPECT_EQ(programRunning, 1);
    EXPECT_TRUE(drain().empty());
}

TEST_F(WindowProcedureTest, ModeToggleFlipsTheWantedModeAndEndsOnlyTheMessageLoop) {
    send(WM_TOGGLEFULLSCREEN, 0);
    EXPECT_EQ(fullScreenWanted, 0);
    EXPECT_EQ(programRunning, 1);
    send(WM_TOGGLEFULLSCREEN, 0);
    EXPECT_EQ(fullScreenWanted, 1);
    EXPECT_EQ(drain(), (std::vector<std::uint32_t>{WM_QUIT, WM_QUIT}));

    requestModeToggle(&window);
    EXPECT_EQ(drain(), std::vector<std::uint32_t>{WM_TOGGLEFULLSCREEN});
}

TEST_F(WindowProcedureTest, PostedMessagesComeBackInOrder) {
    postMessage(window.windowHandle, 2000, 1, 2);
    requestQuit(&window);
    postMessage(window.windowHandle, 2001, 0, 0);
    EXPECT_EQ(drain(), (std::vector<std::uint32_t>{2000, WM_QUIT, 2001}));
}

}  // namespace
