// The show's pieces for the pictures test: its state, light, balls, sprites' textures and tower.
#include <cmath>
#include <string>
#include <vector>

#include "gfx/font_bitmaps.h"
#include "platform/font_glyphs.h"
#include "tests/gfx/picture_scenes.h"

namespace gfx_test {

namespace {
constexpr int kWidth = kSceneWidth, kHeight = kSceneHeight;
}  // namespace

// A texture of a smooth pattern, alpha varying, of the given size.
unsigned makeTexture(int width, int height, gfx::Enum format, int internalFormat) {
    std::vector<unsigned char> pixels;
    const int n = format == gfx::kRgb || format == gfx::kBgr ? 3 : format == gfx::kLuminance ? 1 : 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < n; ++c)
                pixels.push_back(static_cast<unsigned char>((x * 7 + y * 13 + c * 60 + (x * y) % 31) % 256));
    unsigned name = 0;
    gfx::genTextures(1, &name);
    gfx::bindTexture(gfx::kTexture2D, name);
    gfx::pixelStorei(gfx::kUnpackAlignment, 1);
    gfx::texImage2D(gfx::kTexture2D, 0, internalFormat, width, height, 0, format, gfx::kUnsignedByte, pixels.data());
    gfx::texParameteri(gfx::kTexture2D, gfx::kTextureMinFilter, static_cast<int>(gfx::kLinear));
    gfx::texParameteri(gfx::kTexture2D, gfx::kTextureMagFilter, static_cast<int>(gfx::kLinear));
    return name;
}

namespace {

void showProjection() {
    gfx::viewport(0, 0, kWidth, kHeight);
    gfx::matrixMode(gfx::kProjection);
    gfx::loadIdentity();
    gfx::perspective(45.0, static_cast<double>(kWidth) / kHeight, 1.0, 4000.0);
    gfx::matrixMode(gfx::kModelview);
    gfx::loadIdentity();
}

}  // namespace

void showState() {
    gfx::enable(gfx::kTexture2D);
    gfx::clearColor(0.0f, 0.2f, 0.5f, 0.0f);
    gfx::clearDepth(1.0);
    gfx::depthFunc(gfx::kLequal);
    gfx::enable(gfx::kDepthTest);
    gfx::shadeModel(gfx::kSmooth);
    gfx::blendFunc(gfx::kSrcAlpha, gfx::kOne);
    gfx::clear(gfx::kColorBufferBit | gfx::kDepthBufferBit);
    showProjection();
}

void light() {
    const float ambient[4] = {0.7f, 0.7f, 0.7f, 1.0f};
    const float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const float position[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    gfx::lightfv(gfx::kLight0, gfx::kAmbient, ambient);
    gfx::lightfv(gfx::kLight0, gfx::kDiffuse, diffuse);
    gfx::lightfv(gfx::kLight0, gfx::kPosition, position);
    gfx::enable(gfx::kLight0);
    gfx::texGeni(gfx::kS, gfx::kTextureGenMode, static_cast<int>(gfx::kSphereMap));
    gfx::texGeni(gfx::kT, gfx::kTextureGenMode, static_cast<int>(gfx::kSphereMap));
}

// The show's ball: an opaque textured sphere and an additive sphere-mapped shell.
void ball(gfx::Quadric quadric, unsigned surface, unsigned environment, bool opaque) {
    gfx::enable(gfx::kLighting);
    gfx::color3f(1, 1, 1);
    if (opaque) {
        gfx::bindTexture(gfx::kTexture2D, surface);
        gfx::sphere(quadric, 0.35, 32, 16);
    }
    gfx::bindTexture(gfx::kTexture2D, environment);
    gfx::color4f(1, 1, 1, 0.4f);
    gfx::enable(gfx::kBlend);
    gfx::blendFunc(gfx::kSrcAlpha, gfx::kOne);
    gfx::enable(gfx::kTextureGenS);
    gfx::enable(gfx::kTextureGenT);
    gfx::sphere(quadric, 0.35, 32, 16);
    gfx::disable(gfx::kTextureGenS);
    gfx::disable(gfx::kTextureGenT);
    gfx::disable(gfx::kBlend);
    gfx::disable(gfx::kLighting);
}

gfx::Quadric texturedQuadric() {
    gfx::Quadric q = gfx::newQuadric();
    gfx::quadricNormals(q, gfx::kGluSmooth);
    gfx::quadricTexture(q, gfx::kTrue);
    return q;
}

// Rings of the tower: 18 rings of 36 points, segments joining points 2m and 2m+1.
namespace {

std::vector<float> towerLayer() {
    std::vector<float> v;
    for (int j = 0; j < 18; ++j) {
        const double radius = 2.0 + 0.4 * j, height = 0.2 * j;
        for (int k = 0; k < 36; ++k) {
            const double a = 2.0 * 3.14159265358979 * k / 36.0 + 0.05 * j;
            v.push_back(static_cast<float>(radius * std::sin(a)));
            v.push_back(static_cast<float>(height + 0.3 * std::sin(3.0 * a)));
            v.push_back(static_cast<float>(radius * std::cos(a)));
        }
    }
    return v;
}

}  // namespace

// The tower as the show draws it: one buffer, a layer per draw, wide smooth additive lines
// modulated by the texel at the current texture coordinate, both passes.
void tower(bool fromBuffer, float width) {
    showState();
    const unsigned picture = makeTexture(64, 32, gfx::kRgba, 4);
    gfx::texCoord2f(0.0f, 0.0f);
    gfx::enable(gfx::kLineSmooth);
    gfx::lineWidth(width);
    const std::vector<float> layer = towerLayer();
    const int vertices = static_cast<int>(layer.size() / 3);
    unsigned buffer = 0;
    if (fromBuffer) {
        gfx::genBuffers(1, &buffer);
        gfx::bindBuffer(gfx::kArrayBuffer, buffer);
        gfx::bufferData(gfx::kArrayBuffer, static_cast<std::ptrdiff_t>(layer.size() * sizeof(float)), layer.data(),
                        gfx::kStaticDraw);
        gfx::vertexPointer(3, gfx::kFloat, 0, nullptr);
        gfx::enableClientState(gfx::kVertexArray);
    }
    gfx::bindTexture(gfx::kTexture2D, picture);
    gfx::enable(gfx::kBlend);
    for (int mirrored = 0; mirrored < 2; ++mirrored) {
        for (int i = 0; i < 12; ++i) {
            gfx::loadIdentity();
            gfx::lookAt(-3.0, 2.0 + i, 24.0, 0.0, 6.0, 0.0, 0.0, 1.0, 0.0);
            gfx::color4f(1.0f, 0.3f, 0.6f, 0.5f);
            if (mirrored == 1) gfx::scalef(-1.0f, 1.0f, 1.0f);
            gfx::rotatef(5.0f * static_cast<float>(i) + 37.0f, 0.0f, 1.0f, 0.0f);
            gfx::translatef(0.0f, static_cast<float>(i), 0.0f);
            if (fromBuffer) {
                gfx::drawArrays(gfx::kLines, 0, vertices);
            } else {
                gfx::begin(gfx::kLines);
                for (int k = 0; k < vertices; ++k) gfx::vertex3f(layer[3 * k], layer[3 * k + 1], layer[3 * k + 2]);
                gfx::end();
            }
        }
    }
    gfx::disable(gfx::kBlend);
    if (fromBuffer) {
        gfx::disableClientState(gfx::kVertexArray);
        gfx::bindBuffer(gfx::kArrayBuffer, 0);
        gfx::deleteBuffers(1, &buffer);
    }
}

}  // namespace gfx_test
