// The bitmap texture route: open check and log entry, DIB decoding, upload.
#include "pictures/texture_bmp.h"

#include <cstdio>
#include <cstdlib>

#include "base/html_log.h"
#include "gfx/gfx.h"
#include "pictures/texture_upload.h"

DibImage* loadBmpImage(const char* path) {
    if (path == nullptr) return nullptr;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return nullptr;
    // The 100-byte buffer stays; a long path is cut, never overrun.
    char str[100];
    std::snprintf(str, sizeof str, "<b>%s BMP dosyasi acildi.</b><br>", path);
    writeLog(str);
    std::fclose(file);
    return loadDibImage(path);
}

std::uint32_t loadBmpTexture(const char* path) {
    unsigned texturel = 0;
    DibImage* image = loadBmpImage(path);
    if (image != nullptr) {
        gfx::genTextures(1, &texturel);
        gfx::bindTexture(gfx::kTexture2D, texturel);
        gfx::texParameteri(gfx::kTexture2D, gfx::kTextureMagFilter, gfx::kLinear);
        gfx::texParameteri(gfx::kTexture2D, gfx::kTextureMinFilter, gfx::kLinear);
        uploadTexture2D(3, static_cast<std::uint32_t>(image->width), static_cast<std::uint32_t>(image->height),
                        gfx::kRgb, 3, image->pixels);
        freeDibImage(image);
    }
    return texturel;
}
