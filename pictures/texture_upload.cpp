// Level-0 texture upload of tightly packed rows.
#include "pictures/texture_upload.h"

#include "gfx/gfx.h"

void uploadTexture2D(int internalFormat, std::uint32_t width, std::uint32_t height, std::uint32_t pixelFormat,
                     std::uint32_t bytesPerPixel, const std::uint8_t* pixels) {
    const bool oddRows = (std::uint64_t{width} * bytesPerPixel) % 4 != 0;
    int alignment = 4;
    if (oddRows) {
        gfx::getIntegerv(gfx::kUnpackAlignment, &alignment);
        gfx::pixelStorei(gfx::kUnpackAlignment, 1);
    }
    gfx::texImage2D(gfx::kTexture2D, 0, internalFormat, static_cast<int>(width), static_cast<int>(height), 0,
                    pixelFormat, gfx::kUnsignedByte, pixels);
    if (oddRows) gfx::pixelStorei(gfx::kUnpackAlignment, alignment);
}
