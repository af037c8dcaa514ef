// Windows bitmaps (DIBs) decoded to 24-bit RGB: the loader behind the bitmap texture route.
#pragma once

#include <cstddef>
#include <cstdint>

// Rows bottom-up, red, green, blue, no gap between rows; height is always positive (top-down
// bitmaps are turned over). The record and its block come from malloc: free the block, then
// the record (freeDibImage does both).
struct DibImage {
    std::int32_t width;
    std::int32_t height;
    std::uint8_t* pixels;
};

// Null after a message box captioned "Error" when the file cannot be read or decoded.
DibImage* loadDibImage(const char* path);
void freeDibImage(DibImage* image);

enum class DibStatus { kOk, kUnknownFormat, kOutOfMemory, kConversionError };

// The biggest pixel block a bitmap may decode to; larger ones fail as out of memory (a
// run-length file of a few bytes can describe any size).
constexpr std::size_t kDibMaxPixelBytes = std::size_t{1} << 30;

// Decodes a bitmap held in memory: a file with its 14-byte "BM" header, or a packed DIB that
// starts with the bitmap header. No message boxes; on success *image is a new DibImage.
DibStatus decodeDib(const std::uint8_t* bytes, std::size_t size, DibImage** image,
                    std::size_t maxPixelBytes = kDibMaxPixelBytes);
