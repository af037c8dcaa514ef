// Glyph files: what is written reads back the same, anything damaged is refused in one line,
// and a request finds its font as the desktop's font matching would.
#include <gtest/gtest.h>

#include "platform/glyph_file.h"

using namespace platform;

namespace {

GlyphBitmap glyph(int width, int rows, float move, std::uint8_t fill) {
    GlyphBitmap g;
    g.rendered = true;
    g.width = width;
    g.rows = rows;
    g.xOrigin = -1.5f;
    g.yOrigin = 3.0f;
    g.xMove = move;
    g.yMove = 0.25f;
    g.bits.assign(static_cast<std::size_t>((width + 7) / 8 * rows), fill);
    return g;
}

std::vector<GlyphFont> sampleFonts() {
    GlyphFont bold{"Courier New", -24, FW_BOLD,
                   false,         32,  {glyph(9, 17, 14.0f, 0xA5), GlyphBitmap{}, glyph(0, 0, 14.0f, 0)}};
    GlyphFont italic{"Serif", 16, FW_NORMAL, true, 200, {glyph(16, 1, 8.5f, 0xFF)}};
    return {bold, italic};
}

bool decode(const std::vector<std::uint8_t>& bytes, std::vector<GlyphFont>& fonts, std::string& error) {
    return decodeGlyphFile(bytes.data(), bytes.size(), fonts, error);
}

void expectSameGlyph(const GlyphBitmap& a, const GlyphBitmap& b) {
    EXPECT_EQ(a.rendered, b.rendered);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.rows, b.rows);
    EXPECT_EQ(a.xOrigin, b.xOrigin);
    EXPECT_EQ(a.yOrigin, b.yOrigin);
    EXPECT_EQ(a.xMove, b.xMove);
    EXPECT_EQ(a.yMove, b.yMove);
    EXPECT_EQ(a.bits, b.bits);
}

}  // namespace

TEST(GlyphFile, ReadsBackWhatWasWritten) {
    const std::vector<GlyphFont> fonts = sampleFonts();
    std::vector<GlyphFont> read;
    std::string error;
    ASSERT_TRUE(decode(encodeGlyphFile(fonts), read, error)) << error;
    ASSERT_EQ(read.size(), fonts.size());
    for (std::size_t f = 0; f < fonts.size(); ++f) {
        EXPECT_EQ(read[f].faceName, fonts[f].faceName);
        EXPECT_EQ(read[f].height, fonts[f].height);
        EXPECT_EQ(read[f].weight, fonts[f].weight);
        EXPECT_EQ(read[f].italic, fonts[f].italic);
        EXPECT_EQ(read[f].first, fonts[f].first);
        ASSERT_EQ(read[f].glyphs.size(), fonts[f].glyphs.size());
        for (std::size_t g = 0; g < fonts[f].glyphs.size(); ++g) expectSameGlyph(read[f].glyphs[g], fonts[f].glyphs[g]);
    }
}

TEST(GlyphFile, RefusesEveryCutAndDamage) {
    const std::vector<std::uint8_t> whole = encodeGlyphFile(sampleFonts());
    std::vector<GlyphFont> read;
    std::string error;
    for (std::size_t size = 0; size < whole.size(); ++size) {
        error.clear();
        EXPECT_FALSE(decodeGlyphFile(whole.data(), size, read, error)) << size;
        EXPECT_FALSE(error.empty()) << size;
        EXPECT_TRUE(read.empty());
    }
    std::vector<std::uint8_t> longer = whole;
    longer.push_back(0);
    EXPECT_FALSE(decode(longer, read, error));
    EXPECT_NE(error.find("after its last font"), std::string::npos) << error;

    std::vector<std::uint8_t> damaged = whole;
    damaged[0] = 'X';
    EXPECT_FALSE(decode(damaged, read, error));
    EXPECT_EQ(error, "not a glyph file");
    damaged = whole;
    damaged[8] = 2;  // the version
    EXPECT_FALSE(decode(damaged, read, error));
    EXPECT_NE(error.find("version 2"), std::string::npos) << error;
    damaged = whole;
    damaged[12] = 0xFF;  // the font count
    EXPECT_FALSE(decode(damaged, read, error));
}

TEST(GlyphFile, RefusesSizesBeyondItsLimitsBeforeAllocating) {
    // One font whose glyph count claims far more glyphs than the bytes that follow.
    std::vector<GlyphFont> fonts = {GlyphFont{"A", 10, 400, false, 0, {}}};
    std::vector<std::uint8_t> bytes = encodeGlyphFile(fonts);
    const std::size_t countAt = bytes.size() - 4;
    bytes[countAt + 2] = 0x01;  // 65536 glyphs
    std::vector<GlyphFont> read;
    std::string error;
    EXPECT_FALSE(decode(bytes, read, error));
    EXPECT_NE(error.find("out of range"), std::string::npos) << error;
    // A glyph wider than any font needs.
    fonts[0].glyphs = {glyph(8, 2, 1.0f, 0)};
    bytes = encodeGlyphFile(fonts);
    const std::size_t widthAt = bytes.size() - 2 - 16 - 2 - 2;  // bits, floats, rows, width
    bytes[widthAt + 1] = 0x10;                                  // 4104 pixels
    EXPECT_FALSE(decode(bytes, read, error));
    EXPECT_NE(error.find("larger than 1024"), std::string::npos) << error;
}

TEST(GlyphFile, ARequestFindsItsFontAsTheDesktopMatchesIt) {
    const std::vector<GlyphFont> fonts = sampleFonts();
    EXPECT_EQ(findGlyphFont(fonts, "Courier New", -24, FW_BOLD, false), &fonts[0]);
    EXPECT_EQ(findGlyphFont(fonts, "courier new", -24, 900, false), &fonts[0]) << "any weight from 700 is bold";
    EXPECT_EQ(findGlyphFont(fonts, "Courier New", -24, FW_NORMAL, false), nullptr);
    EXPECT_EQ(findGlyphFont(fonts, "Courier New", 24, FW_BOLD, false), nullptr) << "cell and character heights differ";
    EXPECT_EQ(findGlyphFont(fonts, "Courier New", -24, FW_BOLD, true), nullptr);
    EXPECT_EQ(findGlyphFont(fonts, "Courier", -24, FW_BOLD, false), nullptr);
    EXPECT_EQ(findGlyphFont(fonts, nullptr, -24, FW_BOLD, false), nullptr);
    EXPECT_EQ(findGlyphFont(fonts, "Serif", 16, 0, true), &fonts[1]);
}
