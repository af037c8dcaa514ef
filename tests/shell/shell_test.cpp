// The entry point's outer and message loops, with a recording demo.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "gfx/renderer.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "platform/termination.h"
#include "shell/app_window.h"
#include "tests/support/fake_demo.h"
#include "tests/support/report_capture.h"
#include "tests/support/temp_dir.h"

using namespace platform;
using testing_support::readFileBytes;

namespace {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake_demo::reset();
        setDisplayModePolicy(DisplayModePolicy::kAlwaysAccept);
    }
    void TearDown() override {
        setDisplayModePolicy(DisplayModePolicy::kReal);
        fake_demo::reset();
    }
    // The shell's window is gone when another can be made (only one may exist at a time).
    // The AppWindow itself lived on the shell's stack and is gone with the run.
    static bool noWindowLeft() {
        WindowClass probe;
        probe.className = "Probe";
        probe.windowProc = defaultWindowProc;
        if (!registerWindowClass(probe)) return false;
        WindowHandle window = createWindow(0, "Probe", "probe", WS_POPUP, 0, 0, 8, 8, currentInstance(), nullptr);
        const bool made = window != nullptr;
        if (made) destroyWindow(window);
        unregisterWindowClass("Probe", currentInstance());
        return made;
    }
    int count(const std::string& call) const {
        return static_cast<int>(std::count(fake_demo::calls.begin(), fake_demo::calls.end(), call));
    }

    testing_support::TempWorkingDir dir;
    testing_support::ReportCapture reports;
};

TEST_F(ShellTest, AQuitDuringAFrameStillDrawsAndSwapsThatFrame) {
    int frames = 0;
    fake_demo::hooks.update = [&](std::uint32_t) {
        if (++frames == 3) requestQuit(fake_demo::window);
    };
    const std::uint64_t swapsBefore = swapCount();
    EXPECT_EQ(runShell(currentInstance(), fake_demo::settings()), 0);
    EXPECT_EQ(fake_demo::calls,
              (std::vector<std::string>{"init", "update", "draw", "update", "draw", "update", "draw", "deinit"}));
    EXPECT_EQ(swapCount() - swapsBefore, 3u);
    EXPECT_TRUE(noWindowLeft());
    EXPECT_FALSE(displayModeChanged());
    EXPECT_TRUE(reports.boxes().empty());
}

TEST_F(ShellTest, AQuitPostedAfterAnotherMessageIsTakenAfterIt) {
    fake_demo::hooks.initialise = [](AppWindow* window, KeyState*) {
        postMessage(window->windowHandle, WM_KEYDOWN, characterKey('A'), 0);
        requestQuit(window);
        return true;
    };
    int keyAtEnd = -1;
    fake_demo::hooks.deinitialise = [&] { keyAtEnd = (*fake_demo::keys)[characterKey('A')]; };
    EXPECT_EQ(runShell(currentInstance(), fake_demo::settings()), 0);
    EXPECT_EQ(keyAtEnd, 1);
    // No frame: a message was always waiting until WM_QUIT.
    EXPECT_EQ(fake_demo::calls, (std::vector<std::string>{"init", "deinit"}));
}

TEST_F(ShellTest, TheFrameClockPassesTheTicksSinceTheLastFrame) {
    useVirtualClock(0xFFFFFF00u);  // wraps during the run
    std::vector<std::uint32_t> elapsed;
    fake_demo::hooks.initialise = [](AppWindow*, KeyState*) {
        advanceVirtualClock(50);  // set-up time counts into the first frame
        return true;
    };
    fake_demo::hooks.update = [&](std::uint32_t ms) {
        elapsed.push_back(ms);
        advanceVirtualClock(200);
        if (elapsed.size() == 3) requestQuit(fake_demo::window);
    };
    EXPECT_EQ(runShell(currentInstance(), fake_demo::settings()), 0);
    useRealClock();
    EXPECT_EQ(elapsed, (std::vector<std::uint32_t>{50, 200, 200}));
}

TEST_F(ShellTest, ModeToggleReopensInTheOtherModeWithKeysZeroed) {
    std::vector<int> modes;
    std::vector<int> keyA;
    fake_demo::hooks.initialise = [&](AppWindow* window, KeyState* keys) {
        modes.push_back(window->fullScreen);
        keyA.push_back((*keys)[characterKey('A')]);
        if (modes.size() < 3) {
            postMessage(window->windowHandle, WM_KEYDOWN, characterKey('A'), 0);
            requestModeToggle(window);
        } else {
            requestQuit(window);
        }
        return true;
    };
    EXPECT_EQ(runShell(currentInstance(), fake_demo::settings()), 0);
    EXPECT_EQ(modes, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(keyA, (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(count("init"), 3);
    EXPECT_EQ(count("deinit"), 3);
    EXPECT_EQ(fullScreenWanted, 1);
}

TEST_F(ShellTest, RefusedFullScreenRunsInAWindowOfTheUnadjustedOuterSize) {
    setDisplayModePolicy(DisplayModePolicy::kAlwaysRefuse);
    int clientWidth = 0;
    int clientHeight = 0;
    int fullScreen = -1;
    fake_demo::hooks.initialise = [&](AppWindow* window, KeyState*) {
        getClientSize(window->windowHandle, clientWidth, clientHeight);
        fullScreen = window->fullScreen;
        requestQuit(window);
        return true;
    };
    EXPECT_EQ(runShell(currentInstance(), fake_demo::settings()), 0);
    ASSERT_EQ(reports.boxes().size(), 1u);
    EXPECT_EQ(reports.boxes()[0].caption, "HATA");
    EXPECT_EQ(reports.boxes()[0].text, "Tam ekran olamiyor.\nPencerede calisacak");
    EXPECT_EQ(reports.boxes()[0].level, base::Level::kWarning);
    EXPECT_EQ(fullScreen, 0);
    EXPECT_EQ(fullScreenWanted, 1);  // the wish is kept
    EXPECT_LT(clientWidth, 1024);
    EXPECT_LT(clientHeight, 768);
    const std::string log = readFileBytes("log.htm");
    EXPECT_NE(log.find("<b>Tam ekran olamadi. Pencerede calisacak.</b><br>\r\n"), std::string::npos);
    EXPECT_LT(log.find("Tam ekran"), log.find("<b>Pencere yaratildi.</b><br>"));
}

TEST_F(ShellTest, ATerminationSignalEndsTheRunAsTheCloseBoxDoes) {
    watchTerminationSignals();
    int frames = 0;
    fake_demo::hooks.update = [&](std::uint32_t) {
        if (++frames == 2) std::raise(SIGTERM);
        // Never more than a few frames: the signal must be acted on at once.
        if (frames == 50) requestQuit(fake_demo::window);
    };
    EXPECT_EQ(runShell(currentInstance(), fake_demo::settings()), 0);
    EXPECT_EQ(terminationSignal(), SIGTERM);
    EXPECT_LE(frames, 3);
    EXPECT_EQ(fake_demo::calls.back(), "deinit");
    EXPECT_TRUE(noWindowLeft());
    EXPECT_FALSE(displayModeChanged());
    clearTerminationRequest();
}

TEST_F(ShellTest, FailedInitialisationStillTearsDown) {
    fake_demo::hooks.initialise = [](AppWindow*, KeyState*) { return false; };
    EXPECT_EQ(runShell(currentInstance(), fake_demo::settings()), 0);
    EXPECT_EQ(fake_demo::calls, (std::vector<std::string>{"init", "deinit"}));
    EXPECT_TRUE(noWindowLeft());
}

TEST_F(ShellTest, FailedRegistrationShowsTwoBoxesLogsTwiceAndReturnsMinusOne) {
    WindowClass taken;
    taken.className = "OpenGL";
    taken.windowProc = defaultWindowProc;
    ASSERT_TRUE(registerWindowClass(taken));
    EXPECT_EQ(runShell(currentInstance(), fake_demo::settings()), -1);
    unregisterWindowClass("OpenGL", currentInstance());
    ASSERT_EQ(reports.boxes().size(), 2u);
    EXPECT_EQ(reports.boxes()[0].caption, "HATA");
    EXPECT_EQ(reports.boxes()[0].text, "RegisterClassEx hata verdi!");
    EXPECT_EQ(reports.boxes()[1].caption, "Error");
    EXPECT_EQ(reports.boxes()[1].text, "Pencere sinif kaydinda hata!");
    const std::string log = readFileBytes("log.htm");
    const auto first = log.find("<b>RegiserClassEx hata verdi.</b><br>\r\n");
    const auto second = log.find(
        "<b>Pencere s\xFDn\xFD"
        "f kayd\xFD yap\xFDlamad\xFD.</b><br>\r\n");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_TRUE(fake_demo::calls.empty());
}

TEST_F(ShellTest, AWindowThatCannotBeOpenedEndsTheRunWithOneAndRestoresTheDisplay) {
    // Only one window may exist, so the shell's opening fails.
    WindowClass other;
    other.className = "Other";
    other.windowProc = defaultWindowProc;
    ASSERT_TRUE(registerWindowClass(other));
    WindowHandle blocker = createWindow(0, "Other", "blocker", WS_POPUP, 0, 0, 64, 64, currentInstance(), nullptr);
    ASSERT_NE(blocker, nullptr);
    const int cursorBefore = showCursor(true) - 1;
    showCursor(false);

    EXPECT_EQ(runShell(currentInstance(), fake_demo::settings()), 1);
    destroyWindow(blocker);
    unregisterWindowClass("Other", currentInstance());

    EXPECT_TRUE(fake_demo::calls.empty());
    ASSERT_EQ(reports.boxes().size(), 1u);
    EXPECT_EQ(reports.boxes()[0].caption, "Error");
    EXPECT_EQ(reports.boxes()[0].text, "OpenGL penceresi yaratilamadi!");
    const std::string log = readFileBytes("log.htm");
    const auto created = log.find("<b>Pencere yarat\xFDlam\xFDyor!!!</b><br>");
    const auto failed = log.find("<b>OpenGL penceresi yaratilamadi!</b><br>");
    ASSERT_NE(created, std::string::npos);
    ASSERT_NE(failed, std::string::npos);
    EXPECT_LT(created, failed);
    // The full-screen switch made before the failure is given back, the cursor shown again.
    EXPECT_FALSE(displayModeChanged());
    EXPECT_EQ(showCursor(true) - 1, cursorBefore);
    showCursor(false);
}

// gles3 on a Mesa made to offer OpenGL ES 2.0 at most: one line says so, no box, status 1, and
// nothing falls back to the fixed-function renderer.
TEST_F(ShellTest, ARendererWithoutItsContextEndsTheRunWithOneLineAndNoBox) {
    ASSERT_EQ(setenv("MESA_GLES_VERSION_OVERRIDE", "2.0", 1), 0);
    const int cursorBefore = showCursor(true) - 1;
    showCursor(false);
    gfx::useRenderer(gfx::RendererKind::kGles3);
    const int status = runShell(currentInstance(), fake_demo::settings());
    gfx::useRenderer(gfx::RendererKind::kGl11);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(fake_demo::calls.empty());
    ASSERT_EQ(reports.reports.size(), 1u) << reports.written();
    EXPECT_EQ(reports.reports[0].level, base::Level::kError);
    EXPECT_FALSE(reports.reports[0].box);
    EXPECT_EQ(reports.reports[0].text.rfind("no OpenGL ES 3.0 context: ", 0), 0u) << reports.reports[0].text;
    EXPECT_TRUE(noWindowLeft());
    EXPECT_FALSE(displayModeChanged());
    EXPECT_EQ(showCursor(true) - 1, cursorBefore);
    showCursor(false);
}

}  // namespace
