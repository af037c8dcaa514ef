// fontconfig look-up and FreeType rendering of the pictures' lettering.
#include "tools/assets/lettering.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <strings.h>
#include <algorithm>
#include <cmath>

#include "tools/assets/canvas_draw.h"

namespace assets {

namespace {

FT_Face asFace(void* handle) { return static_cast<FT_Face>(handle); }

int fcWeight(FontWeight weight) {
    switch (weight) {
        case FontWeight::kExtraLight: return FC_WEIGHT_EXTRALIGHT;
        case FontWeight::kBold: return FC_WEIGHT_BOLD;
        case FontWeight::kRegular: break;
    }
    return FC_WEIGHT_REGULAR;
}

// True when one of the matched pattern's family names is `family`.
bool hasFamily(FcPattern* pattern, const std::string& family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        if (strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0) return true;
    }
    return false;
}

// The installed file for one family, or empty.
bool matchFamily(const std::string& family, const FontRequest& request, std::string& file, int& index) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, fcWeight(request.weight));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_WIDTH, request.condensed ? FC_WIDTH_CONDENSED : FC_WIDTH_NORMAL);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    bool found = false;
    if (match != nullptr) {
        FcChar8* path = nullptr;
        // fontconfig always offers something; only the family we asked for counts.
        if (hasFamily(match, family) && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
            file = reinterpret_cast<const char*>(path);
            if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
            found = true;
        }
        FcPatternDestroy(match);
    }
    return found;
}

std::size_t maskIndex(const TextMask& mask, int x, int y) {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(mask.width) + static_cast<std::size_t>(x);
}

}  // namespace

FontLibrary::~FontLibrary() {
    for (void* face : faces_) FT_Done_Face(asFace(face));
    if (library_ != nullptr) FT_Done_FreeType(static_cast<FT_Library>(library_));
    // Gives back fontconfig's configuration and caches; the next open starts it again.
    if (fontconfigStarted_) FcFini();
}

bool FontLibrary::open(std::string& error) {
    if (library_ != nullptr) return true;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        error = "FreeType could not be started";
        return false;
    }
    library_ = library;
    if (FcInit() == FcFalse) {
        error = "fontconfig could not be started";
        return false;
    }
    fontconfigStarted_ = true;
    return true;
}

bool FontLibrary::load(const FontRequest& request, FontFace& face, std::string& error) {
    if (library_ == nullptr && !open(error)) return false;
    for (const std::string& family : request.families) {
        std::string file;
        int index = 0;
        if (!matchFamily(family, request, file, index)) continue;
        FT_Face ftFace = nullptr;
        if (FT_New_Face(static_cast<FT_Library>(library_), file.c_str(), index, &ftFace) != 0) continue;
        faces_.push_back(ftFace);
        face.handle = ftFace;
        face.family = family;
        face.file = file;
        return true;
    }
    std::string names;
    for (const std::string& family : request.families) names += (names.empty() ? "\"" : ", \"") + family + "\"";
    error = "no font of the families " + names +
            " is installed (fontconfig found none); install the Debian packages fonts-dejavu-core and "
            "fonts-liberation";
    return false;
}

std::u32string decodeUtf8(const std::string& text) {
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1F;
            extra = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0F;
            extra = 2;
        } else if ((lead & 0xF8) == 0xF0) {
            cp = lead & 0x07;
            extra = 3;
        } else {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        bool valid = i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto c = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) valid = false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!valid) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

TextMask renderText(const FontFace& face, const std::string& utf8, float pixelSize, float tracking) {
    TextMask mask;
    FT_Face ft = asFace(face.handle);
    const std::u32string text = decodeUtf8(utf8);
    if (ft == nullptr || text.empty()) return mask;
    FT_Set_Char_Size(ft, 0, static_cast<FT_F26Dot6>(std::lround(pixelSize * 64.0f)), 72, 72);

    struct Placed {
        int x, y;  // top-left of the glyph bitmap relative to pen origin and baseline (y down)
        int w, h, pitch;
        std::vector<unsigned char> bits;
    };
    std::vector<Placed> placed;
    long pen = 0;  // 26.6
    FT_UInt previous = 0;
    int left = 0, right = 0, top = 0, bottom = 0;
    bool any = false;
    const long trackingUnits = std::lround(tracking * 64.0f);
    for (char32_t cp : text) {
        const FT_UInt glyph = FT_Get_Char_Index(ft, cp);
        if (previous != 0 && glyph != 0 && FT_HAS_KERNING(ft)) {
            FT_Vector kern;
            if (FT_Get_Kerning(ft, previous, glyph, FT_KERNING_DEFAULT, &kern) == 0) pen += kern.x;
        }
        if (FT_Load_Glyph(ft, glyph, FT_LOAD_TARGET_LIGHT) != 0 ||
            FT_Render_Glyph(ft->glyph, FT_RENDER_MODE_NORMAL) != 0) {
            previous = glyph;
            continue;
        }
        const FT_Bitmap& bitmap = ft->glyph->bitmap;
        Placed p;
        p.x = static_cast<int>((pen + 32) >> 6) + ft->glyph->bitmap_left;
        p.y = -ft->glyph->bitmap_top;
        p.w = static_cast<int>(bitmap.width);
        p.h = static_cast<int>(bitmap.rows);
        p.pitch = bitmap.pitch;
        p.bits.assign(bitmap.buffer, bitmap.buffer + static_cast<std::size_t>(std::abs(bitmap.pitch)) * bitmap.rows);
        if (p.w > 0 && p.h > 0) {
            if (!any) {
                left = p.x;
                right = p.x + p.w;
                top = p.y;
                bottom = p.y + p.h;
                any = true;
            }
            left = std::min(left, p.x);
            right = std::max(right, p.x + p.w);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y + p.h);
            placed.push_back(std::move(p));
        }
        pen += ft->glyph->advance.x + trackingUnits;
        previous = glyph;
    }
    if (!any) return mask;
    left = std::min(left, 0);
    mask.width = right - left;
    mask.height = bottom - top;
    mask.originX = -left;
    mask.baseline = -top;
    mask.ascent = -top;
    mask.coverage.assign(static_cast<std::size_t>(mask.width) * static_cast<std::size_t>(mask.height), 0.0f);
    for (const Placed& p : placed) {
        for (int row = 0; row < p.h; ++row) {
            const unsigned char* src =
                p.bits.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(std::abs(p.pitch));
            for (int col = 0; col < p.w; ++col) {
                float& dst = mask.coverage[maskIndex(mask, p.x - left + col, p.y - top + row)];
                dst = std::min(1.0f, dst + static_cast<float>(src[col]) / 255.0f);
            }
        }
    }
    return mask;
}

float centredX(const TextMask& mask, float centreX) {
    return centreX - static_cast<float>(mask.width) * 0.5f + static_cast<float>(mask.originX);
}

void drawText(Canvas& canvas, const TextMask& mask, float x, float y, Rgb colour) {
    const int x0 = static_cast<int>(std::lround(x)) - mask.originX;
    const int y0 = static_cast<int>(std::lround(y)) - mask.baseline;
    for (int row = 0; row < mask.height; ++row) {
        for (int col = 0; col < mask.width; ++col) {
            const float c = mask.at(col, row);
            if (c > 0.0f) canvas.add(x0 + col, y0 + row, colour * c);
        }
    }
}

void drawTextCentred(Canvas& canvas, const TextMask& mask, float centreX, float y, Rgb colour) {
    drawText(canvas, mask, centredX(mask, centreX), y, colour);
}

void drawTextGlow(Canvas& canvas, const TextMask& mask, float x, float y, float sigma, Rgb colour) {
    Canvas halo(canvas.width, canvas.height);
    drawText(halo, mask, x, y, {1.0f, 1.0f, 1.0f});
    blur(halo, sigma);
    tint(halo, colour);
    addCanvas(canvas, halo, 1.0f);
}

}  // namespace assets
