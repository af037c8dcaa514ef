// loadTgaTexture: decode a TGA picture, upload it as a linear-filtered texture, log the file.
#include "pictures/texture_tga.h"

#include <GL/gl.h>

#include <cstdlib>

#include "base/html_log.h"
#include "pictures/texture_upload.h"

std::uint32_t loadTgaTexture(const char* path) {
    TextureImage texture{};
    // 0 binds OpenGL's default texture, so a caller that keeps a failed name stays harmless.
    if (!readTga(texture, path)) return 0;

    GLuint name = 0;
    glGenTextures(1, &name);
    texture.textureName = name;
    glBindTexture(GL_TEXTURE_2D, texture.textureName);
    uploadTexture2D(static_cast<int>(texture.bitsPerPixel / 8), texture.width, texture.height, texture.pixelFormat,
                    texture.bitsPerPixel / 8, texture.pixels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

    // The log line keeps its 100-byte buffer; a long path is cut, never overrun.
    char str[100];
    std::snprintf(str, sizeof str, "<b>%s TGA dosyasi acildi.</b><br>", path);
    writeLog(str);

    std::free(texture.pixels);
    return texture.textureName;
}
