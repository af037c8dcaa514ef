// The sphere against gluSphere in feedback mode: the same primitives with the same vertex
// positions, normals and texture coordinates in the same order, bit for bit. Positions are
// read through object-linear texture coordinate generation and normals through normal-map
// generation, so that no transformation rounds them.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gfx/gles3/sphere.h"
#include "tests/support/gl_test_context.h"

namespace {

enum class Read { kPositions, kNormals, kTexCoords };

struct Case {
    double radius;
    int slices, stacks;
    bool texture;
    GLenum normals;
};

// The four texture coordinates of every vertex the drawing sends down, in order, with the
// primitive sizes between them.
std::vector<float> record(const std::function<void()>& draw, Read read) {
    glViewport(0, 0, 256, 256);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-200, 200, -200, 200, -200, 200);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const GLenum coordinates[4] = {GL_S, GL_T, GL_R, GL_Q};
    for (int c = 0; c < 4; ++c) {
        GLfloat plane[4] = {0, 0, 0, 0};
        plane[c] = 1;
        glTexGenfv(coordinates[c], GL_OBJECT_PLANE, plane);
        glTexGeni(coordinates[c], GL_TEXTURE_GEN_MODE,
                  read == Read::kNormals && c < 3 ? GL_NORMAL_MAP : GL_OBJECT_LINEAR);
        if (read == Read::kTexCoords)
            glDisable(GL_TEXTURE_GEN_S + static_cast<GLenum>(c));
        else
            glEnable(GL_TEXTURE_GEN_S + static_cast<GLenum>(c));
    }
    // Texture coordinates reach feedback only while a texture is on.
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const unsigned char white[4] = {255, 255, 255, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glEnable(GL_TEXTURE_2D);
    glNormal3f(0.25f, 0.5f, 0.75f);
    glTexCoord2f(0.125f, 0.375f);
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    glDeleteTextures(1, &texture);
    std::vector<float> out;
    constexpr GLint kVertexFloats = 12;
    for (GLint i = 0; i < count;) {
        const auto token = static_cast<GLenum>(buffer[static_cast<std::size_t>(i++)]);
        if (token != GL_POLYGON_TOKEN) return {-1.0f};
        const auto n = static_cast<GLint>(buffer[static_cast<std::size_t>(i++)]);
        out.push_back(static_cast<float>(n));
        for (GLint v = 0; v < n; ++v, i += kVertexFloats)
            for (GLint c = 8; c < 12; ++c) out.push_back(buffer[static_cast<std::size_t>(i + c)]);
    }
    return out;
}

void glu(const Case& c) {
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricNormals(quadric, c.normals);
    gluQuadricTexture(quadric, c.texture ? GL_TRUE : GL_FALSE);
    gluSphere(quadric, c.radius, c.slices, c.stacks);
    gluDeleteQuadric(quadric);
}

void ours(const Case& c) {
    gfx::gles3::SphereOptions options;
    options.normals = c.normals != GLU_NONE;
    options.texture = c.texture;
    for (const auto& primitive : gfx::gles3::sphereGeometry(c.radius, c.slices, c.stacks, options)) {
        glBegin(primitive.mode);
        for (const auto& v : primitive.vertices) {
            if (options.normals) glNormal3fv(v.normal);
            if (options.texture) glTexCoord2fv(v.texCoord);
            glVertex3fv(v.position);
        }
        glEnd();
    }
}

std::string name(const Case& c) {
    return "radius " + std::to_string(c.radius) + ", " + std::to_string(c.slices) + " x " + std::to_string(c.stacks) +
           (c.texture ? ", textured" : "") + (c.normals == GLU_NONE ? ", no normals" : "");
}

}  // namespace

TEST(Sphere, SendsWhatGluSphereSends) {
    testing_support::GlTestContext context(256, 256);
    ASSERT_TRUE(context.ok());
    const Case cases[] = {
        {0.35, 32, 16, true, GLU_SMOOTH},  // the show's ball
        {1.7, 7, 5, true, GLU_SMOOTH},    {140.0, 13, 9, true, GLU_SMOOTH}, {0.01, 64, 33, true, GLU_SMOOTH},
        {3.0, 100, 50, true, GLU_SMOOTH}, {2.0, 5, 1, true, GLU_SMOOTH},    {0.35, 32, 16, false, GLU_SMOOTH},
        {3.0, 7, 5, false, GLU_SMOOTH},   {1.0, 4, 4, false, GLU_SMOOTH},   {1.0, 9, 2, false, GLU_SMOOTH},
        {1.5, 8, 6, true, GLU_NONE},      {1.5, 8, 6, false, GLU_NONE},
    };
    for (const Case& c : cases) {
        for (const Read read : {Read::kPositions, Read::kNormals, Read::kTexCoords}) {
            const std::vector<float> expected = record([&] { glu(c); }, read);
            const std::vector<float> actual = record([&] { ours(c); }, read);
            ASSERT_GT(expected.size(), 1u) << name(c);
            EXPECT_EQ(actual, expected) << name(c) << ", read " << static_cast<int>(read);
        }
    }
}

TEST(Sphere, TooFewSlicesOrStacksDrawNothing) {
    EXPECT_TRUE(gfx::gles3::sphereGeometry(1.0, 1, 8, {}).empty());
    EXPECT_TRUE(gfx::gles3::sphereGeometry(1.0, 8, 0, {}).empty());
    EXPECT_FALSE(gfx::gles3::sphereGeometry(1.0, 2, 1, {}).empty());
}
