// Texture objects: the ES texture of each name and what completeness and the texture
// environment need to know of it.
#pragma once

#include "gfx/gfx.h"

namespace gfx::gles3 {

// Whether the bound texture can be sampled; an incomplete one leaves texturing off.
bool boundTextureComplete();
// kRgb, kRgba or kLuminance: what the bound texture's internal format keeps.
Enum boundTextureFormat();

}  // namespace gfx::gles3
