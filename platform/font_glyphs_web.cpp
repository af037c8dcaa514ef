// Raster fonts in a page: the glyphs the desktop's font system rendered for the same request,
// read from a glyph file.
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "base/report.h"
#include "platform/browser.h"
#include "platform/glyph_file.h"

namespace platform {

struct FontRecord {
    const GlyphFont* font = nullptr;
};

namespace {

std::vector<GlyphFont> fonts;
bool fontsGiven = false;
std::unordered_map<DeviceContext, FontHandle> selectedFonts;

}  // namespace

bool browser::useGlyphFile(const std::string& path, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot open the glyph file " + path;
        return false;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    std::vector<GlyphFont> read;
    if (!decodeGlyphFile(bytes.data(), bytes.size(), read, error)) {
        error = path + ": " + error;
        return false;
    }
    fonts = std::move(read);
    fontsGiven = true;
    return true;
}

FontHandle createFont(int height, int /*width*/, int /*escapement*/, int /*orientation*/, int weight, bool italic,
                      bool /*underline*/, bool /*strikeOut*/, std::uint32_t /*charSet*/,
                      std::uint32_t /*outputPrecision*/, std::uint32_t /*clipPrecision*/, std::uint32_t /*quality*/,
                      std::uint32_t /*pitchAndFamily*/, const char* faceName) {
    const char* name = faceName != nullptr ? faceName : "";
    const GlyphFont* font = findGlyphFont(fonts, name, height, weight, italic);
    if (font == nullptr) {
        base::reportf(base::Level::kWarning, "no font for \"%s\" (%s); its text will not be drawn", name,
                      fontsGiven ? "the glyph file has no such font" : "no glyph file was given");
        return nullptr;
    }
    auto* record = new FontRecord;
    record->font = font;
    return record;
}

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
    delete font;
}

bool fontGlyphs(DeviceContext deviceContext, std::uint32_t first, std::uint32_t count,
                std::vector<GlyphBitmap>& glyphs) {
    glyphs.clear();
    const auto found = selectedFonts.find(deviceContext);
    if (found == selectedFonts.end() || found->second == nullptr) return false;
    const GlyphFont& font = *found->second->font;
    glyphs.assign(count, GlyphBitmap{});
    bool allRendered = true;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t at = std::uint64_t{first} + i;
        if (at < font.first || at - font.first >= font.glyphs.size() || !font.glyphs[at - font.first].rendered) {
            allRendered = false;
            continue;
        }
        glyphs[i] = font.glyphs[at - font.first];
    }
    return allRendered;
}

}  // namespace platform
