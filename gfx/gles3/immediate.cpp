// glBegin/glEnd and the current vertex attributes.
#include "gfx/gles3/immediate.h"

#include <algorithm>

#include "gfx/gles3/assembly.h"
#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/draw.h"
#include "gfx/gles3/lists.h"

namespace gfx::gles3 {

void setCurrentColour(const Vec4& colour) {
    FixedState& s = current()->state;
    s.colour = colour;
    if (s.colorMaterial) s.material.ambient = s.material.diffuse = colour;
}

void setCurrentNormal(const std::array<float, 3>& normal) { current()->state.normal = normal; }

void setCurrentTexCoord(const Vec4& texCoord) { current()->state.texCoord = texCoord; }

namespace {

Immediate& immediate() { return *current()->immediate; }

// Ends a glBegin/glEnd while a list is compiled: its batch, then the attributes it gave as
// the current values it leaves.
void compileBatch(Immediate& im) {
    Lists& l = lists();
    const std::size_t n = im.vertices.size();
    auto batch = makeBatch({{im.mode, 0, n}}, std::move(im.vertices), im.colourless, im.normalless, im.texCoordless);
    im.vertices = {};
    recorded([batch] { drawBatch(*batch); });
    if (im.colourGiven) recorded([colour = l.colour] { setCurrentColour(colour); });
    if (im.normalGiven) recorded([normal = l.normal] { setCurrentNormal(normal); });
    if (im.texCoordGiven) recorded([texCoord = l.texCoord] { setCurrentTexCoord(texCoord); });
}

void drawNow(Immediate& im) {
    Topology topology;
    const FixedState& s = current()->state;
    im.assembled.clear();
    assemble(im.mode, im.vertices.data(), im.vertices.size(), s.polygonModeFront, s.shadeModel == kFlat, im.assembled,
             topology);
    drawVertices(topology, im.assembled.data(), im.assembled.size());
}

}  // namespace

void drawPrimitives(std::vector<Span> spans, std::vector<Vertex> vertices, bool colours, bool normals, bool texCoords) {
    const std::size_t n = vertices.size();
    if (compilingList()) {
        auto batch =
            makeBatch(std::move(spans), std::move(vertices), colours ? 0 : n, normals ? 0 : n, texCoords ? 0 : n);
        recorded([batch] { drawBatch(*batch); });
        return;
    }
    const FixedState& s = current()->state;
    for (Vertex& v : vertices) {
        if (!colours) std::copy(s.colour.begin(), s.colour.end(), v.colour);
        if (!normals) std::copy(s.normal.begin(), s.normal.end(), v.normal);
        if (!texCoords) {
            v.texCoord[0] = s.texCoord[0];
            v.texCoord[1] = s.texCoord[1];
        }
    }
    Immediate& im = immediate();
    Topology topology;
    assembleSpans(spans, vertices.data(), s.polygonModeFront, s.shadeModel == kFlat, im.assembled, topology);
    drawVertices(topology, im.assembled.data(), im.assembled.size());
}

namespace calls {

void begin(Enum mode) {
    Context* c = current();
    if (c == nullptr) return;
    Immediate& im = *c->immediate;
    if (im.inside) {
        setError(kInvalidOperation);
        return;
    }
    if (mode > kPolygon) {
        setError(kInvalidEnum);
        return;
    }
    im.inside = true;
    im.mode = mode;
    im.vertices.clear();
    im.colourless = im.normalless = im.texCoordless = 0;
    im.colourGiven = im.normalGiven = im.texCoordGiven = false;
}

void end() {
    Context* c = current();
    if (c == nullptr) return;
    Immediate& im = *c->immediate;
    if (!im.inside) {
        setError(kInvalidOperation);
        return;
    }
    im.inside = false;
    if (compilingList())
        compileBatch(im);
    else
        drawNow(im);
}

void vertex3f(float x, float y, float z) {
    Context* c = current();
    if (c == nullptr || !c->immediate->inside) return;
    Immediate& im = *c->immediate;
    const FixedState& s = c->state;
    Vertex v{{x, y, z}, {}, {}, {}};
    if (compilingList()) {
        const Lists& l = lists();
        const Vec4& colour = l.colourSet ? l.colour : s.colour;
        const std::array<float, 3>& normal = l.normalSet ? l.normal : s.normal;
        const Vec4& texCoord = l.texCoordSet ? l.texCoord : s.texCoord;
        std::copy(colour.begin(), colour.end(), v.colour);
        std::copy(normal.begin(), normal.end(), v.normal);
        v.texCoord[0] = texCoord[0];
        v.texCoord[1] = texCoord[1];
        im.vertices.push_back(v);
        if (!l.colourSet) im.colourless = im.vertices.size();
        if (!l.normalSet) im.normalless = im.vertices.size();
        if (!l.texCoordSet) im.texCoordless = im.vertices.size();
        return;
    }
    std::copy(s.colour.begin(), s.colour.end(), v.colour);
    std::copy(s.normal.begin(), s.normal.end(), v.normal);
    v.texCoord[0] = s.texCoord[0];
    v.texCoord[1] = s.texCoord[1];
    im.vertices.push_back(v);
}

void color4f(float r, float g, float b, float a) {
    Context* c = current();
    if (c == nullptr) return;
    const Vec4 colour{r, g, b, a};
    if (compilingList()) {
        Lists& l = lists();
        l.colour = colour;
        l.colourSet = true;
        if (c->immediate->inside)
            c->immediate->colourGiven = true;
        else
            recorded([colour] { setCurrentColour(colour); });
        return;
    }
    setCurrentColour(colour);
}

void color3f(float r, float g, float b) { color4f(r, g, b, 1.0f); }

void normal3f(float x, float y, float z) {
    Context* c = current();
    if (c == nullptr) return;
    const std::array<float, 3> normal{x, y, z};
    if (compilingList()) {
        Lists& l = lists();
        l.normal = normal;
        l.normalSet = true;
        if (c->immediate->inside)
            c->immediate->normalGiven = true;
        else
            recorded([normal] { setCurrentNormal(normal); });
        return;
    }
    setCurrentNormal(normal);
}

void texCoord2f(float s, float t) {
    Context* c = current();
    if (c == nullptr) return;
    const Vec4 texCoord{s, t, 0.0f, 1.0f};
    if (compilingList()) {
        Lists& l = lists();
        l.texCoord = texCoord;
        l.texCoordSet = true;
        if (c->immediate->inside)
            c->immediate->texCoordGiven = true;
        else
            recorded([texCoord] { setCurrentTexCoord(texCoord); });
        return;
    }
    setCurrentTexCoord(texCoord);
}

}  // namespace calls

}  // namespace gfx::gles3
