// Drawing on the ES context: the program and uniforms for the current fixed-function state,
// vertices streamed or kept in buffers, wide and smoothed lines expanded on the GPU.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/gles3/gl.h"
#include "gfx/gles3/matrix.h"
#include "gfx/gles3/programs.h"
#include "gfx/gles3/state.h"
#include "gfx/gles3/vertex.h"

namespace gfx::gles3 {

// Vertices kept on the GPU (a display list's geometry): assembled for fill mode, with the
// attributes the list gave per vertex; the others come from the current values when it runs.
struct StaticGeometry {
    GLuint buffer = 0;
    GLuint vertexArray = 0;  // one vertex per element
    GLuint lineArray = 0;    // two ends per element, for wide lines
    Topology topology = Topology::kTriangles;
    int count = 0;
    bool colours = false, normals = false, texCoords = false;
    bool uniformColour = false, uniformTexCoord = false;  // the same at every vertex
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
    // The values of attributes without an array, as last given to the GPU.
    std::array<Vec4, 8> constants{};
    std::uint32_t constantsSent = 0;
    // Matrices derived from the stacks, as of matrix version derivedVersion.
    std::uint64_t derivedVersion = 0;
    Mat4 mvp{};
    std::array<float, 9> normalMatrix{};
    GLuint program = 0;
    std::vector<Vertex> scratch;
};

// Draws assembled vertices: points, line ends in pairs, or triangles.
void drawVertices(Topology topology, const Vertex* vertices, std::size_t count);
// glDrawArrays from the vertex array.
void drawClientArrays(Enum mode, int first, int count);

StaticGeometry makeStaticGeometry(Topology topology, const std::vector<Vertex>& vertices, bool colours, bool normals,
                                  bool texCoords);
void drawStaticGeometry(const StaticGeometry& geometry);
void deleteStaticGeometry(StaticGeometry& geometry);

// The bitmap program, in use; its uniforms are the caller's to set. Null when it cannot build.
Program* useBitmapProgram();

// Whether the bound texture takes part (GL_TEXTURE_2D on and the texture complete).
bool texturing();

}  // namespace gfx::gles3
