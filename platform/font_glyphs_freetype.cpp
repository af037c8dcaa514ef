// Raster fonts over fontconfig and FreeType: face matching and 1-bit glyph rendering.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <cstdio>
#include <string>
#include <vector>

#include "base/report.h"
#include "platform/font_glyphs.h"
#include "platform/glyph_source.h"
#include "platform/message_box.h"

namespace platform {

struct FontRecord {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool embolden = false;  // fontconfig found no bold face and asks for a synthetic one
};

namespace {

void reportNoFont(const char* faceName, const char* why) {
    base::reportf(base::Level::kWarning, "no font for \"%s\" (%s); its text will not be drawn", faceName, why);
}

// fontconfig's best file for the request; false when there is none.
bool matchFace(const char* faceName, int weight, bool italic, std::string& file, int& index, bool& embolden) {
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight > 0 ? weight : FW_NORMAL));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    // TrueType precision: an outline face renders at any height.
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) return false;
    FcChar8* path = nullptr;
    const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
    if (found) file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
    FcBool synthetic = FcFalse;
    embolden = FcPatternGetBool(match, FC_EMBOLDEN, 0, &synthetic) == FcResultMatch && synthetic == FcTrue;
    FcPatternDestroy(match);
    return found;
}

bool setHeight(FT_Face face, int height) {
    if (height > 0) {
        FT_Size_RequestRec request{};
        request.type = FT_SIZE_REQUEST_TYPE_CELL;
        request.height = static_cast<FT_Long>(height) * 64;
        return FT_Request_Size(face, &request) == 0;
    }
    const int pixels = height < 0 ? -height : 12;
    return FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) == 0;
}

// Character codes are Windows-1254 bytes, as every text of the program is.
FT_ULong codePoint(std::uint32_t code) {
    if (code < 0x80 || code > 0xFF) return code;
    const std::string utf8 = cp1254ToUtf8(std::string(1, static_cast<char>(code)));
    const auto byte = [&](std::size_t i) { return static_cast<FT_ULong>(static_cast<unsigned char>(utf8[i])); };
    if (utf8.size() == 2) return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    if (utf8.size() == 3) return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    return code;
}

// The rendered glyph as a GL bitmap takes it: rows bottom-up, bytes tightly packed, most
// significant bit first.
std::vector<std::uint8_t> bottomUpBits(const FT_Bitmap& bitmap) {
    const unsigned rowBytes = (bitmap.width + 7) / 8;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(rowBytes) * bitmap.rows, 0);
    const long step = bitmap.pitch < 0 ? -static_cast<long>(bitmap.pitch) : bitmap.pitch;
    for (unsigned fromTop = 0; fromTop < bitmap.rows; ++fromTop) {
        const unsigned stored = bitmap.pitch >= 0 ? fromTop : bitmap.rows - 1 - fromTop;
        const unsigned char* source = bitmap.buffer + static_cast<long>(stored) * step;
        std::uint8_t* row = bits.data() + static_cast<std::size_t>(bitmap.rows - 1 - fromTop) * rowBytes;
        for (unsigned x = 0; x < bitmap.width; ++x) {
            const bool on =
                bitmap.pixel_mode == FT_PIXEL_MODE_MONO ? (source[x / 8] & (0x80 >> (x % 8))) != 0 : source[x] >= 128;
            if (on) row[x / 8] = static_cast<std::uint8_t>(row[x / 8] | (0x80 >> (x % 8)));
        }
    }
    return bits;
}

}  // namespace

FontHandle createFont(int height, int /*width*/, int /*escapement*/, int /*orientation*/, int weight, bool italic,
                      bool /*underline*/, bool /*strikeOut*/, std::uint32_t /*charSet*/,
                      std::uint32_t /*outputPrecision*/, std::uint32_t /*clipPrecision*/, std::uint32_t /*quality*/,
                      std::uint32_t /*pitchAndFamily*/, const char* faceName) {
    const char* name = faceName != nullptr ? faceName : "";
    std::string file;
    int index = 0;
    bool embolden = false;
    if (!matchFace(name, weight, italic, file, index, embolden)) {
        reportNoFont(name, "fontconfig knows no font");
        return nullptr;
    }
    auto* font = new FontRecord;
    font->embolden = embolden;
    if (FT_Init_FreeType(&font->library) != 0) {
        reportNoFont(name, "FreeType cannot start");
        delete font;
        return nullptr;
    }
    if (FT_New_Face(font->library, file.c_str(), index, &font->face) != 0 || !setHeight(font->face, height)) {
        reportNoFont(name, ("cannot open " + file).c_str());
        deleteFont(font);
        return nullptr;
    }
    return font;
}

void glyph_source::destroy(FontHandle font) {
    if (font->face != nullptr) FT_Done_Face(font->face);
    if (font->library != nullptr) FT_Done_FreeType(font->library);
    delete font;
}

bool glyph_source::render(const FontRecord& font, std::uint64_t code, GlyphBitmap& glyph) {
    FT_GlyphSlot slot = font.face->glyph;
    // A request that runs past the last 32-bit code wraps round to 0.
    const FT_UInt index = FT_Get_Char_Index(font.face, codePoint(static_cast<std::uint32_t>(code)));
    bool rendered = FT_Load_Glyph(font.face, index, FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) == 0;
    if (rendered && font.embolden) FT_GlyphSlot_Embolden(slot);
    rendered = rendered && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0;
    if (!rendered) return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.rendered = true;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.xOrigin = static_cast<float>(-slot->bitmap_left);
    glyph.yOrigin = static_cast<float>(static_cast<int>(bitmap.rows) - slot->bitmap_top);
    glyph.xMove = static_cast<float>(slot->advance.x) / 64.0f;
    glyph.yMove = static_cast<float>(slot->advance.y) / 64.0f;
    glyph.bits = bottomUpBits(bitmap);
    return true;
}

}  // namespace platform
