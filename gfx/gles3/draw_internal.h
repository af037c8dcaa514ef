// What the draw paths share: programs and uniforms for the current state, the attributes
// without an array, vertex layouts, and the wide-line draw.
#pragma once

#include <cstddef>
#include <cstdint>

#include "gfx/gles3/draw.h"
#include "gfx/gles3/program_key.h"

namespace gfx::gles3::detail {

// Attributes the same at every vertex of a draw. The driver hands such values to every
// fragment exactly; interpolated in perspective they would drift in the last bit, so they
// are passed flat.
struct Constant {
    bool colour = false;
    bool texCoord = false;
};

Constant constantsOf(const Vertex* vertices, std::size_t count);
// The program for `kind` under the current state, in use with its uniforms sent; null when it
// cannot build.
Program* useProgram(ProgramKind kind, Constant constant = {});
// kThinLines for native lines, kWideLines for expanded ones.
ProgramKind kindFor(Topology topology, bool wide);
bool wideLines();
void updateDerived();
// The current colour, normal and texture coordinate for the attributes without an array.
void setConstants(bool colours, bool normals, bool texCoords, bool line);
// Attributes 0-3 (and 4-7 for the second end of a segment) from `buffer`, interleaved.
void describeVertices(GLuint vertexArray, GLuint buffer, bool line, bool colours, bool normals, bool texCoords);
void drawSegments(GLsizei segments);
GLenum nativeMode(Topology topology);
inline void* offsetPointer(std::uintptr_t offset) { return reinterpret_cast<void*>(offset); }

}  // namespace gfx::gles3::detail
