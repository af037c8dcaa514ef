// The raster position and glBitmap: the position transformed as a vertex and mapped to the
// window, its colour taken when it is set; bitmaps drawn from the atlas at it.
#include <cmath>
#include <memory>

#include "gfx/gles3/atlas.h"
#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/draw.h"
#include "gfx/gles3/lighting_cpu.h"
#include "gfx/gles3/lists.h"
#include "gfx/gles3/pixels.h"

namespace gfx::gles3 {

namespace {

struct Glyph {
    int width = 0, height = 0;
    float xOrigin = 0, yOrigin = 0, xMove = 0, yMove = 0;
    bool drawn = false;  // has bits to draw
    AtlasEntry entry;
};

void rasterPosNow(float x, float y) {
    Context& c = *current();
    FixedState& s = c.state;
    const Vec4 object{x, y, 0.0f, 1.0f};
    const Vec4 eye = transform(modelview(), object);
    const Vec4 clip = transform(projection(), eye);
    const float w = clip[3];
    const bool inside = -w <= clip[0] && clip[0] <= w && -w <= clip[1] && clip[1] <= w && -w <= clip[2] && clip[2] <= w;
    s.rasterValid = inside;
    if (!inside) return;
    const float halfWidth = static_cast<float>(s.viewport[2]) / 2.0f;
    const float halfHeight = static_cast<float>(s.viewport[3]) / 2.0f;
    s.rasterPosition = {clip[0] / w * halfWidth + (static_cast<float>(s.viewport[0]) + halfWidth),
                        clip[1] / w * halfHeight + (static_cast<float>(s.viewport[1]) + halfHeight),
                        clip[2] / w * 0.5f + 0.5f, w};
    s.rasterColour = s.lighting ? litColour(eye, s.normal) : s.colour;
    for (float& v : s.rasterColour) v = v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
    s.rasterTexCoord = s.texCoord;
    if (s.texGenS || s.texGenT) unsupported("texture coordinate generation at the raster position", 0);
}

void drawGlyph(const Glyph& g) {
    Context& c = *current();
    const FixedState& s = c.state;
    Gpu& gpu = *c.gpu;
    const float x0 = std::floor(s.rasterPosition[0] - g.xOrigin);
    const float y0 = std::floor(s.rasterPosition[1] - g.yOrigin);
    Program* p = useBitmapProgram();
    if (p == nullptr) return;
    const float rectangle[4] = {x0, y0, x0 + static_cast<float>(g.width), y0 + static_cast<float>(g.height)};
    p->rectangle.set4f(rectangle);
    p->framebuffer.set2f(static_cast<float>(c.maxViewport[0]), static_cast<float>(c.maxViewport[1]));
    p->depth.set1f(s.rasterPosition[2] * 2.0f - 1.0f);
    p->rasterColour.set4f(s.rasterColour.data());
    p->rasterTexCoord.set2f(s.rasterTexCoord[0], s.rasterTexCoord[1]);
    p->atlasOrigin.set2i(g.entry.x - static_cast<int>(x0), g.entry.y - static_cast<int>(y0));
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, c.atlas->texture(g.entry.page));
    glActiveTexture(GL_TEXTURE0);
    // Bitmaps are not clipped to the viewport, only to the window and the scissor box.
    glViewport(0, 0, c.maxViewport[0], c.maxViewport[1]);
    if (s.cullFace) glDisable(GL_CULL_FACE);
    glBindVertexArray(gpu.emptyVertexArray);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    if (s.cullFace) glEnable(GL_CULL_FACE);
    glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
}

void bitmapNow(const Glyph& g) {
    FixedState& s = current()->state;
    if (!s.rasterValid) return;
    if (g.drawn) drawGlyph(g);
    s.rasterPosition[0] += g.xMove;
    s.rasterPosition[1] += g.yMove;
}

}  // namespace

namespace calls {

void rasterPos2i(int x, int y) {
    if (current() == nullptr) return;
    const auto fx = static_cast<float>(x), fy = static_cast<float>(y);
    if (recorded([fx, fy] { rasterPosNow(fx, fy); })) return;
    rasterPosNow(fx, fy);
}

void bitmap(int width, int height, float xOrigin, float yOrigin, float xMove, float yMove, const unsigned char* bits) {
    Context* c = current();
    if (c == nullptr) return;
    if (width < 0 || height < 0) return setError(kInvalidValue);
    // The bits are taken now, under the unpack state of the moment, as OpenGL takes them.
    Glyph g{width, height, xOrigin, yOrigin, xMove, yMove, false, {}};
    if (width > 0 && height > 0 && bits != nullptr) {
        std::vector<std::uint8_t> unpacked;
        unpackBitmap(width, height, bits, c->client.unpack, unpacked);
        g.drawn = c->atlas->place(width, height, unpacked, g.entry);
        if (!g.drawn) unsupported("bitmap size", static_cast<unsigned>(width));
    }
    if (recorded([g] { bitmapNow(g); })) return;
    bitmapNow(g);
}

}  // namespace calls

}  // namespace gfx::gles3
