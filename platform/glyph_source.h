// Where a raster font's glyphs come from, one per platform: fontconfig and FreeType on the
// desktop, a glyph file in a browser. Only platform/ sources include this file.
#pragma once

#include <cstdint>

#include "platform/font_glyphs.h"

namespace platform::glyph_source {

// The glyph of character code `code` in `font` into `glyph`; false, leaving `glyph` as it is,
// when the font has none.
bool render(const FontRecord& font, std::uint64_t code, GlyphBitmap& glyph);

// Frees `font` and what it holds.
void destroy(FontHandle font);

}  // namespace platform::glyph_source
