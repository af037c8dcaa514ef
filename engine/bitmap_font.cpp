// The bitmap font: its 96 display lists and the text drawing that runs them.
#include "engine/bitmap_font.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "gfx/font_bitmaps.h"
#include "gfx/gfx.h"
#include "platform/font_glyphs.h"

std::uint32_t fontListBase = 0;

namespace {
char text[256];
}

void createFontLists(platform::DeviceContext deviceContext) {
    fontListBase = gfx::genLists(96);
    platform::FontHandle font =
        platform::createFont(kFontHeight, 0, 0, 0, kFontWeight, false, false, false, platform::ANSI_CHARSET,
                             platform::OUT_TT_PRECIS, platform::CLIP_DEFAULT_PRECIS, platform::ANTIALIASED_QUALITY,
                             platform::FF_DONTCARE | platform::DEFAULT_PITCH, kFontFaceName);
    platform::FontHandle oldFont = platform::selectFont(deviceContext, font);
    gfx::useFontBitmaps(deviceContext, 32, 96, fontListBase);
    platform::selectFont(deviceContext, oldFont);
    platform::deleteFont(font);
}

void deleteFontLists() { gfx::deleteLists(fontListBase, 96); }

void drawText(const char* format, ...) {
    if (format == nullptr) return;
    std::va_list arguments;
    va_start(arguments, format);
    // vsnprintf cuts the text at 255 characters.
    const int written = std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (written < 0) return;
    gfx::pushAttrib(gfx::kListBit);
    gfx::listBase(fontListBase - 32);
    gfx::callLists(static_cast<int>(std::strlen(text)), gfx::kUnsignedByte, text);
    gfx::popAttrib();
}
