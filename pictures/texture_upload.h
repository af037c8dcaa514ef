// Hands a decoded pixel block to OpenGL as level 0 of the texture bound to GL_TEXTURE_2D.
#pragma once

#include <cstdint>

// Rows are tightly packed. When a row is not a multiple of 4 bytes the unpack alignment is 1
// for the upload (OpenGL's default of 4 would read past the block) and restored afterwards.
void uploadTexture2D(int internalFormat, std::uint32_t width, std::uint32_t height, std::uint32_t pixelFormat,
                     std::uint32_t bytesPerPixel, const std::uint8_t* pixels);
