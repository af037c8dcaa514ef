// Textures from TGA pictures: uncompressed (type 2) and run-length (type 10) true-colour
// files of 24 or 32 bits, decoded here and uploaded as OpenGL 2D textures.
#pragma once

#include <cstdint>
#include <cstdio>

// One picture during one load. The readers fill it; loadTgaTexture uploads and frees it.
struct TextureImage {
    std::uint8_t* pixels;        // red, green, blue (, alpha) per pixel, rows as the file stores them
    std::uint32_t bitsPerPixel;  // 24 or 32
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t textureName;
    std::uint32_t pixelFormat;  // GL_RGB or GL_RGBA
};

// Needs a current OpenGL context. The new texture stays bound to GL_TEXTURE_2D and one log
// entry names the file. A failed load returns 0 (OpenGL's default texture), after a message
// box, and creates nothing.
std::uint32_t loadTgaTexture(const char* path);

// Decodes the file into `image` (no OpenGL). On failure: a message box, false, no file open and
// image.pixels null.
bool readTga(TextureImage& image, const char* path);

// readTga's work once the file is open at its first byte: header check and decoding. Closes the
// file on every path. Lets the decoder run on any stream (fmemopen in the fuzz target).
bool readTgaFromFile(TextureImage& image, const char* path, std::FILE* file);

// The body readers: `file` is positioned after the 12-byte header; `path` is not used.
// Both close the file on every path.
bool readTgaUncompressed(TextureImage& image, const char* path, std::FILE* file);
bool readTgaRle(TextureImage& image, const char* path, std::FILE* file);
