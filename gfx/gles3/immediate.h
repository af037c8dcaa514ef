// Immediate mode: the vertices of one glBegin/glEnd gathered with the current attributes,
// assembled and drawn at glEnd with one upload and one draw, or kept by the list compiled.
#pragma once

#include <cstddef>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/gles3/assembly.h"
#include "gfx/gles3/state.h"
#include "gfx/gles3/vertex.h"

namespace gfx::gles3 {

struct Immediate {
    bool inside = false;
    Enum mode = kPoints;
    std::vector<Vertex> vertices;
    std::vector<Vertex> assembled;
    // While a list is compiled: leading vertices without the list's own attributes, and which
    // attributes this glBegin/glEnd gave.
    std::size_t colourless = 0, normalless = 0, texCoordless = 0;
    bool colourGiven = false, normalGiven = false, texCoordGiven = false;
};

// The current colour as glColor sets it (with colour material, the material follows).
void setCurrentColour(const Vec4& colour);
void setCurrentNormal(const std::array<float, 3>& normal);
void setCurrentTexCoord(const Vec4& texCoord);

// Draws whole primitives of one topology as their glBegin/glEnd pairs would, with one upload
// and one draw, and records them instead while a list is compiled. Attributes not given are
// the current values when they draw.
void drawPrimitives(std::vector<Span> spans, std::vector<Vertex> vertices, bool colours, bool normals, bool texCoords);

}  // namespace gfx::gles3
