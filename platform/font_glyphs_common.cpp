// Which font each device context has selected, and its glyphs, wherever they come from.
#include <unordered_map>
#include <vector>

#include "platform/font_glyphs.h"
#include "platform/glyph_source.h"

namespace platform {

namespace {
std::unordered_map<DeviceContext, FontHandle> selectedFonts;
}  // namespace

FontHandle selectFont(DeviceContext deviceContext, FontHandle font) {
    FontHandle& slot = selectedFonts[deviceContext];
    FontHandle previous = slot;
    slot = font;
    return previous;
}

void deleteFont(FontHandle font) {
    if (font == nullptr) return;
    for (auto& [deviceContext, selected] : selectedFonts) {
        if (selected == font) selected = nullptr;
    }
    glyph_source::destroy(font);
}

bool fontGlyphs(DeviceContext deviceContext, std::uint32_t first, std::uint32_t count,
                std::vector<GlyphBitmap>& glyphs) {
    glyphs.clear();
    const auto found = selectedFonts.find(deviceContext);
    if (found == selectedFonts.end() || found->second == nullptr) return false;
    glyphs.assign(count, GlyphBitmap{});
    bool allRendered = true;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!glyph_source::render(*found->second, std::uint64_t{first} + i, glyphs[i])) allRendered = false;
    }
    return allRendered;
}

}  // namespace platform
