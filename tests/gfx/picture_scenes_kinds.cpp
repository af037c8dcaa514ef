// Every kind of drawing besides the show's pieces, for the pictures test: lines, text,
// outlines, flat shading, texture formats and corner colours.
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

}  // namespace gfx_test
