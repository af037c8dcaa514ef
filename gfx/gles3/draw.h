// Drawing on the ES context: the program and uniforms for the current fixed-function state,
// vertices streamed or kept in buffers, wide and smoothed lines expanded on the GPU.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "gfx/gles3/gl.h"
#include "gfx/gles3/line_ends.h"
#include "gfx/gles3/matrix.h"
#include "gfx/gles3/programs.h"
#include "gfx/gles3/state.h"
#include "gfx/gles3/vertex.h"

namespace gfx::gles3 {

// Vertices kept on the GPU (a display list's geometry): assembled for fill mode, with the
// attributes the list gave per vertex; the others come from the current values when it runs.
struct StaticGeometry {
    GLuint buffer = 0;
    GLuint elements = 0;     // indices of points and triangles: the smooth split, then the flat one
    GLuint vertexArray = 0;  // one vertex per element
    GLuint lineArray = 0;    // two ends per element, for wide lines
    Topology topology = Topology::kTriangles;
    int count = 0;               // vertices drawn (indices, for points and triangles)
    std::size_t flatOffset = 0;  // byte offset of the flat split's indices
    bool colours = false, normals = false, texCoords = false;
    bool uniformColour = false, uniformTexCoord = false;  // the same at every vertex
};

// A range of a buffer drawn as a vertex array, and the box around its positions.
struct RangeKey {
    unsigned buffer;
    std::uintptr_t offset;
    std::size_t stride;
    int first, count;
    bool operator<(const RangeKey& o) const {
        return std::tie(buffer, offset, stride, first, count) <
               std::tie(o.buffer, o.offset, o.stride, o.first, o.count);
    }
};
struct Box {
    float low[3], high[3];
};

struct Gpu {
    Gpu();
    ~Gpu();
    Gpu(const Gpu&) = delete;
    Gpu& operator=(const Gpu&) = delete;

    Programs programs;
    GLuint streamBuffer = 0;
    GLuint streamVertexArray = 0, streamLineArray = 0;
    GLuint clientVertexArray = 0, clientLineArray = 0;
    GLuint emptyVertexArray = 0;
    GLuint cornerArray = 0;  // no arrays; the corner indices of wide lines from an end texture
    LineEnds lineEnds;
    // The values of attributes without an array, as last given to the GPU.
    std::array<Vec4, 8> constants{};
    std::uint32_t constantsSent = 0;
    // Matrices derived from the stacks, as of matrix version derivedVersion.
    std::uint64_t derivedVersion = 0;
    Mat4 mvp{};
    std::array<float, 9> normalMatrix{};
    GLuint program = 0;
    std::vector<Vertex> scratch;
    std::map<RangeKey, Box> boxes;  // forgotten when their buffer's data changes
};

// Draws assembled vertices: points, line ends in pairs, or triangles.
void drawVertices(Topology topology, const Vertex* vertices, std::size_t count);
// glDrawArrays from the vertex array.
void drawClientArrays(Enum mode, int first, int count);

// Lines: `vertices` are the assembled ends in pairs. Points and triangles: `vertices` are a
// list's own vertices and `smooth` and `flat` the indices of the two splits.
StaticGeometry makeStaticGeometry(Topology topology, const std::vector<Vertex>& vertices,
                                  const std::vector<std::uint32_t>& smooth, const std::vector<std::uint32_t>& flat,
                                  bool colours, bool normals, bool texCoords);
void drawStaticGeometry(const StaticGeometry& geometry);
void deleteStaticGeometry(StaticGeometry& geometry);

// The bitmap program, in use; its uniforms are the caller's to set. Null when it cannot build.
Program* useBitmapProgram();

// Forgets the bounding boxes of ranges of `buffer`, whose data changes.
void forgetBoxes(unsigned buffer);

// Whether the bound texture takes part (GL_TEXTURE_2D on and the texture complete).
bool texturing();

}  // namespace gfx::gles3

// What the draw paths share (draw.cpp, uniforms.cpp, client_arrays.cpp): programs and
// uniforms for the current state, the attributes without an array, vertex layouts, and the
// wide-line draw.
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
Program* useProgram(ProgramKind kind, Constant constant = {}, bool fetchEnds = false);
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
