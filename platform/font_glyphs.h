// Raster fonts for OpenGL display lists: stands in for CreateFontA, SelectObject, DeleteObject
// and wglUseFontBitmapsA. fontconfig finds the face (on Linux "Courier New" resolves to its
// metric twin Liberation Mono) and FreeType renders the glyphs.
#pragma once

#include <cstdint>

#include "platform/gl_context.h"

namespace platform {

struct FontRecord;
using FontHandle = FontRecord*;

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr std::uint32_t ANSI_CHARSET = 0;
constexpr std::uint32_t OUT_TT_PRECIS = 4;
constexpr std::uint32_t CLIP_DEFAULT_PRECIS = 0;
constexpr std::uint32_t ANTIALIASED_QUALITY = 4;
constexpr std::uint32_t DEFAULT_PITCH = 0;
constexpr std::uint32_t FF_DONTCARE = 0;

// height < 0: a character (em) height of -height pixels; height > 0: a cell height (ascent plus
// descent); 0: 12 pixels. weight 700 and above asks for a bold face, italic for a slanted one.
// Glyph bitmaps are always 1 bit deep, and the width, angles, underline, strike-out, character
// set, precisions, quality and pitch are accepted but not applied. Null, with one line on
// stderr, when no face can be found or opened.
FontHandle createFont(int height, int width, int escapement, int orientation, int weight, bool italic, bool underline,
                      bool strikeOut, std::uint32_t charSet, std::uint32_t outputPrecision, std::uint32_t clipPrecision,
                      std::uint32_t quality, std::uint32_t pitchAndFamily, const char* faceName);

// Makes `font` the device context's font and returns the one selected before (null at first).
FontHandle selectFont(DeviceContext deviceContext, FontHandle font);

// Deleting a font also deselects it wherever it is selected.
void deleteFont(FontHandle font);

// Needs the OpenGL context current. Compiles display list listBase + i for character code
// first + i: a glBitmap of the glyph at the raster position that moves the raster position on
// by the glyph's advance. False when the device context has no font (the lists stay empty,
// so they draw nothing).
bool useFontBitmaps(DeviceContext deviceContext, std::uint32_t first, std::uint32_t count, std::uint32_t listBase);

}  // namespace platform
