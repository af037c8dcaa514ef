#include "tests/gfx/vertex_capture.h"

#include <GLES3/gl3.h>

#include <cstring>

namespace gfx_test {

std::vector<float> captureVertices(int vertices, const std::function<void()>& draw) {
    constexpr int kFloats = 10;
    const auto bytes = static_cast<GLsizeiptr>(vertices) * kFloats * static_cast<GLsizeiptr>(sizeof(float));
    draw();
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_TRANSFORM_FEEDBACK_BUFFER, buffer);
    glBufferData(GL_TRANSFORM_FEEDBACK_BUFFER, bytes, nullptr, GL_STREAM_READ);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, buffer);
    glBeginTransformFeedback(GL_POINTS);
    draw();
    glEndTransformFeedback();
    std::vector<float> out(static_cast<std::size_t>(vertices) * kFloats);
    const void* mapped = glMapBufferRange(GL_TRANSFORM_FEEDBACK_BUFFER, 0, bytes, GL_MAP_READ_BIT);
    if (mapped != nullptr) std::memcpy(out.data(), mapped, static_cast<std::size_t>(bytes));
    glUnmapBuffer(GL_TRANSFORM_FEEDBACK_BUFFER);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0);
    glDeleteBuffers(1, &buffer);
    if (mapped == nullptr) out.clear();
    return out;
}

}  // namespace gfx_test
