// Anti-aliased lettering for the generated pictures: fonts found by family through fontconfig,
// glyphs rendered by FreeType into coverage masks that are then lit onto a Canvas.
#pragma once

#include <string>
#include <vector>

#include "tools/assets/canvas.h"

namespace assets {

enum class FontWeight { kExtraLight, kRegular, kBold };

// What to look for: the first family in the list that fontconfig has installed wins.
struct FontRequest {
    std::vector<std::string> families;
    FontWeight weight = FontWeight::kRegular;
    bool italic = false;
    bool condensed = false;
};

// One font face, open while the FontLibrary that opened it lives.
struct FontFace {
    void* handle = nullptr;  // FT_Face
    std::string family;
    std::string file;
};

// Coverage of rendered text, 0..1 per pixel; the pen started at (originX, baseline).
struct TextMask {
    int width = 0;
    int height = 0;
    int originX = 0;   // left edge of the first glyph's pen position within the mask
    int baseline = 0;  // row of the baseline within the mask
    int ascent = 0;    // rows above the baseline that the tallest glyph reaches
    std::vector<float> coverage;

    float at(int x, int y) const { return coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x]; }
};

class FontLibrary {
public:
    FontLibrary() = default;
    ~FontLibrary();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;

    // Starts FreeType and fontconfig; false with a reason when either fails.
    bool open(std::string& error);
    // Finds and opens a face; false with a reason naming the families and the Debian packages
    // that carry them when none of the families is installed.
    bool load(const FontRequest& request, FontFace& face, std::string& error);

private:
    void* library_ = nullptr;  // FT_Library
    bool fontconfigStarted_ = false;
    std::vector<void*> faces_;
};

// Renders UTF-8 text at a pixel size (the em height) with extra spacing between letters
// (in pixels). Empty mask when the text is empty.
TextMask renderText(const FontFace& face, const std::string& utf8, float pixelSize, float tracking = 0.0f);

// Lights the mask onto the canvas with its pen origin at (x, baseline y).
void drawText(Canvas& canvas, const TextMask& mask, float x, float y, Rgb colour);
// As drawText, horizontally centred on centreX.
void drawTextCentred(Canvas& canvas, const TextMask& mask, float centreX, float y, Rgb colour);
// Blurred copy of the lettering added as a halo of the given spread.
void drawTextGlow(Canvas& canvas, const TextMask& mask, float x, float y, float sigma, Rgb colour);
float centredX(const TextMask& mask, float centreX);

// Decodes UTF-8 to code points; malformed bytes become U+FFFD.
std::u32string decodeUtf8(const std::string& text);

}  // namespace assets
