// loadTgaTexture: decode a TGA picture, upload it as a linear-filtered texture, log the file.
#include "pictures/texture_tga.h"

#include <cstdlib>

#include "base/html_log.h"
#include "gfx/gfx.h"
#include "pictures/texture_upload.h"

std::uint32_t loadTgaTexture(const char* path) {
    TextureImage texture{};
    // 0 binds OpenGL's default texture, so a caller that keeps a failed name stays harmless.
    if (!readTga(texture, path)) return 0;

    unsigned name = 0;
    gfx::genTextures(1, &name);
    texture.textureName = name;
    gfx::bindTexture(gfx::kTexture2D, texture.textureName);
    uploadTexture2D(static_cast<int>(texture.bitsPerPixel / 8), texture.width, texture.height, texture.pixelFormat,
                    texture.bitsPerPixel / 8, texture.pixels);
    gfx::texParameteri(gfx::kTexture2D, gfx::kTextureMinFilter, gfx::kLinear);
    gfx::texParameteri(gfx::kTexture2D, gfx::kTextureMagFilter, gfx::kLinear);

    // The log line keeps its 100-byte buffer; a long path is cut, never overrun.
    char str[100];
    std::snprintf(str, sizeof str, "<b>%s TGA dosyasi acildi.</b><br>", path);
    writeLog(str);

    std::free(texture.pixels);
    return texture.textureName;
}
