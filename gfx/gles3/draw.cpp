// Draw calls on the ES context: programs chosen from the state, uniforms from the stacks and
// lights, attributes from the stream buffer, a display list's buffer or the vertex array.
#include "gfx/gles3/draw.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "gfx/gles3/assembly.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/shaders.h"
#include "gfx/gles3/textures.h"

namespace gfx::gles3 {

namespace {

constexpr GLsizei kVertexBytes = sizeof(Vertex);

void* offsetPointer(std::uintptr_t offset) { return reinterpret_cast<void*>(offset); }

// Attributes 0-3 (and 4-7 for the second end of a segment) from `buffer`, interleaved.
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

// Attributes the same at every vertex of a draw. The driver hands such values to every
// fragment exactly; interpolated in perspective they would drift in the last bit, so they
// are passed flat.
struct Constant {
    bool colour = false;
    bool texCoord = false;
};

ProgramKey keyFor(ProgramKind kind, Constant constant) {
    const Context& c = *current();
    const FixedState& s = c.state;
    ProgramKey key;
    key.kind = kind;
    if (kind != ProgramKind::kBitmap) {
        key.lighting = s.lighting;
        if (s.lighting) {
            for (const Light& light : s.lights)
                key.lights = static_cast<std::uint8_t>(key.lights + (light.enabled ? 1 : 0));
            key.localViewer = s.localViewer;
            key.twoSide = s.twoSide;
            key.colorMaterial = s.colorMaterial;
        }
        key.normalize = s.normalize;
        const auto gen = [](bool on, Enum mode) {
            if (!on) return TexGen::kOff;
            return mode == kSphereMap ? TexGen::kSphereMap : mode == kObjectLinear ? TexGen::kObject : TexGen::kEye;
        };
        key.genS = gen(s.texGenS, s.texGenModeS);
        key.genT = gen(s.texGenT, s.texGenModeT);
        // The driver shades thin aliased lines smoothly even in flat mode.
        const bool thinLines = kind == ProgramKind::kThinLines;
        key.flat = (s.shadeModel == kFlat && !thinLines) || (constant.colour && !s.lighting);
        key.flatTexCoord = constant.texCoord && !s.texGenS && !s.texGenT;
        key.smoothLines = kind == ProgramKind::kWideLines && s.lineSmooth;
        if (thinLines) key.kind = ProgramKind::kPrimitives;
    }
    key.texture = texturing();
    if (key.texture) {
        key.environment = s.textureEnvMode;
        const Enum format = boundTextureFormat();
        key.format = format == kRgb         ? TextureFormat::kRgb
                     : format == kLuminance ? TextureFormat::kLuminance
                                            : TextureFormat::kRgba;
    }
    return key;
}

void updateDerived() {
    Context& c = *current();
    Gpu& g = *c.gpu;
    if (g.derivedVersion == c.matrices.version) return;
    g.mvp = multiply(projection(), modelview());
    g.normalMatrix = normalMatrix(modelview());
    g.derivedVersion = c.matrices.version;
}

void setLightUniforms(Program& p) {
    const FixedState& s = current()->state;
    float ambient[kLightCount * 4], diffuse[kLightCount * 4], specular[kLightCount * 4], position[kLightCount * 4],
        spot[kLightCount * 4], attenuation[kLightCount * 4];
    int n = 0;
    for (const Light& light : s.lights) {
        if (!light.enabled) continue;
        float* at = nullptr;
        std::memcpy(ambient + n * 4, light.ambient.data(), 16);
        std::memcpy(diffuse + n * 4, light.diffuse.data(), 16);
        std::memcpy(specular + n * 4, light.specular.data(), 16);
        std::memcpy(position + n * 4, light.position.data(), 16);
        at = spot + n * 4;
        at[0] = light.spotDirection[0];
        at[1] = light.spotDirection[1];
        at[2] = light.spotDirection[2];
        at[3] = light.spotCutoff == 180.0f
                    ? -2.0f
                    : static_cast<float>(std::cos(light.spotCutoff * 3.14159265358979323846 / 180.0));
        at = attenuation + n * 4;
        at[0] = light.attenuation[0];
        at[1] = light.attenuation[1];
        at[2] = light.attenuation[2];
        at[3] = light.spotExponent;
        ++n;
    }
    if (n == 0) return;
    p.lightAmbient.set4fv(ambient, n);
    p.lightDiffuse.set4fv(diffuse, n);
    p.lightSpecular.set4fv(specular, n);
    p.lightPosition.set4fv(position, n);
    p.lightSpot.set4fv(spot, n);
    p.lightAttenuation.set4fv(attenuation, n);
}

void setUniforms(Program& p, const ProgramKey& key) {
    const Context& c = *current();
    const FixedState& s = c.state;
    const Gpu& g = *c.gpu;
    if (key.kind == ProgramKind::kBitmap) return;
    p.mvp.setMatrix4(g.mvp.m.data());
    if (key.lighting || key.genS != TexGen::kOff || key.genT != TexGen::kOff) {
        p.modelview.setMatrix4(modelview().m.data());
        p.normalMatrix.setMatrix3(g.normalMatrix.data());
    }
    if (key.lighting) {
        setLightUniforms(p);
        p.materialAmbient.set4f(s.material.ambient.data());
        p.materialDiffuse.set4f(s.material.diffuse.data());
        p.materialSpecular.set4f(s.material.specular.data());
        p.materialEmission.set4f(s.material.emission.data());
        p.shininess.set1f(s.material.shininess);
        p.lightModelAmbient.set4f(s.lightModelAmbient.data());
    }
    if (key.kind == ProgramKind::kWideLines) {
        const float viewport[4] = {static_cast<float>(s.viewport[0]), static_cast<float>(s.viewport[1]),
                                   static_cast<float>(s.viewport[2]), static_cast<float>(s.viewport[3])};
        p.viewport.set4f(viewport);
        const float width = s.lineSmooth ? std::max(1.0f, s.lineWidth) : std::max(1.0f, std::round(s.lineWidth));
        p.halfWidth.set1f(width / 2.0f);
    }
}

// The current colour, normal and texture coordinate for the attributes without an array.
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

Program* useProgram(ProgramKind kind, Constant constant = {}) {
    Gpu& g = *current()->gpu;
    const ProgramKey key = keyFor(kind, constant);
    Program* p = g.programs.get(key);
    if (p == nullptr) return nullptr;
    if (g.program != p->id) {
        glUseProgram(p->id);
        g.program = p->id;
    }
    updateDerived();
    setUniforms(*p, key);
    return p;
}

ProgramKind kindFor(Topology topology, bool wide) {
    if (topology != Topology::kLines) return ProgramKind::kPrimitives;
    return wide ? ProgramKind::kWideLines : ProgramKind::kThinLines;
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

Constant constantsOf(const Vertex* vertices, std::size_t count) {
    Constant c{true, true};
    for (std::size_t i = 1; i < count && (c.colour || c.texCoord); ++i) {
        c.colour = c.colour && std::memcmp(vertices[i].colour, vertices[0].colour, sizeof vertices[0].colour) == 0;
        c.texCoord =
            c.texCoord && std::memcmp(vertices[i].texCoord, vertices[0].texCoord, sizeof vertices[0].texCoord) == 0;
    }
    return c;
}

}  // namespace

Gpu::Gpu() {
    glGenBuffers(1, &streamBuffer);
    GLuint arrays[5] = {};
    glGenVertexArrays(5, arrays);
    streamVertexArray = arrays[0];
    streamLineArray = arrays[1];
    clientVertexArray = arrays[2];
    clientLineArray = arrays[3];
    emptyVertexArray = arrays[4];
    describeVertices(streamVertexArray, streamBuffer, false, true, true, true);
    describeVertices(streamLineArray, streamBuffer, true, true, true, true);
}

Gpu::~Gpu() {
    const GLuint arrays[5] = {streamVertexArray, streamLineArray, clientVertexArray, clientLineArray, emptyVertexArray};
    glDeleteVertexArrays(5, arrays);
    glDeleteBuffers(1, &streamBuffer);
}

void forgetBoxes(unsigned buffer) {
    std::map<RangeKey, Box>& boxes = current()->gpu->boxes;
    for (auto it = boxes.begin(); it != boxes.end();) it = it->first.buffer == buffer ? boxes.erase(it) : std::next(it);
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
