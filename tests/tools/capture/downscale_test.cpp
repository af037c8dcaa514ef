// The area filter that supersampled captures are scaled down with, on synthetic pictures.
#include "tools/capture/output/downscale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Pixels = std::vector<std::uint8_t>;

Pixels scaled(const Pixels& large, int width, int height, int factor, PixelOrder order) {
    std::string error;
    const auto downscaler = Downscaler::open(width, height, factor, order, error);
    EXPECT_TRUE(downscaler) << error;
    Pixels small(static_cast<std::size_t>(width) * height * 3, 0);
    if (downscaler) downscaler->scale(large.data(), small.data());
    return small;
}

struct Size {
    int width, height;
};

// Odd sizes and the smallest: blocks must line up from the first row and column.
constexpr Size kSizes[] = {{7, 5}, {2, 2}, {33, 2}, {2, 9}, {64, 48}};
constexpr PixelOrder kOrders[] = {PixelOrder::kRgb, PixelOrder::kBgr};

// Each block of one colour becomes one pixel of exactly that colour, its bytes in the order
// they came: no colour is lost to the YUV that libswscale works in, at odd factors either.
TEST(Downscale, BlocksOfOneColourKeepItExactly) {
    std::mt19937 random(7);
    for (int factor = 2; factor <= 4; ++factor) {
        for (const Size size : kSizes) {
            for (const PixelOrder order : kOrders) {
                Pixels colours(static_cast<std::size_t>(size.width) * size.height * 3);
                for (std::uint8_t& byte : colours) byte = static_cast<std::uint8_t>(random());
                const int largeWidth = size.width * factor;
                Pixels large(colours.size() * factor * factor);
                for (int y = 0; y < size.height * factor; ++y)
                    for (int x = 0; x < largeWidth; ++x)
                        for (int c = 0; c < 3; ++c)
                            large[(static_cast<std::size_t>(y) * largeWidth + x) * 3 + c] =
                                colours[(static_cast<std::size_t>(y / factor) * size.width + x / factor) * 3 + c];
                EXPECT_TRUE(scaled(large, size.width, size.height, factor, order) == colours)
                    << factor << "x to " << size.width << "x" << size.height
                    << (order == PixelOrder::kBgr ? " BGR" : " RGB");
            }
        }
    }
}

// Every pixel is the mean of its block, to within rounding: not one pixel picked from it.
TEST(Downscale, EachPixelIsTheMeanOfItsBlock) {
    std::mt19937 random(11);
    for (int factor = 2; factor <= 4; ++factor) {
        for (const Size size : kSizes) {
            const int largeWidth = size.width * factor;
            Pixels large(static_cast<std::size_t>(largeWidth) * size.height * factor * 3);
            for (std::uint8_t& byte : large) byte = static_cast<std::uint8_t>(random());
            const Pixels small = scaled(large, size.width, size.height, factor, PixelOrder::kBgr);
            int worst = 0;
            for (int y = 0; y < size.height; ++y) {
                for (int x = 0; x < size.width; ++x) {
                    for (int c = 0; c < 3; ++c) {
                        int sum = 0;
                        for (int j = 0; j < factor; ++j)
                            for (int i = 0; i < factor; ++i)
                                sum +=
                                    large[((static_cast<std::size_t>(y) * factor + j) * largeWidth + x * factor + i) *
                                              3 +
                                          c];
                        const int got = small[(static_cast<std::size_t>(y) * size.width + x) * 3 + c];
                        worst = std::max(worst, std::abs(got * factor * factor - sum));
                    }
                }
            }
            // Within one level of the exact mean.
            EXPECT_LE(worst, factor * factor) << factor << "x to " << size.width << "x" << size.height;
        }
    }
}

// A checkerboard of single pixels averages to its mid grey in every block of an even factor.
TEST(Downscale, ACheckerboardAveragesToItsMean) {
    for (const int factor : {2, 4}) {
        const Size size{9, 7};
        const int largeWidth = size.width * factor;
        Pixels large(static_cast<std::size_t>(largeWidth) * size.height * factor * 3);
        for (int y = 0; y < size.height * factor; ++y)
            for (int x = 0; x < largeWidth; ++x)
                for (int c = 0; c < 3; ++c)
                    large[(static_cast<std::size_t>(y) * largeWidth + x) * 3 + c] = (x + y) % 2 == 0 ? 40 : 220;
        EXPECT_TRUE(scaled(large, size.width, size.height, factor, PixelOrder::kRgb) ==
                    Pixels(size.width * size.height * 3, 130))
            << factor;
    }
}

}  // namespace
