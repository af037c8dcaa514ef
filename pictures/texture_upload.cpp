// Level-0 texture upload of tightly packed rows.
#include "pictures/texture_upload.h"

#include <GL/gl.h>

void uploadTexture2D(int internalFormat, std::uint32_t width, std::uint32_t height, std::uint32_t pixelFormat,
                     std::uint32_t bytesPerPixel, const std::uint8_t* pixels) {
    const bool oddRows = (std::uint64_t{width} * bytesPerPixel) % 4 != 0;
    GLint alignment = 4;
    if (oddRows) {
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
                 pixelFormat, GL_UNSIGNED_BYTE, pixels);
    if (oddRows) glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}
