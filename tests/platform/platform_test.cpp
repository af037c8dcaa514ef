// The platform layer's own contract: clock, key polling, message boxes, text encoding.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "platform/termination.h"
#include "platform/window.h"
#include "tests/support/report_capture.h"

using namespace platform;

namespace {

TEST(Clock, RealTicksCountFromTheProcessStartWhateverTheUptime) {
    // Each test runs in a fresh process.
    EXPECT_LT(tickCount(), 30000u);
    using std::chrono::milliseconds;
    const std::chrono::steady_clock::time_point booted{};
    for (const std::int64_t uptime : {std::int64_t{0}, std::int64_t{93} * 3600 * 1000, std::int64_t{1} << 40}) {
        const auto start = booted + milliseconds(uptime);
        EXPECT_EQ(ticksBetween(start, start + milliseconds(5000)), 5000u) << uptime;
        // Still whole 20 ms units when held in a float, as the show holds them.
        const std::uint32_t ticks = ticksBetween(start, start + milliseconds(3600 * 1000));
        EXPECT_EQ(static_cast<float>(ticks / 20), 180000.0f) << uptime;
        EXPECT_EQ(ticksBetween(start, start + milliseconds((std::int64_t{1} << 32) + 7)), 7u) << uptime;
    }
}

TEST(Clock, TheRealClockResumesFromAReplayedTickWithoutAJump) {
    useVirtualClock(0xFFFFFF00u);
    advanceVirtualClock(0x200);  // wraps
    useRealClockFrom(tickCount());
    const std::uint32_t resumed = tickCount();
    EXPECT_LT(resumed - 0x100u, 50u);
    sleepMilliseconds(30);
    const std::uint32_t later = tickCount() - resumed;
    EXPECT_GE(later, 30u);
    EXPECT_LT(later, 1000u);
}

TEST(Termination, TheFirstSignalIsARequestTakenOnce) {
    EXPECT_EQ(terminationSignal(), 0);
    EXPECT_FALSE(takeTerminationRequest());
    watchTerminationSignals();
    std::raise(SIGINT);
    EXPECT_EQ(terminationSignal(), SIGINT);
    EXPECT_TRUE(takeTerminationRequest());
    EXPECT_FALSE(takeTerminationRequest());
    clearTerminationRequest();
    EXPECT_EQ(terminationSignal(), 0);
}

TEST(Display, WithoutOneTheOffscreenDriverIsNotTakenQuietly) {
    unsetenv("SDL_VIDEODRIVER");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    testing_support::ReportCapture captured;
    EXPECT_FALSE(openDisplay());
    ASSERT_EQ(captured.reports.size(), 1u);
    EXPECT_EQ(captured.reports[0].text.rfind("no display found (", 0), 0u) << captured.reports[0].text;
    EXPECT_NE(captured.reports[0].text.find("SDL_VIDEODRIVER=offscreen"), std::string::npos);
    EXPECT_FALSE(hasVisibleDisplay());
}

TEST(Display, OffscreenWhenAskedFor) {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    EXPECT_TRUE(openDisplay());
    EXPECT_FALSE(hasVisibleDisplay());
}

TEST(Clock, VirtualClockMovesOnlyWhenToldAndWraps) {
    useVirtualClock(0xFFFFFFF0u);
    EXPECT_EQ(tickCount(), 0xFFFFFFF0u);
    sleepMilliseconds(0x20);  // sleeping advances a virtual clock
    EXPECT_EQ(tickCount(), 0x10u);
    setVirtualTick(5);
    advanceVirtualClock(7);
    EXPECT_EQ(tickCount(), 12u);
    useRealClock();
    const std::uint32_t a = tickCount();
    sleepMilliseconds(20);
    EXPECT_GE(static_cast<std::int32_t>(tickCount() - a), 19);
}

TEST(KeyPolling, HeldKeysSetBitSevenAndPressesToggleBitZero) {
    releaseAllKeys();
    EXPECT_EQ(getKeyState(characterKey('W')) & 0x80, 0);
    setKeyHeld(characterKey('W'), true);
    EXPECT_NE(getKeyState(characterKey('W')) & 0x80, 0);
    EXPECT_LT(getKeyState(characterKey('W')), 0);  // high bit, as a signed short
    const int toggle = getKeyState(characterKey('W')) & 1;
    setKeyHeld(characterKey('W'), true);  // repeat: no new toggle
    EXPECT_EQ(getKeyState(characterKey('W')) & 1, toggle);
    setKeyHeld(characterKey('W'), false);
    EXPECT_EQ(getKeyState(characterKey('W')) & 0x80, 0);
    setKeyHeld(characterKey('W'), true);
    EXPECT_NE(getKeyState(characterKey('W')) & 1, toggle);
    releaseAllKeys();
    EXPECT_EQ(getKeyState(-1), 0);
    EXPECT_EQ(getKeyState(256), 0);
}

TEST(KeyCodes, AreTheWindowsVirtualKeys) {
    EXPECT_EQ(characterKey('A'), 65);
    EXPECT_EQ(characterKey('Z'), 90);
    EXPECT_EQ(characterKey('w'), characterKey('W'));
    EXPECT_EQ(characterKey('0'), 48);
    EXPECT_EQ(characterKey('9'), 57);
    const int keypad[] = {VK_NUMPAD0, VK_NUMPAD1, VK_NUMPAD2, VK_NUMPAD3, VK_NUMPAD4,
                          VK_NUMPAD5, VK_NUMPAD6, VK_NUMPAD7, VK_NUMPAD8, VK_NUMPAD9};
    for (int digit = 0; digit <= 9; ++digit) EXPECT_EQ(keypad[digit], 96 + digit) << digit;
    EXPECT_NE(VK_NUMPAD3, characterKey('C'));
    EXPECT_EQ(VK_ESCAPE, 27);
    EXPECT_EQ(VK_PRIOR, 33);
    EXPECT_EQ(VK_NEXT, 34);
    const int arrows[] = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(arrows[i], 37 + i) << i;
    EXPECT_EQ(VK_F1, 0x70);
    EXPECT_EQ(VK_F4, 0x73);
    EXPECT_EQ(VK_F10, 0x79);
}

TEST(MessageBoxes, HeadlessBoxesGoToStderrAsCaptionAndText) {
    testing_support::ReportCapture captured;
    messageBox("Could not open texture file", "ERROR", MB_OK);
    EXPECT_EQ(captured.written(), "ERROR: Could not open texture file\n");
}

TEST(MessageBoxes, TurkishBytesAreShownAsUtf8) {
    EXPECT_EQ(cp1254ToUtf8("s\xFDn\xFD"
                           "f \xD0\xDD\xDE\xF0\xFE\x80"),
              "s\xC4\xB1n\xC4\xB1"
              "f \xC4\x9E\xC4\xB0\xC5\x9E\xC4\x9F\xC5\x9F\xE2\x82\xAC");
    EXPECT_EQ(cp1254ToUtf8("plain"), "plain");
}

}  // namespace
