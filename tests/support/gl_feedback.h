// Records what a drawing call sends through the GL pipeline (GL feedback mode) and maps the
// window positions back to object space, so that tests can read transformed vertices.
#pragma once

#include <GL/gl.h>

#include <functional>
#include <vector>

namespace gl_feedback {

// Object space of the recording: an orthographic box from -kExtent to kExtent on every axis.
constexpr float kExtent = 8.0f;
constexpr int kViewport = 256;

struct Vertex {
    float x, y, z;     // object space of the recording
    float r, g, b, a;  // colour
    float s, t;        // texture coordinates
};

struct Primitive {
    enum Kind { Polygon, Line, LineReset, Point, Other } kind;
    std::vector<Vertex> vertices;
};

// Sets the view that the recording inverts: identity model-view, orthographic projection.
inline void setView() {
    glViewport(0, 0, kViewport, kViewport);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-kExtent, kExtent, -kExtent, kExtent, -kExtent, kExtent);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

inline std::vector<Primitive> record(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_4D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    std::vector<Primitive> primitives;
    const auto vertexAt = [&](GLint at) {
        const float half = kViewport / 2.0f;
        Vertex v{};
        v.x = (buffer[at] / half - 1.0f) * kExtent;
        v.y = (buffer[at + 1] / half - 1.0f) * kExtent;
        v.z = -(buffer[at + 2] * 2.0f - 1.0f) * kExtent;
        v.r = buffer[at + 4];
        v.g = buffer[at + 5];
        v.b = buffer[at + 6];
        v.a = buffer[at + 7];
        v.s = buffer[at + 8];
        v.t = buffer[at + 9];
        return v;
    };
    constexpr GLint kVertexSize = 12;
    for (GLint i = 0; i < count;) {
        const auto token = static_cast<GLenum>(buffer[i++]);
        Primitive primitive{Primitive::Other, {}};
        GLint vertices = 0;
        switch (token) {
            case GL_POLYGON_TOKEN:
                primitive.kind = Primitive::Polygon;
                vertices = static_cast<GLint>(buffer[i++]);
                break;
            case GL_LINE_TOKEN:
                primitive.kind = Primitive::Line;
                vertices = 2;
                break;
            case GL_LINE_RESET_TOKEN:
                primitive.kind = Primitive::LineReset;
                vertices = 2;
                break;
            case GL_POINT_TOKEN:
            case GL_BITMAP_TOKEN:
            case GL_DRAW_PIXEL_TOKEN:
            case GL_COPY_PIXEL_TOKEN:
                primitive.kind = Primitive::Point;
                vertices = 1;
                break;
            default:  // pass-through marker and its value
                ++i;
                continue;
        }
        for (GLint v = 0; v < vertices; ++v, i += kVertexSize) primitive.vertices.push_back(vertexAt(i));
        primitives.push_back(primitive);
    }
    return primitives;
}

inline std::vector<float> modelview() {
    std::vector<float> m(16);
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

}  // namespace gl_feedback
