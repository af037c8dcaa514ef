// Glyphs from the platform's font, one bitmap display list each.
#include "gfx/font_bitmaps.h"

#include <vector>

#include "gfx/gfx.h"
#include "platform/font_glyphs.h"

namespace gfx {

bool useFontBitmaps(platform::DeviceContext deviceContext, std::uint32_t first, std::uint32_t count,
                    std::uint32_t listBase) {
    std::vector<platform::GlyphBitmap> glyphs;
    platform::fontGlyphs(deviceContext, first, count, glyphs);
    if (glyphs.size() != count) return false;
    // A bitmap is copied when its list is compiled, under the unpack state of the moment.
    pushClientAttrib(kClientPixelStoreBit);
    pixelStorei(kUnpackAlignment, 1);
    pixelStorei(kUnpackRowLength, 0);
    pixelStorei(kUnpackSkipRows, 0);
    pixelStorei(kUnpackSkipPixels, 0);
    pixelStorei(kUnpackLsbFirst, kFalse);
    bool allDrawn = true;
    for (std::uint32_t i = 0; i < count; ++i) {
        const platform::GlyphBitmap& glyph = glyphs[i];
        newList(listBase + i, kCompile);
        if (glyph.rendered) {
            bitmap(glyph.width, glyph.rows, glyph.xOrigin, glyph.yOrigin, glyph.xMove, glyph.yMove,
                   glyph.bits.empty() ? nullptr : glyph.bits.data());
        } else {
            allDrawn = false;
        }
        endList();
    }
    popClientAttrib();
    return allDrawn;
}

}  // namespace gfx
