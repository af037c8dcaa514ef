// What a capture is asked to render, before anything is drawn: the one parser of numbers and
// of sizes (the command line's, the segment descriptions' and the bench's), the sizes the show
// can be drawn at, and the messages more than one way of capturing gives.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "demo/offscreen_show.h"
#include "tools/capture/plan/capture_result.h"
#include "tools/capture/plan/limits.h"
#include "tools/capture/plan/numbers.h"

namespace {

TEST(CapturePlan, WholeNumbersAreDigitsInRangeAndNothingElse) {
    EXPECT_EQ(base::parseWholeNumber("0", 0, 10), 0);
    EXPECT_EQ(base::parseWholeNumber("10", 0, 10), 10);
    EXPECT_EQ(base::parseWholeNumber("007", 0, 10), 7);
    EXPECT_EQ(base::parseWholeNumber("9223372036854775807", 0, INT64_MAX), INT64_MAX);
    for (const char* wrong : {"", "11", "-1", "+1", " 1", "1 ", "1.0", "1e3", "0x1", "ten", "99999999999999999999"})
        EXPECT_EQ(base::parseWholeNumber(wrong, 0, 10), std::nullopt) << "'" << wrong << "'";
    EXPECT_EQ(base::parseWholeNumber("-5", -10, 10), -5) << "a range below zero takes a minus sign";
}

TEST(CapturePlan, SizesAreWidthByHeightUpToTheLargestSide) {
    const std::optional<PictureSize> size = parsePictureSize("640x480", kMaxPictureSide);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, 640);
    EXPECT_EQ(size->height, 480);
    const std::optional<PictureSize> largest = parsePictureSize("16384x1", kMaxPictureSide);
    ASSERT_TRUE(largest);
    EXPECT_EQ(largest->width, 16384);
    for (const char* wrong : {"", "640", "640x", "x480", "0x480", "640x0", "640x480x2", "640X480", "640 x 480",
                              "+640x480", "-640x480", "16385x1", "1x16385", "640x480 ", "99999999999x1"})
        EXPECT_EQ(parsePictureSize(wrong, kMaxPictureSide).has_value(), false) << "'" << wrong << "'";
    EXPECT_FALSE(parsePictureSize("1025x768", 1024)) << "the largest side is the caller's";
    EXPECT_EQ(sizeText(640, 480), "640x480");
    EXPECT_EQ(sizeText(65536, 65536), "65536x65536") << "drawn sizes may pass the largest side";
    const std::optional<PictureSize> back = parsePictureSize(sizeText(333, 77), kMaxPictureSide);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 333);
    EXPECT_EQ(back->height, 77);
}

// Both the capture in one piece and the shared one say where the show ended, in its own
// clock, and what was asked for.
TEST(CapturePlan, TheShowEndingEarlySaysWhenAndWhatWasAskedFor) {
    CaptureOptions options;
    options.fps = 50;
    options.fromMs = 900000;
    EXPECT_EQ(showEndsMessage(options, 7052), "the show ends at 141.040 s, before 900000 ms");
    options.fps = 30;
    EXPECT_EQ(showEndsMessage(options, 1), "the show ends at 0.033 s, before 900000 ms");
    CaptureOptions frame;
    frame.fps = 1;
    frame.frameMs = 200000;
    EXPECT_EQ(showEndsMessage(frame, 142), "the show ends at 142.000 s, before 200000 ms");
    EXPECT_EQ(showEndsMessage(CaptureOptions{}, 0), "the show ends at 0.000 s, before 0 ms");

    const CaptureResult interrupted = CaptureResult::interrupted();
    EXPECT_FALSE(interrupted.ok);
    EXPECT_TRUE(interrupted.cancelled);
    EXPECT_EQ(interrupted.error, "interrupted; nothing was written");
    const CaptureResult failed = CaptureResult::failure("no");
    EXPECT_FALSE(failed.ok || failed.cancelled || failed.wrongArguments);
    EXPECT_EQ(failed.error, "no");
}

// The limits a capture checks its size against come from the show's own context, and the
// show refuses sizes beyond the one side limit with a message built from it.
TEST(CapturePlan, TheShowsContextDrawsWhatItOpensAt) {
    std::string error;
    EXPECT_EQ(OffscreenShow::open({kMaxPictureSide + 1, 10, OYUN_DATA_DIR}, error), nullptr);
    EXPECT_EQ(error, "the size must be between 1x1 and 16384x16384");
    const auto show = OffscreenShow::open({64, 48, OYUN_DATA_DIR}, error);
    ASSERT_NE(show, nullptr) << error;
    const DrawingLimits limits = show->drawingLimits();
    EXPECT_GE(limits.width, 64);
    EXPECT_GE(limits.height, 48);
    EXPECT_EQ(sizeBeyondDrawing(limits.width, limits.height, limits), "");
    EXPECT_NE(sizeBeyondDrawing(limits.width + 1, limits.height, limits), "");
    ASSERT_TRUE(show->update(0));
    show->draw();
    show->waitUntilDrawn();
    std::vector<std::uint8_t> rgb;
    show->readPixels(rgb);
    EXPECT_EQ(rgb.size(), 64u * 48u * 3u);
}

}  // namespace
