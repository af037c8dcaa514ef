// Golden frames: one frame inside each scene and overlay, rendered offscreen at 1024 x 768
// on the 50 fps virtual clock and compared with the pictures kept in tests/golden/.
// After an intended change of the picture:
//   OYUN_GOLDEN_UPDATE=1 ctest --test-dir build -R EachSceneAndOverlayLooksAsKept
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "demo/offscreen_show.h"
#include "tests/support/image_test_tools.h"

using namespace testing_support;

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kFps = 50;

struct Golden {
    const char* name;
    std::uint32_t tick;  // a multiple of 20: a frame of the 50 fps clock
};

constexpr Golden kGoldens[] = {
    {"scene1_tower", 10000},  {"overlay1_chain", 28000}, {"scene2_tower", 50000},    {"scene3_rings", 70000},
    {"scene4_rising", 83000}, {"scene6_glow", 88000},    {"scene6_credits", 100000}, {"scene6_credits2", 115000},
};

std::filesystem::path goldenPath(const Golden& golden) {
    return std::filesystem::path(OYUN_GOLDEN_DIR) / (std::string(golden.name) + ".png");
}

bool updating() {
    const char* value = std::getenv("OYUN_GOLDEN_UPDATE");
    return value != nullptr && std::string(value) == "1";
}

bool writePng(const std::filesystem::path& path, const std::vector<std::uint8_t>& rgb) {
    const std::filesystem::path raw = path.string() + ".rgb";
    std::ofstream(raw, std::ios::binary)
        .write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    const bool ok =
        runFfmpeg("-f rawvideo -pix_fmt rgb24 -s " + std::to_string(kWidth) + "x" + std::to_string(kHeight) + " -i '" +
                  raw.string() + "' -frames:v 1 '" + path.string() + "'");
    std::filesystem::remove(raw);
    return ok;
}

struct Difference {
    double differingShare;  // pixels with a channel off by more than kPixelTolerance
    double meanAbsolute;    // over all channels
};

// Rasteriser noise (another LLVM vector width, a rounding in line smoothing) moves single
// pixels by a little; a wrong colour, blend, transform or frame moves many by a lot.
constexpr int kPixelTolerance = 40;
constexpr double kMaxDifferingShare = 0.003;
constexpr double kMaxMeanAbsolute = 1.0;

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
        if (updating()) {
            ASSERT_TRUE(writePng(goldenPath(golden), rgb)) << goldenPath(golden);
            return;
        }
        const std::string expected = ffmpegDecode(goldenPath(golden).string(), "rgb24");
        ASSERT_EQ(expected.size(), rgb.size()) << "cannot read " << goldenPath(golden);
        const Difference difference = compare(rgb, expected);
        if (!matches(difference)) {
            const auto actualPath = std::filesystem::temp_directory_path() / (std::string(golden.name) + ".actual.png");
            writePng(actualPath, rgb);
            ADD_FAILURE() << golden.name << " at " << golden.tick
                          << " ms differs from the kept frame: " << difference.differingShare * 100
                          << " % of pixels off, mean difference " << difference.meanAbsolute
                          << "; this run's frame is in " << actualPath;
        }
    });
}

// The tolerance must not hide a frame drawn one step of the clock late.
TEST_F(GoldenFramesTest, AFrameOneStepLateDoesNotPass) {
    std::vector<std::uint32_t> ticks;
    for (const Golden& golden : kGoldens) ticks.push_back(golden.tick + 20);
    renderAt(ticks, [&](std::size_t index, const std::vector<std::uint8_t>& rgb) {
        const Golden& golden = kGoldens[index];
        const std::string expected = ffmpegDecode(goldenPath(golden).string(), "rgb24");
        ASSERT_EQ(expected.size(), rgb.size()) << "cannot read " << goldenPath(golden);
        EXPECT_FALSE(matches(compare(rgb, expected))) << golden.name << " 20 ms late still matches";
    });
}

}  // namespace
