// Pixel transfer on the CPU: images and bitmaps unpacked under OpenGL's unpack state into
// the forms the ES context takes, and RGBA read-back packed into the caller's format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/gfx.h"
#include "gfx/gles3/state.h"

namespace gfx::gles3 {

// The base format a texture's internal format names (1, 3, 4, or a format enumerant):
// kLuminance, kRgb or kRgba; 0 for one the renderer does not keep.
Enum baseFormat(int internalFormat);

// An image of `format` (kRgb, kBgr, kRgba, kBgra, kLuminance) and kUnsignedByte, rows as
// `unpack` lays them out, as tightly packed RGBA8 holding what a texture of base format
// `base` keeps (no alpha: 255; luminance: red copied to green and blue). False for a format
// or type it does not read.
bool unpackImage(int width, int height, Enum format, Enum type, const void* pixels, const PixelStore& unpack, Enum base,
                 std::vector<std::uint8_t>& rgba);

// A bitmap's bits (rows padded to the unpack alignment, most significant bit first unless
// lsbFirst) as one byte per pixel, 255 where the bit is set, bottom row first.
void unpackBitmap(int width, int height, const unsigned char* bits, const PixelStore& unpack,
                  std::vector<std::uint8_t>& out);

// Bytes of one packed row, and of the whole image, for `format` under `pack`.
std::size_t packedRowBytes(int width, Enum format, const PixelStore& pack);

// RGBA8 rows (tightly packed, bottom first) written to `out` as `format` (kRgb, kBgr, kRgba,
// kBgra) with each row's start aligned as `pack` asks. False for another format.
bool packPixels(const std::uint8_t* rgba, int width, int height, Enum format, const PixelStore& pack, void* out);

}  // namespace gfx::gles3
