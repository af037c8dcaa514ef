// Whole pictures drawn through the gfx calls on both renderers: each piece of the show's
// drawing (lit and sphere-mapped balls, sprites, the tower's wide smooth lines, text,
// outlines and flat shading) comes out as the driver draws it.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "gfx/font_bitmaps.h"
#include "gfx/gfx.h"
#include "platform/font_glyphs.h"
#include "tests/gfx/renderer_context.h"

using namespace gfx_test;

namespace {

constexpr int kWidth = 160, kHeight = 120;

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

void showProjection() {
    gfx::viewport(0, 0, kWidth, kHeight);
    gfx::matrixMode(gfx::kProjection);
    gfx::loadIdentity();
    gfx::perspective(45.0, static_cast<double>(kWidth) / kHeight, 1.0, 4000.0);
    gfx::matrixMode(gfx::kModelview);
    gfx::loadIdentity();
}

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

void orthoWindow() {
    gfx::viewport(0, 0, kWidth, kHeight);
    gfx::matrixMode(gfx::kProjection);
    gfx::loadIdentity();
    gfx::ortho(0, kWidth, 0, kHeight, -1, 1);
    gfx::matrixMode(gfx::kModelview);
    gfx::loadIdentity();
    gfx::clearColor(0, 0, 0, 0);
    gfx::clear(gfx::kColorBufferBit | gfx::kDepthBufferBit);
}

// Lines of every kind in immediate mode: strips and loops with colours per vertex, smooth
// and not, wide and thin, flat and smooth.
void lineKinds() {
    orthoWindow();
    gfx::enable(gfx::kBlend);
    gfx::blendFunc(gfx::kSrcAlpha, gfx::kOneMinusSrcAlpha);
    const struct {
        gfx::Enum mode;
        float width;
        bool smooth, flat;
    } kinds[] = {{gfx::kLineStrip, 1, false, false},  {gfx::kLineLoop, 1, true, false},
                 {gfx::kLines, 2.5f, true, true},     {gfx::kLineStrip, 7.5f, true, false},
                 {gfx::kLineLoop, 0.5f, true, false}, {gfx::kLines, 1, false, true}};
    int row = 0;
    for (const auto& kind : kinds) {
        if (kind.smooth)
            gfx::enable(gfx::kLineSmooth);
        else
            gfx::disable(gfx::kLineSmooth);
        gfx::lineWidth(kind.width);
        gfx::shadeModel(kind.flat ? gfx::kFlat : gfx::kSmooth);
        gfx::begin(kind.mode);
        for (int k = 0; k < 7; ++k) {
            gfx::color4f(0.2f + 0.1f * k, 1.0f - 0.12f * k, 0.5f, 0.6f + 0.05f * k);
            gfx::vertex3f(8.0f + 21.3f * k, 10.0f + 18.0f * row + 9.7f * static_cast<float>(k % 2), 0.0f);
        }
        gfx::end();
        ++row;
    }
}

// Text from the font's display lists at raster positions, as the viewer writes it.
void text(gfx_test::RendererContext& context) {
    orthoWindow();
    gfx::disable(gfx::kTexture2D);
    const unsigned base = gfx::genLists(96);
    platform::FontHandle font =
        platform::createFont(-24, 0, 0, 0, platform::FW_BOLD, false, false, false, platform::ANSI_CHARSET,
                             platform::OUT_TT_PRECIS, platform::CLIP_DEFAULT_PRECIS, platform::ANTIALIASED_QUALITY,
                             platform::FF_DONTCARE | platform::DEFAULT_PITCH, "Courier New");
    platform::FontHandle old = platform::selectFont(context.deviceContext(), font);
    gfx::useFontBitmaps(context.deviceContext(), 32, 96, base);
    platform::selectFont(context.deviceContext(), old);
    platform::deleteFont(font);
    const char* lines[] = {"Oyun motorum: 12.5 fps", "joints 14, frame 3/20", "{}[]|~@#$%^&*()_+"};
    for (int i = 0; i < 3; ++i) {
        gfx::color3f(1.0f, 0.95f - 0.2f * i, 0.6f);
        gfx::rasterPos2i(4 + 3 * i, kHeight - 24 - 30 * i);
        gfx::pushAttrib(gfx::kListBit);
        gfx::listBase(base - 32);
        gfx::callLists(static_cast<int>(std::string(lines[i]).size()), gfx::kUnsignedByte, lines[i]);
        gfx::popAttrib();
    }
    // Off the view: nothing drawn, and the colour given after the position does not count.
    gfx::rasterPos2i(-5, 10);
    gfx::listBase(base - 32);
    gfx::callLists(3, gfx::kUnsignedByte, "abc");
    gfx::deleteLists(base, 96);
}

// The viewer's wireframe: quads and triangles outlined over a lit model, depth writes off.
void outlines() {
    showState();
    light();
    gfx::disable(gfx::kTexture2D);
    gfx::lookAt(0.5, 1.0, 3.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    for (const bool wire : {false, true}) {
        if (wire) {
            gfx::disable(gfx::kLighting);
            gfx::depthMask(gfx::kFalse);
            gfx::polygonMode(gfx::kFrontAndBack, gfx::kLine);
            gfx::color3f(1.0f, 1.0f, 0.2f);
        } else {
            gfx::enable(gfx::kLighting);
        }
        gfx::begin(gfx::kQuads);
        for (int q = 0; q < 4; ++q) {
            const float x = -1.0f + 0.5f * q;
            gfx::normal3f(0.0f, 0.3f, 1.0f);
            gfx::vertex3f(x, -0.5f, 0.1f * q);
            gfx::vertex3f(x + 0.45f, -0.5f, 0.1f * q);
            gfx::normal3f(0.2f, 0.0f, 1.0f);
            gfx::vertex3f(x + 0.45f, 0.4f, -0.1f * q);
            gfx::vertex3f(x, 0.4f, 0.0f);
        }
        gfx::end();
        gfx::begin(gfx::kTriangleStrip);
        for (int k = 0; k < 8; ++k) gfx::vertex3f(-1.0f + 0.3f * k, 0.6f + 0.3f * static_cast<float>(k % 2), -0.2f);
        gfx::end();
    }
    gfx::polygonMode(gfx::kFrontAndBack, gfx::kFill);
    gfx::depthMask(gfx::kTrue);
}

// Flat shading takes each primitive's provoking vertex, whatever the mode.
void flatModes() {
    orthoWindow();
    gfx::disable(gfx::kTexture2D);
    gfx::shadeModel(gfx::kFlat);
    const gfx::Enum modes[] = {gfx::kTriangles, gfx::kTriangleStrip, gfx::kTriangleFan,
                               gfx::kQuads,     gfx::kQuadStrip,     gfx::kPolygon};
    int cell = 0;
    for (const gfx::Enum mode : modes) {
        const float x0 = 4.0f + 52.0f * static_cast<float>(cell % 3), y0 = 4.0f + 58.0f * static_cast<float>(cell / 3);
        gfx::begin(mode);
        for (int k = 0; k < 8; ++k) {
            const double a = 2.0 * 3.14159265358979 * k / 8.0;
            gfx::color3f(0.1f * k, 1.0f - 0.1f * k, static_cast<float>(k % 3) / 2.0f);
            const float r = mode == gfx::kTriangleStrip || mode == gfx::kQuadStrip ? 0.0f : 22.0f;
            if (r > 0.0f)
                gfx::vertex3f(x0 + 24.0f + r * static_cast<float>(std::cos(a)),
                              y0 + 25.0f + r * static_cast<float>(std::sin(a)), 0);
            else
                gfx::vertex3f(x0 + 6.0f * k, y0 + 10.0f + 30.0f * static_cast<float>(k % 2), 0);
        }
        gfx::end();
        ++cell;
    }
    gfx::shadeModel(gfx::kSmooth);
}

// Every texture format the calls take, each unpack alignment, the texture environments, and
// an incomplete texture (mipmapped filter, one level) that leaves texturing off.
void textureFormats() {
    orthoWindow();
    gfx::enable(gfx::kTexture2D);
    struct Format {
        gfx::Enum format;
        int internal;
        int alignment;
        gfx::Enum environment;
    };
    const Format formats[] = {{gfx::kRgb, 3, 4, gfx::kModulate},       {gfx::kBgr, 3, 1, gfx::kModulate},
                              {gfx::kRgba, 4, 2, gfx::kReplace},       {gfx::kBgra, 4, 8, gfx::kDecal},
                              {gfx::kLuminance, 1, 4, gfx::kModulate}, {gfx::kRgba, 3, 1, gfx::kReplace},
                              {gfx::kRgb, 4, 1, gfx::kDecal},          {gfx::kLuminance, 1, 1, gfx::kReplace}};
    int cell = 0;
    for (const Format& f : formats) {
        const int w = 13, h = 7;  // odd, so the alignment pads rows
        const int n = f.format == gfx::kLuminance ? 1 : f.format == gfx::kRgb || f.format == gfx::kBgr ? 3 : 4;
        const int stride = (w * n + f.alignment - 1) / f.alignment * f.alignment;
        std::vector<unsigned char> pixels(static_cast<std::size_t>(stride * h), 0xEE);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w * n; ++x)
                pixels[static_cast<std::size_t>(y * stride + x)] = static_cast<unsigned char>((x * 37 + y * 91) % 256);
        unsigned name = 0;
        gfx::genTextures(1, &name);
        gfx::bindTexture(gfx::kTexture2D, name);
        gfx::pixelStorei(gfx::kUnpackAlignment, f.alignment);
        gfx::texImage2D(gfx::kTexture2D, 0, f.internal, w, h, 0, f.format, gfx::kUnsignedByte, pixels.data());
        gfx::texParameteri(gfx::kTexture2D, gfx::kTextureMinFilter, static_cast<int>(gfx::kNearest));
        gfx::texParameteri(gfx::kTexture2D, gfx::kTextureMagFilter, static_cast<int>(gfx::kNearest));
        gfx::texEnvi(gfx::kTextureEnv, gfx::kTextureEnvMode, static_cast<int>(f.environment));
        const float x0 = 4.0f + 38.0f * static_cast<float>(cell % 4), y0 = 4.0f + 50.0f * static_cast<float>(cell / 4);
        gfx::color4f(0.9f, 0.6f, 0.3f, 0.7f);
        gfx::enable(gfx::kBlend);
        gfx::blendFunc(gfx::kSrcAlpha, gfx::kOneMinusSrcAlpha);
        gfx::begin(gfx::kQuads);
        gfx::texCoord2f(0, 0);
        gfx::vertex3f(x0, y0, 0);
        gfx::texCoord2f(1, 0);
        gfx::vertex3f(x0 + 36, y0, 0);
        gfx::texCoord2f(1, 1);
        gfx::vertex3f(x0 + 36, y0 + 44, 0);
        gfx::texCoord2f(0, 1);
        gfx::vertex3f(x0, y0 + 44, 0);
        gfx::end();
        ++cell;
    }
    // Incomplete: the default minifying filter wants mipmaps.
    unsigned name = 0;
    gfx::genTextures(1, &name);
    gfx::bindTexture(gfx::kTexture2D, name);
    const unsigned char red[4] = {255, 0, 0, 255};
    gfx::texImage2D(gfx::kTexture2D, 0, 4, 1, 1, 0, gfx::kRgba, gfx::kUnsignedByte, red);
    gfx::texEnvi(gfx::kTextureEnv, gfx::kTextureEnvMode, static_cast<int>(gfx::kModulate));
    gfx::color3f(0.2f, 0.8f, 0.4f);
    gfx::begin(gfx::kTriangles);
    gfx::vertex3f(150, 100, 0);
    gfx::vertex3f(158, 100, 0);
    gfx::vertex3f(154, 118, 0);
    gfx::end();
}

struct Scene {
    const char* name;
    std::function<void(RendererContext&)> draw;
    // Allowed: pixels that differ, and by how much in a channel. Where they are not 0, a
    // vertex position a float step from the driver's (the shader's sums may be fused) moves
    // a texel's weight or a depth comparison at a handful of pixels.
    int maxPixels;
    int maxDelta;
};

void cornerQuads() {
    showState();
    gfx::disable(gfx::kTexture2D);
    gfx::begin(gfx::kQuads);
    gfx::color3f(1, 0, 0);
    gfx::vertex3f(-1, -1, -3.5f);
    gfx::color3f(0, 1, 0);
    gfx::vertex3f(1, -1, -3.5f);
    gfx::color3f(0, 0, 1);
    gfx::vertex3f(1, 1, -5.0f);
    gfx::color3f(1, 1, 1);
    gfx::vertex3f(-1, 1, -5.0f);
    gfx::end();
    gfx::begin(gfx::kQuadStrip);
    for (int k = 0; k < 6; ++k) {
        gfx::color3f(0.2f * k, k % 2 ? 1.0f : 0.0f, 0.5f);
        gfx::vertex3f(-1.2f + 0.5f * static_cast<float>(k / 2), k % 2 ? -1.6f : -1.1f, -3.0f - 0.2f * k);
    }
    gfx::end();
    gfx::begin(gfx::kPolygon);
    for (int k = 0; k < 6; ++k) {
        const float a = 1.04719755f * static_cast<float>(k);
        gfx::color3f(k % 2 ? 1.0f : 0.0f, 0.16f * k, 1.0f - 0.16f * k);
        gfx::vertex3f(1.3f + 0.4f * std::cos(a), 1.0f + 0.4f * std::sin(a), -3.5f);
    }
    gfx::end();
}

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
