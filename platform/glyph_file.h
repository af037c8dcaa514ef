// Glyph files: raster fonts rendered ahead of time, for platforms without a font system (the
// browser). oyun-glyphs writes them on the desktop from the font system's own glyphs; a
// platform reads them and hands out the same bitmaps for the same font request.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/font_glyphs.h"

namespace platform {

// One font request and its glyphs for character codes first .. first + glyphs.size() - 1.
struct GlyphFont {
    std::string faceName;
    int height = 0;
    int weight = 0;
    bool italic = false;
    std::uint32_t first = 0;
    std::vector<GlyphBitmap> glyphs;
};

constexpr int kGlyphFileMaxSide = 1024;             // pixels of a glyph's width or height
constexpr std::size_t kGlyphFileMaxGlyphs = 65536;  // per font

std::vector<std::uint8_t> encodeGlyphFile(const std::vector<GlyphFont>& fonts);

// False with one line in `error` (and `fonts` empty) for anything but a whole, well-formed file.
bool decodeGlyphFile(const std::uint8_t* data, std::size_t size, std::vector<GlyphFont>& fonts, std::string& error);

// The font that answers a createFont request, as the desktop matches it: the same face name
// (letter case aside), the same height, bold for a weight of 700 and above, the same slant.
// Null when there is none.
const GlyphFont* findGlyphFont(const std::vector<GlyphFont>& fonts, const char* faceName, int height, int weight,
                               bool italic);

}  // namespace platform
