// oyun-glyphs: the glyph file the build wrote holds exactly the glyphs the desktop draws its
// bitmap font with, and the program fails clearly where it cannot write.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/bitmap_font.h"
#include "platform/glyph_file.h"
#include "tests/support/program_run.h"
#include "tests/support/temp_dir.h"

using namespace platform;
using testing_support::readFileBytes;

namespace {

const std::string kTool = OYUN_GLYPHS_TOOL;
const std::filesystem::path kBuiltFile = OYUN_GLYPH_FILE;

std::vector<GlyphFont> readGlyphFile(const std::filesystem::path& path) {
    const std::string bytes = readFileBytes(path);
    std::vector<GlyphFont> fonts;
    std::string error;
    EXPECT_TRUE(decodeGlyphFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), fonts, error))
        << path << ": " << error;
    return fonts;
}

}  // namespace

TEST(GlyphsProgram, TheBuiltFileHoldsTheDesktopsGlyphsOfTheBitmapFont) {
    const std::vector<GlyphFont> fonts = readGlyphFile(kBuiltFile);
    const GlyphFont* font = findGlyphFont(fonts, kFontFaceName, kFontHeight, kFontWeight, false);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->first, kFontFirstCharacter);
    ASSERT_EQ(font->glyphs.size(), kFontCharacterCount);

    FontHandle handle = createFont(kFontHeight, 0, 0, 0, kFontWeight, false, false, false, ANSI_CHARSET, OUT_TT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, kFontFaceName);
    ASSERT_NE(handle, nullptr);
    selectFont(nullptr, handle);
    std::vector<GlyphBitmap> desktop;
    ASSERT_TRUE(fontGlyphs(nullptr, kFontFirstCharacter, kFontCharacterCount, desktop));
    deleteFont(handle);
    int inked = 0;
    for (std::size_t i = 0; i < desktop.size(); ++i) {
        SCOPED_TRACE(static_cast<char>(kFontFirstCharacter + i));
        const GlyphBitmap& a = font->glyphs[i];
        const GlyphBitmap& b = desktop[i];
        EXPECT_TRUE(a.rendered);
        EXPECT_EQ(a.width, b.width);
        EXPECT_EQ(a.rows, b.rows);
        EXPECT_EQ(a.xOrigin, b.xOrigin);
        EXPECT_EQ(a.yOrigin, b.yOrigin);
        EXPECT_EQ(a.xMove, b.xMove);
        EXPECT_EQ(a.bits, b.bits);
        for (std::uint8_t byte : a.bits) inked += byte != 0 ? 1 : 0;
    }
    EXPECT_GT(inked, 500) << "the letters have ink";
}

TEST(GlyphsProgram, WritesTheSameFileAgainAndFailsClearlyWhereItCannot) {
    testing_support::TempWorkingDir dir;
    const auto run = testing_support::runProgram({kTool, "fresh.bin"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(readFileBytes(dir.path() / "fresh.bin") == readFileBytes(kBuiltFile));

    testing_support::writeFileBytes(dir.path() / "plain", "x");
    const auto blocked = testing_support::runProgram({kTool, "plain/glyphs.bin"});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_EQ(blocked.errors.rfind("oyun-glyphs: cannot create plain/glyphs.bin", 0), 0u) << blocked.errors;
    EXPECT_EQ(std::count(blocked.errors.begin(), blocked.errors.end(), '\n'), 1) << blocked.errors;

    const auto usage = testing_support::runProgram({kTool});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_NE(usage.errors.find("OUTPUT is required"), std::string::npos) << usage.errors;
}
