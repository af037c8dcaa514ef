// libFuzzer target: the glyph file reader on arbitrary bytes, and the lookup on what it accepts.
#include <cstdint>

#include "platform/glyph_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<platform::GlyphFont> fonts;
    std::string error;
    if (platform::decodeGlyphFile(data, size, fonts, error)) {
        for (const platform::GlyphFont& font : fonts)
            platform::findGlyphFont(fonts, font.faceName.c_str(), font.height, font.weight, font.italic);
    }
    return 0;
}
