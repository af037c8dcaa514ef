// The TGA decoder: header templates, the info header, uncompressed and run-length bodies.
// Pure decoding into memory; the OpenGL upload lives in texture_tga.cpp.

#include <cstdlib>
#include <cstring>

#include "gfx/gfx.h"
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

// The info header, common to both bodies: sets the sizes. On failure the file is closed.
bool readInfo(TextureImage& image, std::FILE* file) {
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
    image.pixelFormat = image.bitsPerPixel == 24 ? gfx::kRgb : gfx::kRgba;
    bytesPerPixel = image.bitsPerPixel / 8;
    // 65535 x 65535 x 4 does not fit the 32-bit size.
    const std::uint64_t size = std::uint64_t{image.width} * image.height * bytesPerPixel;
    if (size > UINT32_MAX) {
        errorBox("Invalid texture information");
        std::fclose(file);
        return false;
    }
    imageSize = static_cast<std::uint32_t>(size);
    return true;
}

// On failure the file is closed.
bool allocatePixels(TextureImage& image, std::FILE* file) {
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
    if (!readInfo(image, file)) return false;
    // A file too short for its picture fails as the read would, without the allocation.
    const long left = bytesLeft(file);
    if (left >= 0 && static_cast<std::uint64_t>(left) < imageSize) {
        errorBox("Could not read image data");
        std::fclose(file);
        return false;
    }
    if (!allocatePixels(image, file)) return false;
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
    if (!readInfo(image, file)) return false;
    const std::uint32_t pixelCount = image.width * image.height;
    // Every packet takes at least a header and one pixel and yields at most 128 pixels. A file
    // too short for its picture is still walked packet by packet, storing nothing, so that it
    // fails where its data end, as any other file does, without the allocation.
    const long left = bytesLeft(file);
    const bool fileHoldsPicture =
        left < 0 || pixelCount <= static_cast<std::uint64_t>(left) / (1 + bytesPerPixel) * 128;
    if (fileHoldsPicture && !allocatePixels(image, file)) return false;

    std::uint32_t currentPixel = 0;
    std::uint32_t currentByte = 0;
    std::uint8_t colorBuffer[4] = {};
    const auto fail = [&](const char* text) {
        errorBox(text);
        std::fclose(file);
        freePixels(image);
        return false;
    };
    // Stores `count` copies of the scratch pixel; false, writing none, when they would run past
    // the last pixel.
    const auto store = [&](std::uint32_t count) {
        if (count > pixelCount - currentPixel) return false;
        currentPixel += count;
        if (image.pixels == nullptr) return true;
        for (; count > 0; --count, currentByte += bytesPerPixel) {
            image.pixels[currentByte] = colorBuffer[2];
            image.pixels[currentByte + 1] = colorBuffer[1];
            image.pixels[currentByte + 2] = colorBuffer[0];
            if (bytesPerPixel == 4) image.pixels[currentByte + 3] = colorBuffer[3];
        }
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
                if (!store(1)) return fail("Too many pixels read");
            }
        } else {
            if (std::fread(colorBuffer, 1, bytesPerPixel, file) != bytesPerPixel) {
                return fail("Could not read from file");
            }
            if (!store(chunkheader - 127u)) return fail("Too many pixels read");
        }
    } while (currentPixel < pixelCount);

    // Only a file that grew while it was read gets here without its pixels.
    if (image.pixels == nullptr) return fail("Could not read image data");
    std::fclose(file);
    return true;
}
