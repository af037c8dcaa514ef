// The lit colour of one vertex on the CPU, for the raster position, by the same formulas as
// the vertex shader.
#pragma once

#include <array>

#include "gfx/gles3/state.h"

namespace gfx::gles3 {

// `eye`: the position in eye coordinates; `normal`: the object-space normal.
Vec4 litColour(const Vec4& eye, const std::array<float, 3>& normal);

}  // namespace gfx::gles3
