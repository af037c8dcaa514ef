// What the renderer knows of the bound texture: whether it is complete, and what its
// internal format keeps.
#pragma once

#include "gfx/gfx.h"

namespace gfx::gles3 {

// Whether the bound texture can be sampled; an incomplete one leaves texturing off.
bool boundTextureComplete();
// kRgb, kRgba or kLuminance: what the bound texture's internal format keeps.
Enum boundTextureFormat();

}  // namespace gfx::gles3
