// What only the browser's platform offers its program.
#pragma once

#include <string>

namespace platform::browser {

// Fonts come from this glyph file (made by oyun-glyphs): a page has no font system. False with
// one line in `error` when it cannot be read.
bool useGlyphFile(const std::string& path, std::string& error);

}  // namespace platform::browser
