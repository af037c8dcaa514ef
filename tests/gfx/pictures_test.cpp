// Whole pictures drawn through the gfx calls on both renderers: each piece of the show's
// drawing (lit and sphere-mapped balls, sprites, the tower's wide smooth lines, text,
// outlines and flat shading) comes out as the driver draws it.
#include <gtest/gtest.h>

#include <functional>

#include "gfx/gfx.h"
#include "tests/gfx/picture_scenes.h"
#include "tests/gfx/renderer_context.h"

using namespace gfx_test;

namespace {

constexpr int kWidth = kSceneWidth, kHeight = kSceneHeight;

struct Scene {
    const char* name;
    std::function<void(RendererContext&)> draw;
    // Allowed: pixels that differ, and by how much in a channel. Where they are not 0, a
    // vertex position a float step from the driver's (the shader's sums may be fused) moves
    // a texel's weight or a depth comparison at a handful of pixels.
    int maxPixels;
    int maxDelta;
};

const Scene kScenes[] = {
    {"quads, a quad strip and a polygon with a colour per corner", [](RendererContext&) { cornerQuads(); }, 0, 0},
    {"balls lit and sphere-mapped, from a display list",
     [](RendererContext&) {
         showState();
         light();
         const unsigned surface = makeTexture(64, 64, gfx::kRgb, 3);
         const unsigned environment = makeTexture(128, 128, gfx::kRgba, 4);
         gfx::Quadric q = texturedQuadric();
         const unsigned list = gfx::genLists(1);
         gfx::newList(list, gfx::kCompile);
         gfx::sphere(q, 0.35, 32, 16);
         gfx::endList();
         for (int i = 0; i < 6; ++i) {
             gfx::loadIdentity();
             gfx::lookAt(0.3, 0.2, 1.0, 0.0, 0.0, -10.0, 0.0, 1.0, 0.0);
             gfx::rotatef(17.0f * static_cast<float>(i), 0, 0, 1);
             gfx::translatef(static_cast<float>(i % 3) - 1.0f, static_cast<float>(i / 3) - 0.5f, -3.7f);
             gfx::enable(gfx::kLighting);
             gfx::bindTexture(gfx::kTexture2D, surface);
             gfx::callList(list);
             gfx::bindTexture(gfx::kTexture2D, environment);
             gfx::color4f(1, 1, 1, 0.4f);
             gfx::enable(gfx::kBlend);
             gfx::enable(gfx::kTextureGenS);
             gfx::enable(gfx::kTextureGenT);
             gfx::callList(list);
             gfx::disable(gfx::kTextureGenS);
             gfx::disable(gfx::kTextureGenT);
             gfx::disable(gfx::kBlend);
             gfx::disable(gfx::kLighting);
         }
         gfx::deleteQuadric(q);
     },
     8, 1},
    {"the giant ball, scaled without normalising",
     [](RendererContext&) {
         showState();
         light();
         const unsigned environment = makeTexture(256, 256, gfx::kRgb, 3);
         gfx::Quadric q = texturedQuadric();
         gfx::lookAt(0, 0, 0, 0, 0, -10, 0, 1, 0);
         gfx::translatef(-10.0f, 10.0f, -10.0f);
         gfx::translatef(-0.4f, -0.8f, 0.0f);
         gfx::rotatef(4321.0f, 0.0f, 1.0f, 0.0f);
         gfx::scalef(140.0f, 140.0f, 140.0f);
         ball(q, 0, environment, false);
         gfx::deleteQuadric(q);
     },
     8, 1},
    {"sprites: additive textured quads, alpha beyond 1",
     [](RendererContext&) {
         showState();
         const unsigned picture = makeTexture(200, 100, gfx::kBgra, 4);
         for (const float alpha : {0.5f, 1.35f}) {
             gfx::loadIdentity();
             gfx::translatef(alpha / 20.0f, 0, -1.7f);
             gfx::enable(gfx::kBlend);
             gfx::blendFunc(gfx::kSrcAlpha, gfx::kOne);
             gfx::color4f(1, 1, 1, alpha);
             gfx::bindTexture(gfx::kTexture2D, picture);
             gfx::begin(gfx::kQuads);
             gfx::normal3f(0, 0, 1);
             const float u[4] = {0, 1, 1, 0}, v[4] = {1, 1, 0, 0}, x[4] = {-1, 1, 1, -1},
                         y[4] = {0.75f, 0.75f, -0.75f, -0.75f};
             for (int k = 0; k < 4; ++k) {
                 gfx::texCoord2f(u[k], v[k]);
                 gfx::vertex3f(x[k], y[k], 0);
             }
             gfx::end();
             gfx::disable(gfx::kBlend);
             gfx::color4f(1, 1, 1, 1);
         }
     },
     8, 1},
    {"the tower's wide smooth lines from a buffer", [](RendererContext&) { tower(true, 5.0f); }, 12, 24},
    {"the tower in immediate mode, as a small capture scales its lines", [](RendererContext&) { tower(false, 1.25f); },
     12, 24},
    {"lines of every kind", [](RendererContext&) { lineKinds(); }, 0, 0},
    {"wide lines from buffers of every layout", [](RendererContext&) { bufferLines(); }, 8, 1},
    {"smooth wide lines with edges on pixel centres", [](RendererContext&) { lineEdges(); }, 0, 0},
    {"text from the font's lists", [](RendererContext& c) { text(c); }, 0, 0},
    {"outlines over a lit model", [](RendererContext&) { outlines(); }, 0, 0},
    {"flat shading in every mode", [](RendererContext&) { flatModes(); }, 0, 0},
    {"texture formats, alignments and environments", [](RendererContext&) { textureFormats(); }, 0, 0},
};

}  // namespace

TEST(Pictures, EachPieceOfTheShowLooksAsTheDriverDrawsIt) {
    for (const Scene& scene : kScenes) {
        const Pictures p = drawBoth(kWidth, kHeight, scene.draw);
        ASSERT_EQ(p.gl11.size(), p.gles3.size()) << scene.name;
        EXPECT_GT(pixelsNot(p.gl11, 0, 51, 128), 100) << scene.name << ": the reference drew nothing";
        const Difference d = compare(p.gl11, p.gles3);
        EXPECT_LE(d.pixels, scene.maxPixels) << scene.name << " (largest difference " << d.largest << ")";
        EXPECT_LE(d.largest, scene.maxDelta) << scene.name << " (" << d.pixels << " pixels differ)";
    }
}
