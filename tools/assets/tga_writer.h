// Writes pictures as TGA files: true colour, 24 or 32 bits, origin at the lower left, either
// uncompressed (image type 2) or run-length encoded (image type 10).
#pragma once

#include <cstdint>
#include <vector>

#include "tools/assets/canvas.h"

namespace assets {

enum class TgaEncoding { kUncompressed, kRunLength };

// The whole file as bytes: an 18-byte header (no image ID, no colour map, origin 0,0), then the
// rows from the bottom up in blue-green-red(-alpha) order. Run-length packets never cross a row.
std::vector<std::uint8_t> encodeTga(const Image8& image, TgaEncoding encoding);

}  // namespace assets
