// glDrawArrays from the vertex array: natively from its buffer where ES draws the mode alike,
// wide lines as one draw of corners reading the buffer's end texture (instances over the
// buffer where it is not packed), the rest assembled on the CPU; whole ranges out of sight
// skipped.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "gfx/gles3/assembly.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/draw.h"
#include "gfx/gles3/shaders.h"
#include "gfx/gles3/texture_records.h"

namespace gfx::gles3 {

using namespace detail;

namespace {

// Whether a draw of a range of the vertex array can put no pixel in the viewport: the range's
// bounding box (kept per range) lies beyond one plane of the view volume, the sides by more
// than a wide line reaches. Saves transforming whole layers of the tower out of sight.
bool outsideView(int first, int count, bool wide) {
    Context& c = *current();
    const ClientState& client = c.client;
    const auto found = c.buffers.find(client.vertexBuffer);
    if (found == c.buffers.end() || client.vertexSize < 3) return false;
    const std::size_t stride = client.vertexStride != 0 ? static_cast<std::size_t>(client.vertexStride)
                                                        : static_cast<std::size_t>(client.vertexSize) * sizeof(float);
    const RangeKey key{client.vertexBuffer, client.vertexOffset, stride, first, count};
    auto box = c.gpu->boxes.find(key);
    if (box == c.gpu->boxes.end()) {
        const std::vector<std::uint8_t>& data = found->second;
        Box b{{INFINITY, INFINITY, INFINITY}, {-INFINITY, -INFINITY, -INFINITY}};
        for (int i = first; i < first + count; ++i) {
            const std::size_t at = client.vertexOffset + static_cast<std::size_t>(i) * stride;
            if (at + 3 * sizeof(float) > data.size()) return false;
            float p[3];
            std::memcpy(p, data.data() + at, sizeof p);
            for (int k = 0; k < 3; ++k) {
                b.low[k] = std::min(b.low[k], p[k]);
                b.high[k] = std::max(b.high[k], p[k]);
            }
        }
        box = c.gpu->boxes.emplace(key, b).first;
    }
    updateDerived();
    const FixedState& s = c.state;
    const float reach = wide ? std::max(1.0f, s.lineWidth) / 2.0f + 1.0f : 1.0f;
    const float marginX = 1.0f + 2.0f * reach / std::max(1, s.viewport[2]);
    const float marginY = 1.0f + 2.0f * reach / std::max(1, s.viewport[3]);
    int beyond[6] = {0, 0, 0, 0, 0, 0};
    for (int corner = 0; corner < 8; ++corner) {
        const Box& b = box->second;
        const Vec4 p{corner & 1 ? b.high[0] : b.low[0], corner & 2 ? b.high[1] : b.low[1],
                     corner & 4 ? b.high[2] : b.low[2], 1.0f};
        const Vec4 q = transform(c.gpu->mvp, p);
        beyond[0] += q[0] < -q[3] * marginX;
        beyond[1] += q[0] > q[3] * marginX;
        beyond[2] += q[1] < -q[3] * marginY;
        beyond[3] += q[1] > q[3] * marginY;
        beyond[4] += q[2] < -q[3];
        beyond[5] += q[2] > q[3];
    }
    for (const int n : beyond)
        if (n == 8) return true;
    return false;
}
// The vertex array's vertices as immediate-mode vertices with the current attributes.
bool fetchClientVertices(int first, int count, std::vector<Vertex>& out) {
    Context& c = *current();
    const ClientState& client = c.client;
    if (client.vertexType != kFloat || client.vertexSize < 2) return false;
    const std::uint8_t* base = nullptr;
    std::size_t available = 0;
    if (client.vertexBuffer != 0) {
        const auto found = c.buffers.find(client.vertexBuffer);
        if (found == c.buffers.end()) return false;
        base = found->second.data();
        available = found->second.size();
    } else {
        base = reinterpret_cast<const std::uint8_t*>(client.vertexOffset);
        available = SIZE_MAX;
    }
    const std::size_t stride = client.vertexStride != 0 ? static_cast<std::size_t>(client.vertexStride)
                                                        : static_cast<std::size_t>(client.vertexSize) * sizeof(float);
    const std::size_t start = client.vertexBuffer != 0 ? client.vertexOffset : 0;
    const std::size_t size = static_cast<std::size_t>(client.vertexSize) * sizeof(float);
    const std::size_t last = start + (static_cast<std::size_t>(first) + static_cast<std::size_t>(count) - 1) * stride;
    if (base == nullptr || last + size > available) return false;
    const FixedState& s = c.state;
    out.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        float p[4] = {0, 0, 0, 1};
        std::memcpy(p, base + start + (static_cast<std::size_t>(first + i)) * stride, size);
        Vertex& v = out[static_cast<std::size_t>(i)];
        // A w other than 1 is divided out here; positions in buffers are affine in the tree.
        for (int k = 0; k < 3; ++k) v.position[k] = p[3] != 1.0f ? p[k] / p[3] : p[k];
        std::memcpy(v.colour, s.colour.data(), sizeof v.colour);
        std::memcpy(v.normal, s.normal.data(), sizeof v.normal);
        v.texCoord[0] = s.texCoord[0];
        v.texCoord[1] = s.texCoord[1];
    }
    return true;
}
// Wide lines of GL_LINES or GL_LINE_STRIP from a buffer of packed vertices: one draw of two
// triangles per segment, whose vertex shader reads the segment's ends from the buffer's end
// texture. False when the array is not laid out so.
bool drawFetchedLines(Enum mode, int first, int count) {
    Context& c = *current();
    const ClientState& client = c.client;
    const std::size_t texel = static_cast<std::size_t>(client.vertexSize) * sizeof(float);
    if (client.vertexStride != 0 && static_cast<std::size_t>(client.vertexStride) != texel) return false;
    if (client.vertexOffset % texel != 0) return false;
    const auto found = c.buffers.find(client.vertexBuffer);
    if (found == c.buffers.end()) return false;
    const std::size_t last = client.vertexOffset / texel + static_cast<std::size_t>(first + count);
    if (last * texel > found->second.size()) return false;
    Gpu& g = *c.gpu;
    const GLsizei segments = mode == kLines ? count / 2 : count - 1;
    if (segments <= 0) return true;
    if (!g.lineEnds.bind(client.vertexBuffer, found->second.size(), client.vertexSize)) return false;
    Program* p = useProgram(ProgramKind::kWideLines, {true, true}, true);
    if (p == nullptr) return true;
    p->end.set2i(static_cast<int>(client.vertexOffset / texel) + first, mode == kLines ? 2 : 1);
    g.lineEnds.bindCorners(g.cornerArray, static_cast<std::size_t>(segments));
    setConstants(false, false, false, true);
    const bool cull = c.state.cullFace;
    if (cull) glDisable(GL_CULL_FACE);
    glDrawElements(GL_TRIANGLES, 6 * segments, GL_UNSIGNED_INT, nullptr);
    if (cull) glEnable(GL_CULL_FACE);
    return true;
}

}  // namespace

void forgetBoxes(unsigned buffer) {
    current()->gpu->lineEnds.stale(buffer);
    std::map<RangeKey, Box>& boxes = current()->gpu->boxes;
    for (auto it = boxes.begin(); it != boxes.end();) it = it->first.buffer == buffer ? boxes.erase(it) : std::next(it);
}
void drawClientArrays(Enum mode, int first, int count) {
    Context& c = *current();
    const ClientState& client = c.client;
    if (mode > kPolygon) {
        setError(kInvalidEnum);
        return;
    }
    if (first < 0 || count < 0) {
        setError(kInvalidValue);
        return;
    }
    if (!client.vertexArray || count == 0) return;
    const bool polygon = isPolygonMode(mode);
    const bool wide = !polygon && mode != kPoints && wideLines();
    const bool native = client.vertexBuffer != 0 && client.vertexType == kFloat &&
                        (polygon ? c.state.polygonModeFront == kFill &&
                                       (mode == kTriangles || mode == kTriangleStrip || mode == kTriangleFan)
                                 : !(wide && mode == kLineLoop));
    if (!native) {
        Gpu& g = *c.gpu;
        std::vector<Vertex> raw;
        if (!fetchClientVertices(first, count, raw)) {
            unsupported("vertex array", client.vertexType);
            return;
        }
        Topology topology;
        g.scratch.clear();
        assemble(mode, raw.data(), raw.size(), c.state.polygonModeFront, c.state.shadeModel == kFlat, g.scratch,
                 topology);
        drawVertices(topology, g.scratch.data(), g.scratch.size());
        return;
    }
    Gpu& g = *c.gpu;
    if (outsideView(first, count, wide)) return;
    if (wide && drawFetchedLines(mode, first, count)) return;
    if (!useProgram(kindFor(mode == kPoints ? Topology::kPoints
                            : polygon       ? Topology::kTriangles
                                            : Topology::kLines,
                            wide),
                    {true, true}))
        return;
    const GLsizei stride =
        client.vertexStride != 0 ? client.vertexStride : static_cast<GLsizei>(client.vertexSize * sizeof(float));
    glBindBuffer(GL_ARRAY_BUFFER, client.vertexBuffer);
    if (wide) {
        // Segment i of GL_LINES is vertices 2i and 2i+1; of a strip, i and i+1.
        const GLsizei step = mode == kLines ? 2 * stride : stride;
        const std::uintptr_t start =
            client.vertexOffset + static_cast<std::uintptr_t>(first) * static_cast<std::uintptr_t>(stride);
        glBindVertexArray(g.clientLineArray);
        for (unsigned end = 0; end < 2; ++end) {
            const unsigned location = kAttribPosition + end * kSecondEnd;
            glEnableVertexAttribArray(location);
            glVertexAttribPointer(location, client.vertexSize, GL_FLOAT, GL_FALSE, step,
                                  offsetPointer(start + end * static_cast<std::uintptr_t>(stride)));
            glVertexAttribDivisor(location, 1);
        }
        setConstants(false, false, false, true);
        drawSegments(mode == kLines ? count / 2 : count - 1);
        return;
    }
    glBindVertexArray(g.clientVertexArray);
    glEnableVertexAttribArray(kAttribPosition);
    glVertexAttribPointer(kAttribPosition, client.vertexSize, GL_FLOAT, GL_FALSE, stride,
                          offsetPointer(client.vertexOffset));
    setConstants(false, false, false, false);
    glDrawArrays(mode, first, count);
}
}  // namespace gfx::gles3
