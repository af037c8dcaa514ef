// Primitive assembly: one glBegin/glEnd's vertices as independent points, lines or
// triangles, in the order and with the vertex order the fixed-function driver uses, so that
// each primitive's provoking vertex (the one flat shading takes its colour from) comes last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/gles3/vertex.h"

namespace gfx::gles3 {

// Polygons in polygon mode kLine become their edges (the driver's edge order; with flat
// shading each edge carries the polygon's provoking colour and normal), in kPoint their
// vertices. Vertices that do not complete a primitive are dropped, as OpenGL drops them.
// False for a mode that is not a primitive; `out` is replaced.
bool assemble(Enum mode, const Vertex* vertices, std::size_t count, Enum polygonMode, bool flat,
              std::vector<Vertex>& out, Topology& topology);

// Several primitives of one topology, one after another in `vertices`.
struct Span {
    Enum mode;
    std::size_t first, count;
};
void assembleSpans(const std::vector<Span>& spans, const Vertex* vertices, Enum polygonMode, bool flat,
                   std::vector<Vertex>& out, Topology& topology);

// The same in fill mode as indices into the spans' vertices, for indexed drawing; `flat`
// picks the split of quads that keeps their provoking vertex last.
void assembleIndices(const std::vector<Span>& spans, bool flat, std::vector<std::uint32_t>& out, Topology& topology);

// The topology a mode gives in fill mode, and whether it is a polygon mode (triangles,
// strips, fans, quads, quad strips, polygons).
Topology fillTopology(Enum mode);
bool isPolygonMode(Enum mode);

}  // namespace gfx::gles3
