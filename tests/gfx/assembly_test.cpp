// Primitive assembly against the driver's: every mode, filled and as outlines, smooth and
// flat, gives the same primitives with their vertices in the same order (feedback mode shows
// the driver's), and flat outlines carry the provoking vertex's colour.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "gfx/gles3/assembly.h"
#include "tests/support/gl_test_context.h"

namespace {

using gfx::gles3::Topology;
using gfx::gles3::Vertex;

constexpr int kCount = 9;  // one more than two quads or three triangles: some leave a remainder

// Vertex k on a circle, its colour telling it apart.
Vertex vertex(int k) {
    const double angle = 2.0 * 3.14159265358979 * k / kCount;
    Vertex v{};
    v.position[0] = static_cast<float>(128.0 + 100.0 * std::cos(angle));
    v.position[1] = static_cast<float>(128.0 + 100.0 * std::sin(angle));
    v.colour[0] = static_cast<float>(k) / 16.0f;
    v.colour[3] = 1.0f;
    return v;
}

// Which of the kCount vertices a window position is.
int indexOf(float x, float y) {
    for (int k = 0; k < kCount; ++k) {
        const Vertex v = vertex(k);
        if (std::fabs(v.position[0] - x) < 0.01f && std::fabs(v.position[1] - y) < 0.01f) return k;
    }
    return -1;
}

struct Recorded {
    std::vector<int> vertices;  // vertex indices, primitive after primitive
    std::vector<int> sizes;     // vertices of each primitive
    std::vector<float> reds;    // colour of each vertex
};

Recorded driver(GLenum mode, GLenum polygonMode, bool flat) {
    glViewport(0, 0, 256, 256);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 256, 0, 256, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glShadeModel(flat ? GL_FLAT : GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, polygonMode);
    std::vector<GLfloat> buffer(1 << 14);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glBegin(mode);
    for (int k = 0; k < kCount; ++k) {
        const Vertex v = vertex(k);
        glColor4fv(v.colour);
        glVertex3fv(v.position);
    }
    glEnd();
    const GLint count = glRenderMode(GL_RENDER);
    Recorded r;
    constexpr int kVertexFloats = 7;
    for (GLint i = 0; i < count;) {
        const auto token = static_cast<GLenum>(buffer[static_cast<std::size_t>(i++)]);
        int n = 0;
        if (token == GL_POLYGON_TOKEN)
            n = static_cast<int>(buffer[static_cast<std::size_t>(i++)]);
        else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN)
            n = 2;
        else if (token == GL_POINT_TOKEN)
            n = 1;
        else
            break;
        r.sizes.push_back(n);
        for (int v = 0; v < n; ++v, i += kVertexFloats) {
            const float* at = &buffer[static_cast<std::size_t>(i)];
            r.vertices.push_back(indexOf(at[0], at[1]));
            r.reds.push_back(at[3]);
        }
    }
    return r;
}

Recorded ours(GLenum mode, GLenum polygonMode, bool flat) {
    std::vector<Vertex> in;
    for (int k = 0; k < kCount; ++k) in.push_back(vertex(k));
    std::vector<Vertex> out;
    Topology topology;
    EXPECT_TRUE(gfx::gles3::assemble(mode, in.data(), in.size(), polygonMode, flat, out, topology));
    const int size = topology == Topology::kTriangles ? 3 : topology == Topology::kLines ? 2 : 1;
    Recorded r;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i % static_cast<std::size_t>(size) == 0) r.sizes.push_back(size);
        r.vertices.push_back(indexOf(out[i].position[0], out[i].position[1]));
        r.reds.push_back(out[i].colour[0]);
    }
    return r;
}

}  // namespace

TEST(Assembly, EveryModeGivesTheDriversPrimitivesInItsOrder) {
    testing_support::GlTestContext context(256, 256);
    ASSERT_TRUE(context.ok());
    const GLenum modes[] = {GL_POINTS,         GL_LINES,        GL_LINE_LOOP, GL_LINE_STRIP, GL_TRIANGLES,
                            GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_QUADS,     GL_QUAD_STRIP, GL_POLYGON};
    for (const GLenum polygonMode : {GL_FILL, GL_LINE}) {
        for (const bool flat : {false, true}) {
            for (const GLenum mode : modes) {
                Recorded expected = driver(mode, polygonMode, flat);
                // Feedback splits smooth quads along 1-3; the driver's rasterizer along 0-2
                // (the pictures test shows it with a colour per corner), which is what counts.
                if (mode == GL_QUADS && polygonMode == GL_FILL && !flat) {
                    ASSERT_EQ(expected.vertices, (std::vector<int>{0, 1, 3, 1, 2, 3, 4, 5, 7, 5, 6, 7}));
                    expected.vertices = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
                }
                const Recorded actual = ours(mode, polygonMode, flat);
                const std::string what = "mode " + std::to_string(mode) + (polygonMode == GL_LINE ? " outlined" : "") +
                                         (flat ? " flat" : " smooth");
                ASSERT_FALSE(expected.vertices.empty()) << what;
                EXPECT_EQ(actual.sizes, expected.sizes) << what;
                EXPECT_EQ(actual.vertices, expected.vertices) << what;
                // Lines from flat outlines take the polygon's colour; feedback shows it too.
                if (polygonMode == GL_LINE && flat && mode >= GL_TRIANGLES) {
                    EXPECT_EQ(actual.reds, expected.reds) << what;
                }
            }
        }
    }
}

TEST(Assembly, TooFewVerticesMakeNothingAndOtherModesAreRefused) {
    std::vector<Vertex> two = {vertex(0), vertex(1)};
    std::vector<Vertex> out;
    Topology topology;
    for (const gfx::Enum mode : {gfx::kTriangles, gfx::kTriangleStrip, gfx::kQuads, gfx::kPolygon}) {
        out.clear();
        EXPECT_TRUE(gfx::gles3::assemble(mode, two.data(), two.size(), gfx::kFill, false, out, topology));
        EXPECT_TRUE(out.empty()) << mode;
    }
    out.clear();
    EXPECT_TRUE(gfx::gles3::assemble(gfx::kLineStrip, two.data(), 1, gfx::kFill, false, out, topology));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(gfx::gles3::assemble(0x000A, two.data(), two.size(), gfx::kFill, false, out, topology));
}

// Indexed assembly (for geometry kept in buffers) picks the same vertices as copying does.
TEST(Assembly, IndicesPickWhatTheCopiesHold) {
    std::vector<Vertex> in;
    for (int k = 0; k < kCount; ++k) in.push_back(vertex(k));
    for (gfx::Enum mode = gfx::kPoints; mode <= gfx::kPolygon; ++mode) {
        for (const bool flat : {false, true}) {
            // Two spans of the same mode, the second after the first's vertices.
            std::vector<Vertex> both(in);
            both.insert(both.end(), in.begin(), in.end());
            const std::vector<gfx::gles3::Span> spans = {{mode, 0, in.size()}, {mode, in.size(), in.size()}};
            std::vector<Vertex> copies;
            Topology copied, indexed;
            gfx::gles3::assembleSpans(spans, both.data(), gfx::kFill, flat, copies, copied);
            std::vector<std::uint32_t> indices;
            gfx::gles3::assembleIndices(spans, flat, indices, indexed);
            EXPECT_EQ(copied, indexed) << mode;
            ASSERT_EQ(indices.size(), copies.size()) << mode;
            for (std::size_t i = 0; i < indices.size(); ++i)
                EXPECT_EQ(both[indices[i]].position[0], copies[i].position[0]) << mode << " at " << i;
        }
    }
}
