// The TGA decoder: header templates, the info header, uncompressed and run-length bodies.
// Pure decoding into memory; the OpenGL upload lives in texture_tga.cpp.
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include "pictures/texture_tga.h"
#include "platform/message_box.h"

namespace {

const std::uint8_t kUncompressedTemplate[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const std::uint8_t kRleTemplate[12] = {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Shared by every load, as the loaders always kept them; loads never overlap.
std::uint8_t tgaHeader[12];
std::uint8_t tgaInfo[6];
std::uint32_t bytesPerPixel;
std::uint32_t imageSize;

void errorBox(const char* text) { platform::messageBox(text, "ERROR", platform::MB_OK); }

void freePixels(TextureImage& image) {
    std::free(image.pixels);
    image.pixels = nullptr;
}

// Bytes between the read position and the end of the file; -1 when the stream cannot tell.
long bytesLeft(std::FILE* file) {
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (std::fseek(file, here, SEEK_SET) != 0 || end < here) return -1;
    return end - here;
}

// The info header and the pixel block, common to both bodies. `pixelsHeld(left)` is the most
// pixels that `left` bytes of body can describe, so that a file claiming far more than it holds
// fails before anything is allocated. On failure the file is closed.
template <typename Capacity>
bool readInfoAndAllocate(TextureImage& image, std::FILE* file, Capacity pixelsHeld) {
    if (std::fread(tgaInfo, sizeof tgaInfo, 1, file) != 1) {
        errorBox("Could not read info header");
        std::fclose(file);
        return false;
    }
    image.width = tgaInfo[1] * 256u + tgaInfo[0];
    image.height = tgaInfo[3] * 256u + tgaInfo[2];
    image.bitsPerPixel = tgaInfo[4];
    if (image.width == 0 || image.height == 0 || (image.bitsPerPixel != 24 && image.bitsPerPixel != 32)) {
        errorBox("Invalid texture information");
        std::fclose(file);
        return false;
    }
    image.pixelFormat = image.bitsPerPixel == 24 ? GL_RGB : GL_RGBA;
    bytesPerPixel = image.bitsPerPixel / 8;
    // 65535 x 65535 x 4 does not fit the 32-bit size.
    const std::uint64_t pixelCount = std::uint64_t{image.width} * image.height;
    const std::uint64_t size = pixelCount * bytesPerPixel;
    if (size > UINT32_MAX) {
        errorBox("Invalid texture information");
        std::fclose(file);
        return false;
    }
    imageSize = static_cast<std::uint32_t>(size);
    const long left = bytesLeft(file);
    if (left >= 0 && pixelCount > pixelsHeld(static_cast<std::uint64_t>(left))) {
        errorBox("Could not read image data");
        std::fclose(file);
        return false;
    }
    image.pixels = static_cast<std::uint8_t*>(std::malloc(imageSize));
    if (image.pixels == nullptr) {
        errorBox("Could not allocate memory for image");
        std::fclose(file);
        return false;
    }
    return true;
}

}  // namespace

bool readTga(TextureImage& image, const char* path) {
    image.pixels = nullptr;
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr) {
        errorBox("Could not open texture file");
        return false;
    }
    return readTgaFromFile(image, path, file);
}

bool readTgaFromFile(TextureImage& image, const char* path, std::FILE* file) {
    image.pixels = nullptr;
    if (std::fread(tgaHeader, sizeof tgaHeader, 1, file) != 1) {
        errorBox("Could not read file header");
        std::fclose(file);
        return false;
    }
    if (std::memcmp(tgaHeader, kUncompressedTemplate, sizeof tgaHeader) == 0) {
        return readTgaUncompressed(image, path, file);
    }
    if (std::memcmp(tgaHeader, kRleTemplate, sizeof tgaHeader) == 0) return readTgaRle(image, path, file);
    platform::messageBox("TGA file be type 2 or type 10 ", "Invalid Image", platform::MB_OK);
    std::fclose(file);
    return false;
}

bool readTgaUncompressed(TextureImage& image, const char* /*path*/, std::FILE* file) {
    image.pixels = nullptr;
    const auto pixelsHeld = [](std::uint64_t left) { return left / bytesPerPixel; };
    if (!readInfoAndAllocate(image, file, pixelsHeld)) return false;
    if (std::fread(image.pixels, 1, imageSize, file) != imageSize) {
        errorBox("Could not read image data");
        freePixels(image);
        std::fclose(file);
        return false;
    }
    for (std::uint32_t i = 0; i < imageSize; i += bytesPerPixel) {
        const std::uint8_t blue = image.pixels[i];
        image.pixels[i] = image.pixels[i + 2];
        image.pixels[i + 2] = blue;
    }
    std::fclose(file);
    return true;
}

bool readTgaRle(TextureImage& image, const char* /*path*/, std::FILE* file) {
    image.pixels = nullptr;
    // Every packet takes at least a header and one pixel and yields at most 128 pixels. One
    // packet of slack lets a short file of a small picture report where it ends.
    const auto pixelsHeld = [](std::uint64_t left) { return (left / (1 + bytesPerPixel) + 1) * 128; };
    if (!readInfoAndAllocate(image, file, pixelsHeld)) return false;

    const std::uint32_t pixelCount = image.width * image.height;
    std::uint32_t currentPixel = 0;
    std::uint32_t currentByte = 0;
    std::uint8_t colorBuffer[4] = {};
    const auto fail = [&](const char* text) {
        errorBox(text);
        std::fclose(file);
        freePixels(image);
        return false;
    };
    // False when the packet would run past the last pixel; nothing is written then.
    const auto store = [&]() {
        if (currentPixel == pixelCount) return false;
        image.pixels[currentByte] = colorBuffer[2];
        image.pixels[currentByte + 1] = colorBuffer[1];
        image.pixels[currentByte + 2] = colorBuffer[0];
        if (bytesPerPixel == 4) image.pixels[currentByte + 3] = colorBuffer[3];
        currentByte += bytesPerPixel;
        ++currentPixel;
        return true;
    };

    do {
        std::uint8_t chunkheader = 0;
        if (std::fread(&chunkheader, sizeof chunkheader, 1, file) != 1) return fail("Could not read RLE header");
        if (chunkheader < 128) {
            for (int counter = 0; counter < chunkheader + 1; ++counter) {
                if (std::fread(colorBuffer, 1, bytesPerPixel, file) != bytesPerPixel) {
                    return fail("Could not read image data");
                }
                if (!store()) return fail("Too many pixels read");
            }
        } else {
            if (std::fread(colorBuffer, 1, bytesPerPixel, file) != bytesPerPixel) {
                return fail("Could not read from file");
            }
            for (int counter = 0; counter < chunkheader - 127; ++counter) {
                if (!store()) return fail("Too many pixels read");
            }
        }
    } while (currentPixel < pixelCount);

    std::fclose(file);
    return true;
}
