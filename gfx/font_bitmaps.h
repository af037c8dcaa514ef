// The raster font's display lists (stands in for wglUseFontBitmapsA), made through whichever
// renderer is in use.
#pragma once

#include <cstdint>

#include "platform/gl_context.h"

namespace gfx {

// Needs the context current. Compiles list listBase + i for character code first + i: a bitmap
// of the glyph at the raster position that moves the raster position on by the glyph's
// advance. False when the device context has no font (the lists stay empty, so they draw
// nothing) or a glyph could not be rendered (its list is empty).
bool useFontBitmaps(platform::DeviceContext deviceContext, std::uint32_t first, std::uint32_t count,
                    std::uint32_t listBase);

}  // namespace gfx
