// Text drawn with a raster font: one display list per printable character (codes 32 to 127),
// so that a whole string is one glCallLists.
#pragma once

#include <cstdint>

#include "platform/font_glyphs.h"
#include "platform/gl_context.h"

// The font the lists are made from: "Courier New" bold at a character height of 24 pixels.
// Glyph files for the browser are made for exactly this request.
constexpr const char* kFontFaceName = "Courier New";
constexpr int kFontHeight = -24;
constexpr int kFontWeight = platform::FW_BOLD;
constexpr std::uint32_t kFontFirstCharacter = 32;
constexpr std::uint32_t kFontCharacterCount = 96;

// Name of the first of the 96 lists; list fontListBase + i draws character 32 + i.
extern std::uint32_t fontListBase;

// Needs the window's OpenGL context current. Builds the lists from "Courier New" bold at a
// character height of 24 pixels. Without a usable font the lists exist but draw nothing.
void createFontLists(platform::DeviceContext deviceContext);
void deleteFontLists();

// printf-style; draws at the current raster position and moves it on. A null format draws
// nothing; text beyond 255 characters is cut.
void drawText(const char* format, ...) __attribute__((format(printf, 1, 2)));
