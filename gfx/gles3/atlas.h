// The glyph atlas: every bitmap glBitmap draws, kept once in a single-channel texture from
// which the bitmap shader reads its bits.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "gfx/gles3/gl.h"

namespace gfx::gles3 {

struct AtlasEntry {
    int page = 0;
    int x = 0, y = 0;  // texel of the bitmap's lower left bit
};

struct Atlas {
    Atlas() = default;
    ~Atlas();
    Atlas(const Atlas&) = delete;
    Atlas& operator=(const Atlas&) = delete;

    // Where a bitmap of width x height bytes (0 or 255, bottom row first) lies, adding it
    // the first time it is seen. False when it is larger than a page.
    bool place(int width, int height, const std::vector<std::uint8_t>& bits, AtlasEntry& entry);
    GLuint texture(int page) const { return pages_[static_cast<std::size_t>(page)]; }

private:
    void newPage();
    std::vector<GLuint> pages_;
    int shelfX_ = 0, shelfY_ = 0, shelfHeight_ = 0;
    std::unordered_map<std::string, AtlasEntry> known_;  // by size and bits
};

constexpr int kAtlasSize = 1024;

}  // namespace gfx::gles3
