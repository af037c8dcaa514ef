// oyun-glyphs OUTPUT: the glyphs of the bitmap font, as this machine's font system renders
// them for the desktop show, written as a glyph file that the browser's platform reads.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "base/report.h"
#include "engine/bitmap_font.h"
#include "platform/glyph_file.h"

namespace {

constexpr const char* kDescription =
    "Renders the show's bitmap font (\"Courier New\" bold, 24 pixels, characters 32 to 127) through this machine's "
    "font system and writes its glyphs into OUTPUT, a glyph file for the browser build.";

constexpr const char* kFooter =
    "OUTPUT appears only when complete; a file of that name is replaced.\n"
    "Exit status: 0 when written, 1 on a failure, 2 for a wrong command line.";

// The glyphs as the desktop's createFontLists gets them.
bool renderFont(platform::GlyphFont& font) {
    font.faceName = kFontFaceName;
    font.height = kFontHeight;
    font.weight = kFontWeight;
    font.first = kFontFirstCharacter;
    platform::FontHandle handle =
        platform::createFont(kFontHeight, 0, 0, 0, kFontWeight, false, false, false, platform::ANSI_CHARSET,
                             platform::OUT_TT_PRECIS, platform::CLIP_DEFAULT_PRECIS, platform::ANTIALIASED_QUALITY,
                             platform::FF_DONTCARE | platform::DEFAULT_PITCH, kFontFaceName);
    if (handle == nullptr) return false;
    // Fonts are selected into a device context; no window is needed for a null one.
    platform::selectFont(nullptr, handle);
    const bool rendered = platform::fontGlyphs(nullptr, kFontFirstCharacter, kFontCharacterCount, font.glyphs);
    platform::selectFont(nullptr, nullptr);
    platform::deleteFont(handle);
    return rendered;
}

// Written beside its name and renamed into place, so a failed run leaves no half file.
bool writeWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string part = path + ".part";
    std::FILE* file = std::fopen(part.c_str(), "wb");
    if (file == nullptr) {
        base::reportf(base::Level::kError, "cannot create %s: %s", path.c_str(), std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(part.c_str(), path.c_str()) != 0) {
        base::reportf(base::Level::kError, "cannot write %s: %s", path.c_str(),
                      std::strerror(!written ? writeError : errno));
        std::remove(part.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    base::setProgramName("oyun-glyphs");
    CLI::App app{kDescription};
    base::prepareCommandLine(app);
    std::string output;
    app.add_option("OUTPUT", output, "The glyph file to write")->required()->check(base::kNotAnOption);
    app.footer(kFooter);
    if (const auto status = base::parseCommandLine(app, argc, argv)) return *status;

    platform::GlyphFont font;
    if (!renderFont(font)) {
        base::reportf(base::Level::kError, "cannot render the glyphs of \"%s\"", kFontFaceName);
        return 1;
    }
    return writeWhole(output, platform::encodeGlyphFile({font})) ? 0 : 1;
}
