// Wide lines for the pictures test: drawn from buffers of every layout (vertices of two,
// three and four floats, packed or with a stride or offset of their own, ranges across
// thousands of vertices, a buffer filled again and one deleted and made anew), and smooth
// lines whose edges fall on pixel centres, with blending and without.
#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/gfx/picture_scenes.h"

namespace gfx_test {

namespace {

// `count` vertices of `size` floats, short segments scattered over the window: (x, y) from a
// fixed sequence, z 0, w 1 (or `w` for four floats, the rest scaled by it).
std::vector<float> scattered(int count, int size, int seed, float w = 1.0f) {
    std::vector<float> v;
    std::uint32_t state = 2654435761u * static_cast<std::uint32_t>(seed + 1);
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777216.0f;
    };
    float x = 0, y = 0;
    for (int i = 0; i < count; ++i) {
        if (i % 2 == 0) {
            x = 6.0f + 148.0f * next();
            y = 6.0f + 108.0f * next();
        } else {
            x += 14.0f * next() - 7.0f;
            y += 14.0f * next() - 7.0f;
        }
        const float p[4] = {x * w, y * w, 0.0f, w};
        v.insert(v.end(), p, p + size);
    }
    return v;
}

void fill(unsigned buffer, const std::vector<float>& data) {
    gfx::bindBuffer(gfx::kArrayBuffer, buffer);
    gfx::bufferData(gfx::kArrayBuffer, static_cast<std::ptrdiff_t>(data.size() * sizeof(float)), data.data(),
                    gfx::kStaticDraw);
}

const void* offset(std::uintptr_t bytes) { return reinterpret_cast<const void*>(bytes); }

}  // namespace

void bufferLines() {
    orthoWindow();
    gfx::disable(gfx::kTexture2D);
    gfx::enable(gfx::kBlend);
    gfx::blendFunc(gfx::kSrcAlpha, gfx::kOne);
    gfx::enable(gfx::kLineSmooth);
    gfx::enableClientState(gfx::kVertexArray);
    unsigned buffers[2] = {};
    gfx::genBuffers(2, buffers);

    // Two floats a vertex, 2100 of them: ranges at the start, across the 2048th vertex, at the end.
    fill(buffers[0], scattered(2100, 2, 1));
    gfx::vertexPointer(2, gfx::kFloat, 0, nullptr);
    gfx::lineWidth(3.0f);
    gfx::color4f(1.0f, 0.4f, 0.2f, 0.5f);
    gfx::drawArrays(gfx::kLines, 0, 60);
    gfx::color4f(0.2f, 1.0f, 0.4f, 0.5f);
    gfx::drawArrays(gfx::kLineStrip, 2040, 16);
    gfx::drawArrays(gfx::kLines, 2046, 54);
    // Lines are never culled, though drawn as triangles.
    gfx::enable(gfx::kCullFace);
    gfx::color4f(0.3f, 0.5f, 1.0f, 0.6f);
    gfx::translatef(3.5f, -2.0f, 0.0f);
    gfx::rotatef(4.0f, 0.0f, 0.0f, 1.0f);
    gfx::drawArrays(gfx::kLines, 1000, 40);
    gfx::disable(gfx::kCullFace);
    gfx::loadIdentity();

    // Three floats with the stride given, from an offset.
    fill(buffers[1], scattered(90, 3, 2));
    gfx::vertexPointer(3, gfx::kFloat, 12, offset(5 * 12));
    gfx::lineWidth(2.0f);
    gfx::color4f(1.0f, 1.0f, 0.3f, 0.5f);
    gfx::drawArrays(gfx::kLines, 1, 24);
    gfx::drawArrays(gfx::kLineStrip, 40, 12);

    // Four floats with w other than 1.
    fill(buffers[1], scattered(40, 4, 3, 2.0f));
    gfx::vertexPointer(4, gfx::kFloat, 0, nullptr);
    gfx::lineWidth(4.5f);
    gfx::color4f(0.8f, 0.3f, 1.0f, 0.5f);
    gfx::drawArrays(gfx::kLines, 0, 40);

    // A stride with room between vertices, and an offset that is not a whole vertex.
    fill(buffers[1], scattered(40, 4, 4));
    gfx::vertexPointer(3, gfx::kFloat, 16, nullptr);
    gfx::lineWidth(2.5f);
    gfx::color4f(0.3f, 1.0f, 1.0f, 0.5f);
    gfx::drawArrays(gfx::kLines, 0, 30);
    std::vector<float> shifted = scattered(20, 2, 7);
    shifted.insert(shifted.begin(), 0.0f);
    fill(buffers[1], shifted);
    gfx::vertexPointer(2, gfx::kFloat, 0, offset(sizeof(float)));
    gfx::drawArrays(gfx::kLineStrip, 0, 20);

    // Textured at the current coordinate (between texels), lit, and with generated coordinates.
    const unsigned texture = makeTexture(16, 16, gfx::kRgba, 4);
    fill(buffers[1], scattered(60, 3, 8));
    gfx::vertexPointer(3, gfx::kFloat, 0, nullptr);
    gfx::lineWidth(4.0f);
    gfx::color4f(1.0f, 0.9f, 0.7f, 0.8f);
    gfx::texCoord2f(0.37f, 0.71f);
    gfx::enable(gfx::kTexture2D);
    gfx::drawArrays(gfx::kLines, 0, 20);
    light();
    gfx::normal3f(0.3f, 0.2f, 0.9f);
    gfx::enable(gfx::kLighting);
    gfx::drawArrays(gfx::kLines, 20, 20);
    gfx::disable(gfx::kLighting);
    gfx::enable(gfx::kTextureGenS);
    gfx::enable(gfx::kTextureGenT);
    gfx::drawArrays(gfx::kLineStrip, 40, 20);
    gfx::disable(gfx::kTextureGenS);
    gfx::disable(gfx::kTextureGenT);
    gfx::disable(gfx::kTexture2D);
    gfx::deleteTextures(1, &texture);

    // The first buffer filled again, as large: its new vertices are drawn, not the old ones.
    fill(buffers[0], scattered(2100, 2, 5));
    gfx::vertexPointer(2, gfx::kFloat, 0, nullptr);
    gfx::lineWidth(3.5f);
    gfx::color4f(1.0f, 0.8f, 0.8f, 0.5f);
    gfx::drawArrays(gfx::kLines, 0, 30);

    // Deleted and made again, likely under the same name, with fewer vertices.
    gfx::deleteBuffers(1, &buffers[0]);
    gfx::genBuffers(1, &buffers[0]);
    fill(buffers[0], scattered(12, 2, 6));
    gfx::vertexPointer(2, gfx::kFloat, 0, nullptr);
    gfx::color4f(0.6f, 0.6f, 1.0f, 0.7f);
    gfx::drawArrays(gfx::kLineStrip, 0, 12);

    gfx::disableClientState(gfx::kVertexArray);
    gfx::bindBuffer(gfx::kArrayBuffer, 0);
    gfx::deleteBuffers(2, buffers);
    gfx::disable(gfx::kLineSmooth);
    gfx::lineWidth(1.0f);
    gfx::disable(gfx::kBlend);
}

namespace {

// Horizontal and vertical lines on pixel centres in a half of the window from x0: their
// rectangles' edges, where coverage is 0, run through pixel centres. In front, in immediate
// mode; behind, wider lines from a buffer, hidden where the first wrote depth.
void edgesOnCentres(float x0, unsigned buffer) {
    gfx::lineWidth(3.0f);
    gfx::color4f(1.0f, 0.5f, 0.25f, 0.8f);
    gfx::begin(gfx::kLines);
    for (int i = 0; i < 8; ++i) {
        const float y = 10.5f + 14.0f * static_cast<float>(i);
        gfx::vertex3f(x0 + 6.0f, y, 0.2f);
        gfx::vertex3f(x0 + 30.0f + 5.0f * static_cast<float>(i), y, 0.2f);
    }
    gfx::end();
    gfx::lineWidth(5.0f);
    gfx::begin(gfx::kLines);
    gfx::vertex3f(x0 + 60.5f, 8.0f, 0.1f);
    gfx::vertex3f(x0 + 60.5f, 110.0f, 0.1f);
    gfx::end();
    std::vector<float> behind;
    for (int i = 0; i < 8; ++i) {
        const float y = 10.5f + 14.0f * static_cast<float>(i);
        behind.insert(behind.end(), {x0 + 2.0f, y, -0.5f, x0 + 76.0f, y, -0.5f});
    }
    fill(buffer, behind);
    gfx::vertexPointer(3, gfx::kFloat, 0, nullptr);
    gfx::enableClientState(gfx::kVertexArray);
    gfx::lineWidth(9.0f);
    gfx::color4f(0.2f, 0.5f, 1.0f, 0.7f);
    gfx::drawArrays(gfx::kLines, 0, 16);
    gfx::disableClientState(gfx::kVertexArray);
}

}  // namespace

void lineEdges() {
    orthoWindow();
    gfx::disable(gfx::kTexture2D);
    gfx::enable(gfx::kLineSmooth);
    gfx::enable(gfx::kDepthTest);
    gfx::blendFunc(gfx::kSrcAlpha, gfx::kOne);
    unsigned buffer = 0;
    gfx::genBuffers(1, &buffer);
    edgesOnCentres(0.0f, buffer);
    gfx::enable(gfx::kBlend);
    edgesOnCentres(80.0f, buffer);
    gfx::bindBuffer(gfx::kArrayBuffer, 0);
    gfx::deleteBuffers(1, &buffer);
    gfx::disable(gfx::kBlend);
    gfx::disable(gfx::kDepthTest);
    gfx::disable(gfx::kLineSmooth);
    gfx::lineWidth(1.0f);
}

}  // namespace gfx_test
