// Golden frames: one frame inside each scene and overlay, rendered offscreen at 1024 x 768
// on the 50 fps virtual clock; its band is compared with the one kept in tests/golden/ and its
// letterbox rows must be the clear colour. After an intended change of the picture:
//   OYUN_GOLDEN_UPDATE=1 ctest --test-dir build -R EachSceneAndOverlayLooksAsKept
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "demo/offscreen_show.h"
#include "tests/support/golden_frames.h"
#include "tests/support/image_test_tools.h"

using namespace testing_support;

namespace {

constexpr int kWidth = kGoldenWidth;
constexpr int kHeight = kGoldenHeight;
constexpr int kFps = kGoldenFps;
constexpr std::size_t kRowBytes = std::size_t{kWidth} * 3;
// The show's clear colour (0, 0.2, 0.5); 0.5 of 255 is a tie that a GL may round either way.
constexpr int kClear[3] = {0, 51, 128};
constexpr int kClearTolerance = 1;

using Golden = GoldenFrame;
constexpr const auto& kGoldens = kGoldenFrames;

std::filesystem::path goldenPath(const Golden& golden) {
    return std::filesystem::path(OYUN_GOLDEN_DIR) / (std::string(golden.name) + ".png");
}

bool updating() {
    const char* value = std::getenv("OYUN_GOLDEN_UPDATE");
    return value != nullptr && std::string(value) == "1";
}

std::vector<std::uint8_t> bandOf(const std::vector<std::uint8_t>& rgb) {
    const auto first = rgb.begin() + static_cast<std::ptrdiff_t>(kLetterboxRows * kRowBytes);
    return {first, first + static_cast<std::ptrdiff_t>(kBandHeight * kRowBytes)};
}

// Pixels of the letterbox rows, above and below the band, that are not the clear colour.
std::size_t letterboxStrays(const std::vector<std::uint8_t>& rgb) {
    std::size_t strays = 0;
    auto count = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; i += 3) {
            for (std::size_t c = 0; c < 3; ++c) {
                if (std::abs(int{rgb[i + c]} - kClear[c]) > kClearTolerance) {
                    ++strays;
                    break;
                }
            }
        }
    };
    count(0, kLetterboxRows * kRowBytes);
    count((kLetterboxRows + kBandHeight) * kRowBytes, rgb.size());
    return strays;
}

// At zlib's highest level, each row's filter picked for that row; the pixels do not depend on
// the settings.
bool writeBandPng(const std::filesystem::path& path, const std::vector<std::uint8_t>& band) {
    const std::filesystem::path raw = path.string() + ".rgb";
    std::ofstream(raw, std::ios::binary)
        .write(reinterpret_cast<const char*>(band.data()), static_cast<std::streamsize>(band.size()));
    const bool ok =
        runFfmpeg("-f rawvideo -pix_fmt rgb24 -s " + std::to_string(kWidth) + "x" + std::to_string(kBandHeight) +
                  " -i '" + raw.string() + "' -frames:v 1 -compression_level 9 -pred mixed '" + path.string() + "'");
    std::filesystem::remove(raw);
    return ok;
}

// zopflipng, where installed, stores the same pixels in about a tenth less.
bool packTighter(const std::filesystem::path& path) {
    if (std::system("command -v zopflipng >/dev/null") != 0) return true;
    const std::string command = "zopflipng -y '" + path.string() + "' '" + path.string() + "' >/dev/null";
    return std::system(command.c_str()) == 0;
}

struct Difference {
    double differingShare;  // pixels with a channel off by more than kPixelTolerance
    double meanAbsolute;    // over all channels
};

// Rasteriser noise (another LLVM vector width, a rounding in line smoothing) moves single
// pixels by a little; a wrong colour, blend, transform or frame moves many by a lot. The limits
// were set over whole frames, whose letterbox rows never differ: as shares of the band they
// grow by the frame's height over the band's.
constexpr int kPixelTolerance = 40;
constexpr double kFrameOverBand = double{kHeight} / kBandHeight;
constexpr double kMaxDifferingShare = 0.003 * kFrameOverBand;
constexpr double kMaxMeanAbsolute = 1.0 * kFrameOverBand;

Difference compare(const std::vector<std::uint8_t>& actual, const std::string& expected) {
    std::size_t differing = 0;
    double total = 0;
    for (std::size_t i = 0; i < actual.size(); i += 3) {
        int worst = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            const int d = std::abs(int{actual[i + c]} - int{static_cast<std::uint8_t>(expected[i + c])});
            worst = std::max(worst, d);
            total += d;
        }
        if (worst > kPixelTolerance) ++differing;
    }
    return {static_cast<double>(differing) / static_cast<double>(actual.size() / 3),
            total / static_cast<double>(actual.size())};
}

bool matches(const Difference& difference) {
    return difference.differingShare <= kMaxDifferingShare && difference.meanAbsolute <= kMaxMeanAbsolute;
}

class GoldenFramesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        show = OffscreenShow::open({kWidth, kHeight, OYUN_DATA_DIR}, error);
        ASSERT_NE(show, nullptr) << error;
    }

    // Runs the 50 fps clock from 0 and hands over the frame of each wanted tick, in order.
    template <typename Visit>
    void renderAt(const std::vector<std::uint32_t>& ticks, Visit visit) {
        std::size_t next = 0;
        std::vector<std::uint8_t> rgb;
        for (std::int64_t frame = 0; next < ticks.size(); ++frame) {
            const std::uint32_t tick = tickOfFrame(frame, kFps);
            ASSERT_TRUE(show->update(tick)) << "the show ended before " << ticks[next] << " ms";
            if (tick != ticks[next]) {
                show->skip();
                continue;
            }
            show->draw();
            show->readPixels(rgb);
            show->present();
            visit(next++, rgb);
        }
    }

    std::unique_ptr<OffscreenShow> show;
};

TEST_F(GoldenFramesTest, EachSceneAndOverlayLooksAsKept) {
    std::vector<std::uint32_t> ticks;
    for (const Golden& golden : kGoldens) ticks.push_back(golden.tick);
    renderAt(ticks, [&](std::size_t index, const std::vector<std::uint8_t>& rgb) {
        const Golden& golden = kGoldens[index];
        ASSERT_EQ(rgb.size(), kHeight * kRowBytes);
        // Only the band is kept: the rest must be what the band's file leaves out.
        EXPECT_EQ(letterboxStrays(rgb), 0u) << golden.name << " at " << golden.tick << " ms draws over the letterbox";
        const std::vector<std::uint8_t> band = bandOf(rgb);
        if (updating()) {
            ASSERT_TRUE(writeBandPng(goldenPath(golden), band) && packTighter(goldenPath(golden)))
                << goldenPath(golden);
            return;
        }
        const std::string expected = ffmpegDecode(goldenPath(golden).string(), "rgb24");
        ASSERT_EQ(expected.size(), band.size()) << "cannot read " << goldenPath(golden) << " as a band";
        const Difference difference = compare(band, expected);
        if (!matches(difference)) {
            const auto actualPath = std::filesystem::temp_directory_path() / (std::string(golden.name) + ".actual.png");
            writeBandPng(actualPath, band);
            ADD_FAILURE() << golden.name << " at " << golden.tick
                          << " ms differs from the kept frame: " << difference.differingShare * 100
                          << " % of pixels off, mean difference " << difference.meanAbsolute
                          << "; this run's frame is in " << actualPath;
        }
    });
}

// A split a row off would keep a letterbox row in the files, or check a band row as letterbox.
TEST(GoldenFrameSplit, TheBandIsRows128To639AndEveryOtherPixelIsChecked) {
    std::vector<std::uint8_t> frame(kHeight * kRowBytes);
    for (int row = 0; row < kHeight; ++row) {
        const bool letterbox = row < kLetterboxRows || row >= kHeight - kLetterboxRows;
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t* pixel = &frame[static_cast<std::size_t>(row) * kRowBytes + static_cast<std::size_t>(x) * 3];
            pixel[0] = letterbox ? 0 : static_cast<std::uint8_t>(row);
            pixel[1] = letterbox ? 51 : static_cast<std::uint8_t>(row >> 8);
            pixel[2] = letterbox ? 128 : 7;
        }
    }
    const std::vector<std::uint8_t> band = bandOf(frame);
    ASSERT_EQ(band.size(), 512 * kRowBytes);
    EXPECT_EQ(band.front() + 256 * band[1], 128);
    EXPECT_EQ(band[band.size() - 3] + 256 * band[band.size() - 2], 639);
    EXPECT_EQ(letterboxStrays(frame), 0u);

    frame[1] = 52;  // within a GL's rounding of the clear colour
    EXPECT_EQ(letterboxStrays(frame), 0u);
    frame[0] = 2;                                            // the first pixel
    frame[kLetterboxRows * kRowBytes - 1] = 0;               // the last above the band
    frame[(kHeight - kLetterboxRows) * kRowBytes + 1] = 60;  // the first below it
    frame[frame.size() - 3] = 255;                           // the last pixel
    EXPECT_EQ(letterboxStrays(frame), 4u);
}

// The tolerance must not hide a frame drawn one step of the clock late.
TEST_F(GoldenFramesTest, AFrameOneStepLateDoesNotPass) {
    std::vector<std::uint32_t> ticks;
    for (const Golden& golden : kGoldens) ticks.push_back(golden.tick + 20);
    renderAt(ticks, [&](std::size_t index, const std::vector<std::uint8_t>& rgb) {
        const Golden& golden = kGoldens[index];
        const std::string expected = ffmpegDecode(goldenPath(golden).string(), "rgb24");
        const std::vector<std::uint8_t> band = bandOf(rgb);
        ASSERT_EQ(expected.size(), band.size()) << "cannot read " << goldenPath(golden) << " as a band";
        EXPECT_FALSE(matches(compare(band, expected))) << golden.name << " 20 ms late still matches";
    });
}

}  // namespace
