// Textures from Windows bitmap files, through the DIB loader.
#pragma once

#include <cstdint>

#include "pictures/dib_image.h"

// Null for a null path or a file that cannot be opened (no log entry then); otherwise logs the
// file and gives loadDibImage's result. The caller frees it (freeDibImage).
DibImage* loadBmpImage(const char* path);

// Needs a current OpenGL context. A 24-bit linear-filtered texture, left bound; 0 when the
// bitmap cannot be loaded (no texture object is made).
std::uint32_t loadBmpTexture(const char* path);
