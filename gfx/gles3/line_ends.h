// The vertices of a buffer as a texture, from which the vertex shader of wide lines reads the
// ends of each segment by the number of the corner it draws, so that a draw of many segments
// is one draw of indexed triangles rather than one instance per segment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "gfx/gles3/gl.h"

namespace gfx::gles3 {

// Texels per row of an end texture; the vertex shader splits an end's number by it.
constexpr int kEndTextureWidth = 2048;
// The texture unit the end texture is bound to (0: the bound texture, 1: the glyph atlas).
constexpr int kEndTextureUnit = 2;

class LineEnds {
public:
    LineEnds() = default;
    ~LineEnds();
    LineEnds(const LineEnds&) = delete;
    LineEnds& operator=(const LineEnds&) = delete;

    // Binds to kEndTextureUnit a texture of `buffer`'s `bytes` bytes as vertices of `size`
    // floats packed one after another (copied from the buffer itself when it is new or its data
    // changed). False when its vertices do not fit a texture.
    bool bind(GLuint buffer, std::size_t bytes, int size);
    // The buffer's data changed: its texture is copied again when next bound.
    void stale(GLuint buffer);
    // The buffer is deleted.
    void remove(GLuint buffer);
    // Binds an element buffer (to the bound vertex array) of the corners of at least
    // `segments` segments: two triangles of corners 4s..4s+3 each.
    void bindCorners(GLuint vertexArray, std::size_t segments);

private:
    struct Texture {
        GLuint name = 0;
        int size = 0, rows = 0;
        bool current = false;
    };
    std::unordered_map<GLuint, Texture> textures_;
    GLuint corners_ = 0;
    std::size_t cornerSegments_ = 0;
};

}  // namespace gfx::gles3
