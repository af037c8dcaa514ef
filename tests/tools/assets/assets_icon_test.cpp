// The desktop icon: written at both sizes as PNG, transparent outside its rounded tile, the
// same drawing at each size, and the same bytes on every run.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/image_test_tools.h"
#include "tests/support/temp_dir.h"
#include "tools/assets/icon.h"

using namespace testing_support;

namespace {

TEST(AssetsIcon, BothSizesAreTransparentAroundALitCentreAndRepeatable) {
    TempWorkingDir dir;
    std::string error;
    ASSERT_TRUE(assets::writeIcons("icons", error)) << error;
    const std::string first = readFileBytes("icons/oyun-256.png");
    ASSERT_TRUE(assets::writeIcons("icons", error)) << error;
    EXPECT_EQ(readFileBytes("icons/oyun-256.png"), first);

    for (const int size : {48, 256}) {
        const std::string rgba = ffmpegDecode("icons/oyun-" + std::to_string(size) + ".png", "rgba");
        ASSERT_EQ(rgba.size(), static_cast<std::size_t>(size * size * 4)) << size;
        const auto pixel = [&](int x, int y) {
            return reinterpret_cast<const unsigned char*>(rgba.data()) + (y * size + x) * 4;
        };
        EXPECT_EQ(pixel(0, 0)[3], 0) << size;
        EXPECT_EQ(pixel(size - 1, size - 1)[3], 0) << size;
        const unsigned char* centre = pixel(size / 2, size / 2);
        EXPECT_EQ(centre[3], 255) << size;
        EXPECT_GT(centre[0] + centre[1] + centre[2], 3 * 180) << size;
        // The edge of the tile is the show's deep blue, not black.
        const unsigned char* edge = pixel(size / 2, size / 20 + 1);
        EXPECT_GT(edge[2], edge[0] + 20) << size;
    }
}

TEST(AssetsIcon, AFolderThatCannotBeMadeIsReported) {
    TempWorkingDir dir;
    writeFileBytes("taken", "a file");
    std::string error;
    EXPECT_FALSE(assets::writeIcons("taken/icons", error));
    EXPECT_NE(error.find("cannot make taken/icons"), std::string::npos) << error;
}

}  // namespace
