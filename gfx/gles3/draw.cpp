// Draw calls on the ES context: streamed vertices, a display list's indexed buffers, and the
// helpers every draw path shares.
#include "gfx/gles3/draw.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gfx/gles3/assembly.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/shaders.h"
#include "gfx/gles3/texture_records.h"

namespace gfx::gles3 {

namespace detail {

namespace {

constexpr GLsizei kVertexBytes = sizeof(Vertex);

}  // namespace

void describeVertices(GLuint vertexArray, GLuint buffer, bool line, bool colours, bool normals, bool texCoords) {
    glBindVertexArray(vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLsizei stride = line ? 2 * kVertexBytes : kVertexBytes;
    for (unsigned end = 0; end < (line ? 2u : 1u); ++end) {
        const unsigned base = end * kSecondEnd;
        const std::uintptr_t start = end * sizeof(Vertex);
        const auto attribute = [&](unsigned location, GLint size, std::size_t field, bool present) {
            if (!present) {
                glDisableVertexAttribArray(base + location);
                return;
            }
            glEnableVertexAttribArray(base + location);
            glVertexAttribPointer(base + location, size, GL_FLOAT, GL_FALSE, stride, offsetPointer(start + field));
            if (line) glVertexAttribDivisor(base + location, 1);
        };
        attribute(kAttribPosition, 3, offsetof(Vertex, position), true);
        attribute(kAttribColour, 4, offsetof(Vertex, colour), colours);
        attribute(kAttribNormal, 3, offsetof(Vertex, normal), normals);
        attribute(kAttribTexCoord, 2, offsetof(Vertex, texCoord), texCoords);
    }
    glBindVertexArray(0);
}

bool wideLines() {
    const FixedState& s = current()->state;
    return s.lineSmooth || std::max(1.0f, std::round(s.lineWidth)) != 1.0f;
}
void setConstants(bool colours, bool normals, bool texCoords, bool line) {
    const FixedState& s = current()->state;
    Gpu& g = *current()->gpu;
    const auto constant = [&](unsigned location, const Vec4& value) {
        for (unsigned end = 0; end < (line ? 2u : 1u); ++end) {
            const unsigned at = location + end * kSecondEnd;
            const std::uint32_t bit = 1u << at;
            if ((g.constantsSent & bit) != 0 && g.constants[at] == value) continue;
            glVertexAttrib4fv(at, value.data());
            g.constants[at] = value;
            g.constantsSent |= bit;
        }
    };
    if (!colours) constant(kAttribColour, s.colour);
    if (!normals) constant(kAttribNormal, {s.normal[0], s.normal[1], s.normal[2], 1.0f});
    if (!texCoords) constant(kAttribTexCoord, s.texCoord);
}
// Lines are never culled, but their rectangles are triangles.
void drawSegments(GLsizei segments) {
    const bool cull = current()->state.cullFace;
    if (cull) glDisable(GL_CULL_FACE);
    glDrawArraysInstanced(GL_TRIANGLE_STRIP, 0, 4, segments);
    if (cull) glEnable(GL_CULL_FACE);
}

GLenum nativeMode(Topology topology) {
    return topology == Topology::kPoints ? GL_POINTS : topology == Topology::kLines ? GL_LINES : GL_TRIANGLES;
}
Constant constantsOf(const Vertex* vertices, std::size_t count) {
    Constant c{true, true};
    for (std::size_t i = 1; i < count && (c.colour || c.texCoord); ++i) {
        c.colour = c.colour && std::memcmp(vertices[i].colour, vertices[0].colour, sizeof vertices[0].colour) == 0;
        c.texCoord =
            c.texCoord && std::memcmp(vertices[i].texCoord, vertices[0].texCoord, sizeof vertices[0].texCoord) == 0;
    }
    return c;
}

}  // namespace detail

using namespace detail;

Gpu::Gpu() {
    glGenBuffers(1, &streamBuffer);
    GLuint arrays[6] = {};
    glGenVertexArrays(6, arrays);
    streamVertexArray = arrays[0];
    streamLineArray = arrays[1];
    clientVertexArray = arrays[2];
    clientLineArray = arrays[3];
    emptyVertexArray = arrays[4];
    cornerArray = arrays[5];
    describeVertices(streamVertexArray, streamBuffer, false, true, true, true);
    describeVertices(streamLineArray, streamBuffer, true, true, true, true);
}

Gpu::~Gpu() {
    const GLuint arrays[6] = {streamVertexArray, streamLineArray,  clientVertexArray,
                              clientLineArray,   emptyVertexArray, cornerArray};
    glDeleteVertexArrays(6, arrays);
    glDeleteBuffers(1, &streamBuffer);
}
Program* useBitmapProgram() { return useProgram(ProgramKind::kBitmap); }

bool texturing() { return current()->state.texture2D && boundTextureComplete(); }
void drawVertices(Topology topology, const Vertex* vertices, std::size_t count) {
    if (count == 0) return;
    Gpu& g = *current()->gpu;
    const bool wide = topology == Topology::kLines && wideLines();
    if (!useProgram(kindFor(topology, wide), constantsOf(vertices, count))) return;
    glBindBuffer(GL_ARRAY_BUFFER, g.streamBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(Vertex)), vertices, GL_STREAM_DRAW);
    if (wide) {
        glBindVertexArray(g.streamLineArray);
        drawSegments(static_cast<GLsizei>(count / 2));
    } else {
        glBindVertexArray(g.streamVertexArray);
        glDrawArrays(nativeMode(topology), 0, static_cast<GLsizei>(count));
    }
}
StaticGeometry makeStaticGeometry(Topology topology, const std::vector<Vertex>& vertices,
                                  const std::vector<std::uint32_t>& smooth, const std::vector<std::uint32_t>& flat,
                                  bool colours, bool normals, bool texCoords) {
    StaticGeometry s;
    s.topology = topology;
    s.colours = colours;
    s.normals = normals;
    s.texCoords = texCoords;
    const bool lines = topology == Topology::kLines;
    s.count = static_cast<int>(lines ? vertices.size() : smooth.size());
    if (s.count == 0) return s;
    const Constant constant = constantsOf(vertices.data(), vertices.size());
    s.uniformColour = !colours || constant.colour;
    s.uniformTexCoord = !texCoords || constant.texCoord;
    glGenBuffers(1, &s.buffer);
    glBindBuffer(GL_ARRAY_BUFFER, s.buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)), vertices.data(),
                 GL_STATIC_DRAW);
    glGenVertexArrays(1, &s.vertexArray);
    describeVertices(s.vertexArray, s.buffer, false, colours, normals, texCoords);
    if (lines) {
        glGenVertexArrays(1, &s.lineArray);
        describeVertices(s.lineArray, s.buffer, true, colours, normals, texCoords);
        return s;
    }
    // Indexed, so that the vertices strips and fans share are transformed once.
    std::vector<std::uint32_t> indices(smooth);
    s.flatOffset = 0;
    if (flat != smooth) {
        s.flatOffset = indices.size() * sizeof(std::uint32_t);
        indices.insert(indices.end(), flat.begin(), flat.end());
    }
    glBindVertexArray(s.vertexArray);
    glGenBuffers(1, &s.elements);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, s.elements);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)),
                 indices.data(), GL_STATIC_DRAW);
    glBindVertexArray(0);
    return s;
}

void drawStaticGeometry(const StaticGeometry& geometry) {
    if (geometry.count == 0) return;
    const bool wide = geometry.topology == Topology::kLines && wideLines();
    if (!useProgram(kindFor(geometry.topology, wide), {geometry.uniformColour, geometry.uniformTexCoord})) return;
    setConstants(geometry.colours, geometry.normals, geometry.texCoords, wide);
    if (wide) {
        glBindVertexArray(geometry.lineArray);
        drawSegments(geometry.count / 2);
    } else if (geometry.elements != 0) {
        glBindVertexArray(geometry.vertexArray);
        const bool flat = current()->state.shadeModel == kFlat;
        glDrawElements(nativeMode(geometry.topology), geometry.count, GL_UNSIGNED_INT,
                       offsetPointer(flat ? geometry.flatOffset : 0));
    } else {
        glBindVertexArray(geometry.vertexArray);
        glDrawArrays(nativeMode(geometry.topology), 0, geometry.count);
    }
}

void deleteStaticGeometry(StaticGeometry& geometry) {
    if (geometry.vertexArray != 0) glDeleteVertexArrays(1, &geometry.vertexArray);
    if (geometry.elements != 0) glDeleteBuffers(1, &geometry.elements);
    if (geometry.lineArray != 0) glDeleteVertexArrays(1, &geometry.lineArray);
    if (geometry.buffer != 0) glDeleteBuffers(1, &geometry.buffer);
    geometry = StaticGeometry{};
}
}  // namespace gfx::gles3
