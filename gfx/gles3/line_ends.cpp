// End textures copied from their buffers on the ES context, and the corner indices.
#include "gfx/gles3/line_ends.h"

#include <vector>

namespace gfx::gles3 {

namespace {

GLenum internalFormat(int size) { return size == 2 ? GL_RG32F : size == 3 ? GL_RGB32F : GL_RGBA32F; }
GLenum format(int size) { return size == 2 ? GL_RG : size == 3 ? GL_RGB : GL_RGBA; }

}  // namespace

LineEnds::~LineEnds() {
    for (auto& entry : textures_) glDeleteTextures(1, &entry.second.name);
    if (corners_ != 0) glDeleteBuffers(1, &corners_);
}

bool LineEnds::bind(GLuint buffer, std::size_t bytes, int size) {
    const std::size_t texelBytes = static_cast<std::size_t>(size) * sizeof(float);
    const std::size_t texels = bytes / texelBytes;
    const std::size_t rows = (texels + kEndTextureWidth - 1) / kEndTextureWidth;
    if (texels == 0 || rows > static_cast<std::size_t>(kEndTextureWidth)) return false;
    Texture& t = textures_[buffer];
    glActiveTexture(GL_TEXTURE0 + kEndTextureUnit);
    if (t.name != 0 && (t.size != size || t.rows != static_cast<int>(rows))) {
        glDeleteTextures(1, &t.name);
        t = Texture{};
    }
    if (t.name == 0) {
        glGenTextures(1, &t.name);
        glBindTexture(GL_TEXTURE_2D, t.name);
        glTexStorage2D(GL_TEXTURE_2D, 1, internalFormat(size), kEndTextureWidth, static_cast<GLsizei>(rows));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        t.size = size;
        t.rows = static_cast<int>(rows);
    } else {
        glBindTexture(GL_TEXTURE_2D, t.name);
    }
    if (!t.current) {
        // Copied on the ES context from the buffer itself: whole rows, then the last one's part.
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, buffer);
        const std::size_t full = texels / kEndTextureWidth;
        const std::size_t rest = texels % kEndTextureWidth;
        if (full > 0)
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kEndTextureWidth, static_cast<GLsizei>(full), format(size),
                            GL_FLOAT, nullptr);
        if (rest > 0)
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, static_cast<GLint>(full), static_cast<GLsizei>(rest), 1, format(size),
                            GL_FLOAT, reinterpret_cast<void*>(full * kEndTextureWidth * texelBytes));
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
        t.current = true;
    }
    glActiveTexture(GL_TEXTURE0);
    return true;
}

void LineEnds::stale(GLuint buffer) {
    const auto found = textures_.find(buffer);
    if (found != textures_.end()) found->second.current = false;
}

void LineEnds::remove(GLuint buffer) {
    const auto found = textures_.find(buffer);
    if (found == textures_.end()) return;
    glDeleteTextures(1, &found->second.name);
    textures_.erase(found);
}

void LineEnds::bindCorners(GLuint vertexArray, std::size_t segments) {
    glBindVertexArray(vertexArray);
    if (corners_ == 0) glGenBuffers(1, &corners_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, corners_);
    if (segments <= cornerSegments_) return;
    std::size_t n = cornerSegments_ == 0 ? 1024 : cornerSegments_;
    while (n < segments) n *= 2;
    std::vector<std::uint32_t> indices;
    indices.reserve(n * 6);
    for (std::uint32_t s = 0; s < n; ++s) {
        const std::uint32_t c = 4 * s;
        indices.insert(indices.end(), {c, c + 1, c + 2, c + 2, c + 1, c + 3});
    }
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)),
                 indices.data(), GL_STATIC_DRAW);
    cornerSegments_ = n;
}

}  // namespace gfx::gles3
