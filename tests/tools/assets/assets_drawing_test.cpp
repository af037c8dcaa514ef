// Drawing primitives, noise and lettering of the picture generator.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/assets/canvas_draw.h"
#include "tools/assets/lettering.h"

using namespace assets;

namespace {

float total(const Canvas& c) {
    double sum = 0.0;
    for (const Rgb& p : c.pixels) sum += p.r;
    return static_cast<float>(sum);
}

}  // namespace

TEST(CanvasDrawing, DiscCoversItsAreaWithASoftEdge) {
    Canvas c(64, 64);
    addDisc(c, 32.0f, 32.0f, 10.0f, 1.0f, {1.0f, 0.5f, 0.0f});
    EXPECT_FLOAT_EQ(c.at(32, 32).r, 1.0f);
    EXPECT_FLOAT_EQ(c.at(32, 32).g, 0.5f);
    EXPECT_FLOAT_EQ(c.at(32, 50).r, 0.0f);
    EXPECT_NEAR(total(c), 3.14159f * 100.0f, 8.0f);
    int rim = 0;
    for (const Rgb& p : c.pixels) rim += (p.r > 0.0f && p.r < 1.0f) ? 1 : 0;
    EXPECT_GT(rim, 40) << "a smoothed rim about 63 pixels round";
    EXPECT_LT(rim, 130);
}

TEST(CanvasDrawing, ShapesNearTheBorderAreClipped) {
    Canvas c(16, 16);
    addDisc(c, -3.0f, 8.0f, 6.0f, 1.0f, {1, 1, 1});
    addLine(c, -20.0f, -20.0f, 40.0f, 40.0f, 3.0f, {1, 1, 1});
    addGlow(c, 300.0f, 300.0f, 5.0f, 1.0f, {1, 1, 1});
    addRect(c, 10.0f, 10.0f, 30.0f, 30.0f, {1, 1, 1});
    EXPECT_GT(c.at(0, 8).r, 0.0f);
    EXPECT_GT(c.at(7, 7).r, 0.0f);
    EXPECT_FLOAT_EQ(c.at(15, 15).r, 2.0f) << "line and rectangle both reach the corner";
}

TEST(CanvasDrawing, LineLightsOnlyItsStroke) {
    Canvas c(40, 20);
    addLine(c, 5.0f, 10.5f, 35.0f, 10.5f, 2.0f, {1, 0, 0}, {0, 0, 1});
    EXPECT_NEAR(c.at(5, 10).r, 1.0f, 0.05f);
    EXPECT_NEAR(c.at(34, 10).b, 1.0f, 0.05f);
    EXPECT_NEAR(c.at(20, 10).r + c.at(20, 10).b, 1.0f, 0.01f) << "the colour fades along the stroke";
    EXPECT_FLOAT_EQ(c.at(20, 14).r + c.at(20, 14).b, 0.0f);
    EXPECT_FLOAT_EQ(c.at(38, 10).b, 0.0f) << "nothing past the round end";
}

TEST(CanvasDrawing, BlurSpreadsButKeepsTheLight) {
    Canvas c(101, 101);
    c.at(50, 50) = {100.0f, 0.0f, 0.0f};
    blur(c, 4.0f);
    EXPECT_NEAR(total(c), 100.0f, 0.01f);
    EXPECT_LT(c.at(50, 50).r, 5.0f);
    EXPECT_GT(c.at(54, 50).r, 0.1f);
    EXPECT_NEAR(c.at(54, 50).r, c.at(50, 46).r, 1e-4f) << "the same spread both ways";
    EXPECT_FLOAT_EQ(c.at(0, 0).r, 0.0f);
}

TEST(CanvasDrawing, ValueNoiseIsBoundedSmoothAndTiles) {
    float lo = 1.0f, hi = 0.0f;
    for (int i = 0; i < 2000; ++i) {
        const float x = static_cast<float>(i) * 0.037f;
        const float y = static_cast<float>(i % 97) * 0.11f;
        const float v = fractalNoise(x, y, 8, 4, 3);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
        EXPECT_NEAR(valueNoise(x, y, 8, 3), valueNoise(x + 8.0f, y - 16.0f, 8, 3), 1e-4f);
        EXPECT_NEAR(valueNoise(x, y, 8, 3), valueNoise(x + 0.001f, y, 8, 3), 0.01f);
    }
    EXPECT_GE(lo, 0.0f);
    EXPECT_LE(hi, 1.0f);
    EXPECT_GT(hi - lo, 0.3f) << "noise that does not vary is no noise";
    EXPECT_NE(valueNoise(1.5f, 2.5f, 8, 1), valueNoise(1.5f, 2.5f, 8, 2)) << "seeds differ";
}

TEST(Lettering, DecodesUtf8AndReplacesMalformedBytes) {
    EXPECT_EQ(decodeUtf8("a\xC3\xBC\xC4\xB1\xE2\x82\xAC"), (std::u32string{U'a', 0xFC, 0x131, 0x20AC}));
    EXPECT_EQ(decodeUtf8("\xFF"
                         "b"),
              (std::u32string{0xFFFD, U'b'}));
    EXPECT_EQ(decodeUtf8("\xC3"), (std::u32string{0xFFFD}));
    EXPECT_EQ(decodeUtf8("\xE2\x41\x41"), (std::u32string{0xFFFD, U'A', U'A'}));
}

TEST(Lettering, FindsInstalledFamiliesAndRendersTurkishText) {
    FontLibrary library;
    FontFace face;
    std::string error;
    ASSERT_TRUE(library.load({{"DejaVu Sans", "Liberation Sans"}, FontWeight::kBold, false, false}, face, error))
        << error;
    EXPECT_FALSE(face.file.empty());

    const TextMask short_ = renderText(face, "Oyun", 40.0f);
    const TextMask long_ = renderText(face, "Oyun motorum", 40.0f);
    ASSERT_GT(short_.width, 0);
    EXPECT_GT(long_.width, short_.width * 2);
    EXPECT_GT(short_.ascent, 20);
    EXPECT_LT(short_.ascent, 45);
    const TextMask spaced = renderText(face, "Oyun", 40.0f, 10.0f);
    EXPECT_NEAR(spaced.width - short_.width, 30, 2) << "three gaps of ten pixels";

    // Letters outside ASCII have glyphs of their own: their masks differ from the plain ones.
    const TextMask dotless = renderText(face, "\xC4\xB1\xC5\x9F", 40.0f);
    const TextMask plain = renderText(face, "is", 40.0f);
    ASSERT_GT(dotless.width, 0);
    EXPECT_NE(dotless.coverage, plain.coverage);
    EXPECT_EQ(renderText(face, "", 40.0f).width, 0);
}

TEST(Lettering, DrawsCrispAntiAliasedLetters) {
    FontLibrary library;
    FontFace face;
    std::string error;
    ASSERT_TRUE(library.load({{"DejaVu Sans"}, FontWeight::kRegular, false, false}, face, error)) << error;
    const TextMask mask = renderText(face, "H", 60.0f);
    Canvas c(100, 100);
    drawText(c, mask, 20.0f, 80.0f, {1, 1, 1});
    int full = 0, partial = 0;
    for (const Rgb& p : c.pixels) {
        if (p.r >= 0.99f)
            ++full;
        else if (p.r > 0.01f)
            ++partial;
    }
    EXPECT_GT(full, 300) << "solid stems";
    EXPECT_GT(partial, 0) << "smoothed edges";
    EXPECT_LT(partial, full) << "mostly crisp";
    // The baseline sits at y = 80: nothing of an H below it.
    for (int x = 0; x < 100; ++x) EXPECT_LT(c.at(x, 82).r, 0.01f);
}

TEST(Lettering, MissingFamiliesFailWithAClearMessage) {
    FontLibrary library;
    FontFace face;
    std::string error;
    EXPECT_FALSE(library.load({{"No Such Family Oyun"}, FontWeight::kRegular, false, false}, face, error));
    EXPECT_EQ(face.handle, nullptr);
    EXPECT_NE(error.find("\"No Such Family Oyun\""), std::string::npos) << error;
    EXPECT_NE(error.find("fonts-dejavu-core"), std::string::npos) << error;
}
