// Raster fonts in a page: the glyphs the desktop's font system rendered for the same request,
// read from a glyph file.
#include <cstdio>
#include <vector>

#include "base/report.h"
#include "platform/browser.h"
#include "platform/glyph_file.h"
#include "platform/glyph_source.h"

namespace platform {

struct FontRecord {
    const GlyphFont* font = nullptr;
};

namespace {

std::vector<GlyphFont> fonts;
bool fontsGiven = false;

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

bool glyph_source::render(const FontRecord& font, std::uint64_t code, GlyphBitmap& glyph) {
    const GlyphFont& glyphs = *font.font;
    if (code < glyphs.first || code - glyphs.first >= glyphs.glyphs.size()) return false;
    const GlyphBitmap& stored = glyphs.glyphs[code - glyphs.first];
    if (!stored.rendered) return false;
    glyph = stored;
    return true;
}

void glyph_source::destroy(FontHandle font) { delete font; }

}  // namespace platform
