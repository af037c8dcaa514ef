// Raster fonts: stand in for CreateFontA, SelectObject and DeleteObject, and give the glyphs
// that gfx::useFontBitmaps compiles into display lists. fontconfig finds the face (on Linux "Courier New" resolves to
// its metric twin Liberation Mono) and FreeType renders the glyphs.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gl_context.h"

namespace platform {

struct FontRecord;
using FontHandle = FontRecord*;

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr std::uint32_t ANSI_CHARSET = 0;
constexpr std::uint32_t OUT_TT_PRECIS = 4;
constexpr std::uint32_t CLIP_DEFAULT_PRECIS = 0;
constexpr std::uint32_t ANTIALIASED_QUALITY = 4;
constexpr std::uint32_t DEFAULT_PITCH = 0;
constexpr std::uint32_t FF_DONTCARE = 0;

// height < 0: a character (em) height of -height pixels; height > 0: a cell height (ascent plus
// descent); 0: 12 pixels. weight 700 and above asks for a bold face, italic for a slanted one.
// Glyph bitmaps are always 1 bit deep, and the width, angles, underline, strike-out, character
// set, precisions, quality and pitch are accepted but not applied. Null, with one line on
// stderr, when no face can be found or opened.
FontHandle createFont(int height, int width, int escapement, int orientation, int weight, bool italic, bool underline,
                      bool strikeOut, std::uint32_t charSet, std::uint32_t outputPrecision, std::uint32_t clipPrecision,
                      std::uint32_t quality, std::uint32_t pitchAndFamily, const char* faceName);

// Makes `font` the device context's font and returns the one selected before (null at first).
FontHandle selectFont(DeviceContext deviceContext, FontHandle font);

// Deleting a font also deselects it wherever it is selected.
void deleteFont(FontHandle font);

// One character of a raster font, as a GL bitmap draws it at the raster position.
struct GlyphBitmap {
    bool rendered = false;  // false: the font has no such glyph, and nothing is drawn
    int width = 0;
    int rows = 0;
    float xOrigin = 0.0f;  // the bitmap's origin, from its bottom-left corner
    float yOrigin = 0.0f;
    float xMove = 0.0f;  // how far the raster position moves on
    float yMove = 0.0f;
    // Rows bottom-up, each (width + 7) / 8 bytes, most significant bit leftmost.
    std::vector<std::uint8_t> bits;
};

// The glyphs of character codes first .. first + count - 1 in the device context's font,
// `count` of them. False when the context has no font (`glyphs` is left empty) or a glyph could
// not be rendered (it stays empty).
bool fontGlyphs(DeviceContext deviceContext, std::uint32_t first, std::uint32_t count,
                std::vector<GlyphBitmap>& glyphs);

}  // namespace platform
