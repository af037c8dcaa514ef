// The vertex stage against fixed function, per vertex: window position, lit colour and
// generated texture coordinates of the gles3 shaders (captured with transform feedback)
// against what the driver gives in feedback mode, for the show's lighting and sphere mapping
// and the other formulas of OpenGL 1.x lighting.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/gles3/programs.h"
#include "tests/gfx/renderer_context.h"
#include "tests/gfx/vertex_capture.h"

using namespace gfx_test;

namespace {

constexpr int kSize = 128;

struct Point {
    float position[3], normal[3], texCoord[2], colour[4];
};

// Points over a sphere of radius 0.35 around the origin, with normals of several lengths.
std::vector<Point> points() {
    std::vector<Point> out;
    for (int i = 0; i < 7; ++i) {
        for (int j = 0; j < 9; ++j) {
            const double a = 3.14159265358979 * (i + 0.5) / 7.0, b = 2.0 * 3.14159265358979 * j / 9.0;
            const float nx = static_cast<float>(std::sin(a) * std::sin(b)),
                        ny = static_cast<float>(std::sin(a) * std::cos(b)), nz = static_cast<float>(std::cos(a));
            const float length = j % 3 == 0 ? 1.0f : j % 3 == 1 ? 0.5f : 1.5f;
            out.push_back({{0.35f * nx, 0.35f * ny, 0.35f * nz},
                           {nx * length, ny * length, nz * length},
                           {static_cast<float>(j) / 9.0f, static_cast<float>(i) / 7.0f},
                           {0.2f + 0.1f * static_cast<float>(i), 0.9f - 0.1f * static_cast<float>(j), 1.35f, 0.4f}});
        }
    }
    return out;
}

void drawPoints() {
    gfx::begin(gfx::kPoints);
    for (const Point& p : points()) {
        gfx::color4f(p.colour[0], p.colour[1], p.colour[2], p.colour[3]);
        gfx::normal3f(p.normal[0], p.normal[1], p.normal[2]);
        gfx::texCoord2f(p.texCoord[0], p.texCoord[1]);
        gfx::vertex3f(p.position[0], p.position[1], p.position[2]);
    }
    gfx::end();
}

void projection() {
    gfx::viewport(0, 0, kSize, kSize);
    gfx::matrixMode(gfx::kProjection);
    gfx::loadIdentity();
    gfx::perspective(45.0, 1.0, 1.0, 4000.0);
    gfx::matrixMode(gfx::kModelview);
    gfx::loadIdentity();
}

void showLight() {
    const float ambient[4] = {0.7f, 0.7f, 0.7f, 1.0f}, diffuse[4] = {1, 1, 1, 1}, position[4] = {0, 0, 0, 1};
    gfx::lightfv(gfx::kLight0, gfx::kAmbient, ambient);
    gfx::lightfv(gfx::kLight0, gfx::kDiffuse, diffuse);
    gfx::lightfv(gfx::kLight0, gfx::kPosition, position);
    gfx::enable(gfx::kLight0);
    gfx::enable(gfx::kLighting);
}

void sphereMap() {
    gfx::texGeni(gfx::kS, gfx::kTextureGenMode, static_cast<int>(gfx::kSphereMap));
    gfx::texGeni(gfx::kT, gfx::kTextureGenMode, static_cast<int>(gfx::kSphereMap));
    gfx::enable(gfx::kTextureGenS);
    gfx::enable(gfx::kTextureGenT);
}

void ballPlace() {
    gfx::lookAt(0.3, 0.2, 1.0, 0.0, 0.0, -10.0, 0.0, 1.0, 0.0);
    gfx::rotatef(23.0f, 0, 0, 1);
    gfx::translatef(0.5f, -0.25f, -3.7f);
}

// Texture coordinates pass through feedback only while a texture is on.
void texture() {
    unsigned name = 0;
    gfx::genTextures(1, &name);
    gfx::bindTexture(gfx::kTexture2D, name);
    const unsigned char white[4] = {255, 255, 255, 255};
    gfx::texImage2D(gfx::kTexture2D, 0, 4, 1, 1, 0, gfx::kRgba, gfx::kUnsignedByte, white);
    gfx::texParameteri(gfx::kTexture2D, gfx::kTextureMinFilter, static_cast<int>(gfx::kNearest));
    gfx::enable(gfx::kTexture2D);
}

struct Case {
    const char* name;
    std::function<void()> setUp;
};

const Case kCases[] = {
    {"unlit colours, clamped", [] { ballPlace(); }},
    {"the show's ball: light at the eye, default material",
     [] {
         showLight();
         ballPlace();
     }},
    {"the show's shell: lit and sphere-mapped",
     [] {
         showLight();
         sphereMap();
         ballPlace();
     }},
    {"the giant ball: scaled by 140 without normalising",
     [] {
         showLight();
         sphereMap();
         gfx::lookAt(0, 0, 0, 0, 0, -10, 0, 1, 0);
         gfx::translatef(-10.4f, 9.2f, -200.0f);
         gfx::rotatef(4321.0f, 0.0f, 1.0f, 0.0f);
         gfx::scalef(140.0f, 140.0f, 140.0f);
     }},
    {"the chain's second ball: scaled by 1600",
     [] {
         showLight();
         sphereMap();
         gfx::translatef(3.5f, 0.2f, -2400.0f);
         for (int n = 0; n < 2; ++n) {
             gfx::rotatef(-100.0f, 0.0f, 1.0f, 0.0f);
             gfx::scalef(40.0f, 40.0f, 40.0f);
             gfx::rotatef(-100.0f, 0.0f, 1.0f, 0.0f);
         }
         gfx::translatef(0.0f, 0.0f, 0.0f);
     }},
    {"normalised normals",
     [] {
         showLight();
         sphereMap();
         gfx::enable(gfx::kNormalize);
         gfx::translatef(0.1f, 0.2f, -5.0f);
         gfx::scalef(3.0f, 3.0f, 3.0f);
     }},
    {"a directional light with specular, shininess and scene ambient",
     [] {
         const float position[4] = {0.3f, 0.8f, 0.5f, 0.0f}, specular[4] = {0.9f, 0.8f, 0.7f, 1.0f},
                     diffuse[4] = {0.5f, 0.6f, 0.7f, 0.5f}, shininess = 20.0f, scene[4] = {0.1f, 0.15f, 0.2f, 1.0f},
                     emission[4] = {0.05f, 0.0f, 0.1f, 1.0f};
         gfx::lightfv(gfx::kLight0, gfx::kPosition, position);
         gfx::materialfv(gfx::kFrontAndBack, gfx::kSpecular, specular);
         gfx::materialfv(gfx::kFrontAndBack, gfx::kDiffuse, diffuse);
         gfx::materialfv(gfx::kFrontAndBack, gfx::kShininess, &shininess);
         gfx::materialfv(gfx::kFrontAndBack, gfx::kEmission, emission);
         gfx::lightModelfv(gfx::kLightModelAmbient, scene);
         gfx::enable(gfx::kLight0);
         gfx::enable(gfx::kLighting);
         ballPlace();
     }},
    {"a local viewer and an attenuated spotlight",
     [] {
         gfx::translatef(0.0f, 0.5f, -2.0f);
         const float position[4] = {0.2f, 0.1f, 1.0f, 1.0f}, direction[3] = {0.0f, -0.2f, -1.0f}, cutoff = 40.0f,
                     exponent = 3.0f, linear = 0.3f, quadratic = 0.1f, one = 1.0f,
                     specular[4] = {1.0f, 1.0f, 1.0f, 1.0f}, shininess = 5.0f;
         gfx::lightfv(gfx::kLight0, gfx::kPosition, position);
         gfx::lightfv(gfx::kLight0, gfx::kSpotDirection, direction);
         gfx::lightfv(gfx::kLight0, gfx::kSpotCutoff, &cutoff);
         gfx::lightfv(gfx::kLight0, gfx::kSpotExponent, &exponent);
         gfx::lightfv(gfx::kLight0, gfx::kLinearAttenuation, &linear);
         gfx::lightfv(gfx::kLight0, gfx::kQuadraticAttenuation, &quadratic);
         gfx::lightModelfv(gfx::kLightModelLocalViewer, &one);
         gfx::materialfv(gfx::kFrontAndBack, gfx::kSpecular, specular);
         gfx::materialfv(gfx::kFrontAndBack, gfx::kShininess, &shininess);
         gfx::loadIdentity();
         gfx::enable(gfx::kLight0);
         gfx::enable(gfx::kLighting);
         ballPlace();
     }},
    {"colour material and two lights",
     [] {
         showLight();
         const float position[4] = {-1.0f, 0.0f, 0.5f, 0.0f}, diffuse[4] = {0.2f, 0.4f, 0.9f, 1.0f};
         gfx::lightfv(gfx::kLight0 + 1, gfx::kPosition, position);
         gfx::lightfv(gfx::kLight0 + 1, gfx::kDiffuse, diffuse);
         gfx::enable(gfx::kLight0 + 1);
         gfx::enable(gfx::kColorMaterial);
         ballPlace();
     }},
    {"eye-linear and object-linear generation",
     [] {
         gfx::texGeni(gfx::kS, gfx::kTextureGenMode, 0x2400);
         gfx::texGeni(gfx::kT, gfx::kTextureGenMode, 0x2401);
         gfx::enable(gfx::kTextureGenS);
         gfx::enable(gfx::kTextureGenT);
         ballPlace();
     }},
};

constexpr int kFloats = 10;

// Window x, y, z, clip w, colour, s, t per vertex, from the driver's feedback.
std::vector<float> reference(const Case& c) {
    std::vector<float> out;
    RendererContext context(gfx::RendererKind::kGl11, kSize, kSize);
    if (!context.ok()) return out;
    projection();
    texture();
    c.setUp();
    std::vector<GLfloat> buffer(1 << 14);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    drawPoints();
    const GLint count = glRenderMode(GL_RENDER);
    for (GLint i = 0; i + 13 <= count; i += 13) {
        if (static_cast<GLenum>(buffer[static_cast<std::size_t>(i)]) != GL_POINT_TOKEN) break;
        for (int k = 1; k <= 10; ++k) out.push_back(buffer[static_cast<std::size_t>(i + k)]);
    }
    return out;
}

std::vector<float> gles3(const Case& c) {
    gfx::gles3::Programs::captureVertexOutputs(true);
    std::vector<float> out;
    {
        RendererContext context(gfx::RendererKind::kGles3, kSize, kSize);
        if (context.ok()) {
            projection();
            texture();
            c.setUp();
            const std::vector<float> captured = captureVertices(static_cast<int>(points().size()), drawPoints);
            // To window coordinates, as the driver maps them: its window is upside down, so y
            // is mapped downwards and turned over.
            const float half = kSize / 2.0f;
            for (std::size_t i = 0; i + kFloats <= captured.size(); i += kFloats) {
                const float w = captured[i + 3];
                out.push_back(captured[i] / w * half + half);
                out.push_back(static_cast<float>(kSize) - (-(captured[i + 1] / w) * half + half));
                out.push_back(captured[i + 2] / w * 0.5f + 0.5f);
                out.push_back(w);
                for (int k = 4; k < kFloats; ++k) out.push_back(captured[i + static_cast<std::size_t>(k)]);
            }
        }
    }
    gfx::gles3::Programs::captureVertexOutputs(false);
    return out;
}

struct Worst {
    float position = 0, colour = 0, texCoord = 0;
};

Worst worst(const std::vector<float>& a, const std::vector<float>& b) {
    Worst w;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const auto k = i % kFloats;
        // Positions relative to their size; colours and coordinates lie in [0, 1].
        const float d = k < 4 ? std::fabs(a[i] - b[i]) / std::max(std::fabs(a[i]), 1e-30f) : std::fabs(a[i] - b[i]);
        float& slot = k < 4 ? w.position : k < 8 ? w.colour : w.texCoord;
        slot = std::max(slot, d);
    }
    return w;
}

}  // namespace

TEST(VertexStage, PositionsColoursAndCoordinatesAreTheDrivers) {
    for (const Case& c : kCases) {
        const std::vector<float> expected = reference(c);
        const std::vector<float> actual = gles3(c);
        ASSERT_EQ(expected.size(), points().size() * kFloats) << c.name;
        ASSERT_EQ(actual.size(), expected.size()) << c.name;
        const Worst w = worst(expected, actual);
        if (std::getenv("OYUN_GFX_VERBOSE") != nullptr)
            for (std::size_t i = 0; i < expected.size(); ++i)
                if (i % kFloats < 4 && expected[i] != actual[i])
                    std::printf("vertex %zu [%zu]: %.9g %.9g\n", i / kFloats, i % kFloats, expected[i], actual[i]);
        // Positions to a float step (the shader's sums may be fused where the driver's are
        // not); colours and coordinates to a few float steps of 1: what float arithmetic in
        // another order leaves.
        EXPECT_LE(w.position, 2.4e-7f) << c.name;
        EXPECT_LE(w.colour, 1e-6f) << c.name;
        EXPECT_LE(w.texCoord, 2.5e-7f) << c.name;
        std::printf("%-60s position %g colour %g texcoord %g\n", c.name, w.position, w.colour, w.texCoord);
    }
}
