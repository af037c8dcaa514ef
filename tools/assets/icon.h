// The show's icon for desktop menus: the pink ring tower's rings around a chrome ball on the
// show's deep blue, drawn at any size, and written as PNG.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assets/canvas.h"

namespace assets {

// A square icon `size` pixels wide; the same drawing at every size.
Canvas drawIcon(int size);

// The picture as a PNG file (RGBA), through FFmpeg's PNG encoder; empty with `error` set
// when the encoder is missing or fails.
std::vector<std::uint8_t> encodePng(const Image8& image, std::string& error);

// Writes oyun-48.png and oyun-256.png into `folder` (made when missing).
bool writeIcons(const std::string& folder, std::string& error);

}  // namespace assets
