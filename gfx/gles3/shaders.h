// The GLSL ES 3.00 sources of the renderer's programs, written from the OpenGL 1.x formulas
// for transformation, lighting, texture coordinate generation, texturing and line coverage.
#pragma once

#include <string>

#include "gfx/gles3/program_key.h"

namespace gfx::gles3 {

// Attribute locations: one vertex, or for wide lines the two ends of a segment.
constexpr unsigned kAttribPosition = 0, kAttribColour = 1, kAttribNormal = 2, kAttribTexCoord = 3, kSecondEnd = 4;

std::string vertexSource(const ProgramKey& key);
std::string fragmentSource(const ProgramKey& key);

}  // namespace gfx::gles3
