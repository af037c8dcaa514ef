// The platform layer's own contract: clock, key polling, message boxes, text encoding.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "tests/support/report_capture.h"

using namespace platform;

namespace {

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
    EXPECT_EQ(getKeyState('W') & 0x80, 0);
    setKeyHeld('W', true);
    EXPECT_NE(getKeyState('W') & 0x80, 0);
    EXPECT_LT(getKeyState('W'), 0);  // high bit, as a signed short
    const int toggle = getKeyState('W') & 1;
    setKeyHeld('W', true);  // repeat: no new toggle
    EXPECT_EQ(getKeyState('W') & 1, toggle);
    setKeyHeld('W', false);
    EXPECT_EQ(getKeyState('W') & 0x80, 0);
    setKeyHeld('W', true);
    EXPECT_NE(getKeyState('W') & 1, toggle);
    releaseAllKeys();
    EXPECT_EQ(getKeyState(-1), 0);
    EXPECT_EQ(getKeyState(256), 0);
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
