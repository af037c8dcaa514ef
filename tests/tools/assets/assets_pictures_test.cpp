// The pictures oyun-assets wrote into the build's data folder, as the show will load them:
// formats and sizes, and what each must show within the part of it that reaches the band.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/temp_dir.h"
#include "tests/support/tga_test_reader.h"
#include "tools/assets/pictures.h"

using namespace assets;
using testing_support::TgaPicture;

namespace {

const std::filesystem::path kData = OYUN_TEST_DATA_DIR;
const char* const kSprites[] = {"mask", "text", "shine", "t1", "t2", "cre", "cre2"};

TgaPicture load(const std::string& name) {
    TgaPicture picture;
    std::string error;
    const std::string bytes = testing_support::readFileBytes(kData / (name + ".tga"));
    EXPECT_TRUE(testing_support::decodeTga(bytes, picture, error)) << name << ": " << error;
    return picture;
}

float brightness(const TgaPicture& p, int x, int y) {
    const std::uint8_t* px = p.pixel(x, y);
    return static_cast<float>(std::max({px[0], px[1], px[2]})) / 255.0f;
}

bool isCorner(const TgaPicture& p, int x, int y) { return (x < 2 || x >= p.width - 2) && (y < 2 || y >= p.height - 2); }

struct Extent {
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1, count = 0;
};

// Where pixels at least `level` bright lie, the corner texels aside.
Extent extentAbove(const TgaPicture& p, float level) {
    Extent e;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (isCorner(p, x, y) || brightness(p, x, y) < level) continue;
            e.left = std::min(e.left, x);
            e.right = std::max(e.right, x);
            e.top = std::min(e.top, y);
            e.bottom = std::max(e.bottom, y);
            ++e.count;
        }
    }
    return e;
}

bool isPowerOfTwo(int v) { return v > 0 && (v & (v - 1)) == 0; }

}  // namespace

TEST(GeneratedPictures, SpritesAreRunLength32BitAtBandSizeAndOpaque) {
    for (const char* name : kSprites) {
        SCOPED_TRACE(name);
        const TgaPicture p = load(name);
        EXPECT_EQ(p.type, 10);
        EXPECT_EQ(p.width, 1024);
        EXPECT_EQ(p.height, 512);
        EXPECT_EQ(p.bitsPerPixel, 32);
        EXPECT_FALSE(p.packetCrossesRow);
        for (std::size_t i = 3; i < p.rgba.size(); i += 4)
            ASSERT_EQ(p.rgba[i], 255) << "alpha must not dim the picture";
    }
}

TEST(GeneratedPictures, CornerTexelsAreWhiteSoTheTowerLinesKeepTheirColour) {
    for (const char* name : {"mask", "text", "shine", "t1", "t2", "cre", "cre2", "ball_sur"}) {
        SCOPED_TRACE(name);
        const TgaPicture p = load(name);
        for (int y : {0, 1, p.height - 2, p.height - 1}) {
            for (int x : {0, 1, p.width - 2, p.width - 1}) {
                const std::uint8_t* px = p.pixel(x, y);
                EXPECT_EQ(px[0] + px[1] + px[2], 3 * 255) << x << "," << y;
            }
        }
    }
}

TEST(GeneratedPictures, SpherePicturesArePowersOfTwo) {
    const TgaPicture ball = load("ball");
    EXPECT_EQ(ball.type, 2);
    EXPECT_EQ(ball.bitsPerPixel, 24);
    for (const char* name : {"ball", "ball_sur", "mivra"}) {
        SCOPED_TRACE(name);
        const TgaPicture p = load(name);
        EXPECT_TRUE(isPowerOfTwo(p.width) && isPowerOfTwo(p.height));
        EXPECT_GE(std::min(p.width, p.height), 256);
        EXPECT_GT(extentAbove(p, 0.3f).count, p.width * p.height / 20) << "a picture, not a void";
    }
}

TEST(GeneratedPictures, TitleIsLargeAndClearOfTheTower) {
    const TgaPicture p = load("text");
    const Extent letters = extentAbove(p, 0.95f);
    EXPECT_GT(letters.right - letters.left, 300) << "large lettering";
    EXPECT_GT(letters.bottom - letters.top, 150) << "two lines of it";
    EXPECT_GT(letters.count, 12000);
    // The first scene's tower stands in the columns from about 500 to 780.
    EXPECT_LT(extentAbove(p, 0.3f).right, 500);
    // Everything of note stays where it is seen whichever way the sprite sways.
    const Extent visible = extentAbove(p, 0.2f);
    EXPECT_GE(visible.left, kSwayingLeft);
    EXPECT_LE(visible.right, kSwayingRight);
    EXPECT_GE(visible.top, kVisibleTop);
    EXPECT_LE(visible.bottom, kVisibleBottom);
}

TEST(GeneratedPictures, CaptionsAndCreditsCarryLetteringInsideTheBand) {
    for (const char* name : {"t1", "t2", "cre", "cre2"}) {
        SCOPED_TRACE(name);
        const TgaPicture p = load(name);
        const Extent letters = extentAbove(p, 0.95f);
        EXPECT_GT(letters.count, 3000);
        const Extent visible = extentAbove(p, 0.2f);
        EXPECT_GE(visible.left, kSwayingLeft);
        EXPECT_LE(visible.right, kSwayingRight);
        EXPECT_GE(visible.top, kVisibleTop);
        EXPECT_LE(visible.bottom, kVisibleBottom);
    }
    // The captions leave room for their scene: the second's sits low, the third's high.
    EXPECT_GT(extentAbove(load("t1"), 0.95f).top, 256);
    EXPECT_LT(extentAbove(load("t2"), 0.95f).bottom, 256);
    EXPECT_NE(load("cre").rgba, load("cre2").rgba);
}

TEST(GeneratedPictures, MaskDressesTheEdgesAndLeavesTheMiddleClear) {
    const TgaPicture p = load("mask");
    float middle = 0.0f;
    for (int y = 110; y < 402; ++y) {
        for (int x = 140; x < 884; ++x) middle = std::max(middle, brightness(p, x, y));
    }
    EXPECT_LT(middle, 0.02f);
    const Extent frame = extentAbove(p, 0.5f);
    EXPECT_GT(frame.count, 2000);
    EXPECT_GE(frame.left, kStillLeft);
    EXPECT_LE(frame.right, kStillRight);
    EXPECT_GE(frame.top, kVisibleTop);
    EXPECT_LE(frame.bottom, kVisibleBottom);
}

TEST(GeneratedPictures, ShineIsASoftGlowThatLeavesTheCreditsReadable) {
    const TgaPicture p = load("shine");
    double sum = 0.0;
    float peak = 0.0f;
    int peakX = 0, peakY = 0;
    for (int y = kVisibleTop; y < kVisibleBottom; ++y) {
        for (int x = kSwayingLeft; x < kSwayingRight; ++x) {
            const float b = brightness(p, x, y);
            sum += b;
            if (b > peak) {
                peak = b;
                peakX = x;
                peakY = y;
            }
        }
    }
    const double mean = sum / ((kVisibleBottom - kVisibleTop) * (kSwayingRight - kSwayingLeft));
    EXPECT_GT(mean, 0.02) << "a glow across the view";
    EXPECT_LT(mean, 0.15) << "not a veil over the scene";
    EXPECT_GT(peak, 0.6f);
    // The light sits high on the left, away from the middle where the credits stand.
    EXPECT_LT(peakX, 400);
    EXPECT_LT(peakY, 220);
}

TEST(GeneratedPictures, ChromeMapHasSkyAboveAndFloorBelow) {
    const TgaPicture p = load("ball_sur");
    auto rowMean = [&](int y, int channel) {
        double s = 0.0;
        for (int x = p.width / 4; x < 3 * p.width / 4; ++x) s += p.pixel(x, y)[channel];
        return s / (p.width / 2);
    };
    // Below the horizon the magenta grid: more red than blue; above it a blue sky.
    EXPECT_GT(rowMean(p.height * 7 / 8, 0), rowMean(p.height * 7 / 8, 2));
    EXPECT_GT(rowMean(p.height * 3 / 8, 2), rowMean(p.height * 3 / 8, 0));
    EXPECT_GT(rowMean(p.height / 2, 1), 128.0) << "a bright horizon across the middle";
}
