// Shelf packing of bitmaps into atlas pages, one texel of margin around each; the pages live
// on texture unit 1, so the texture the calls bind on unit 0 stays bound.
#include "gfx/gles3/atlas.h"

#include <cstring>

namespace gfx::gles3 {

Atlas::~Atlas() {
    if (!pages_.empty()) glDeleteTextures(static_cast<GLsizei>(pages_.size()), pages_.data());
}

void Atlas::newPage() {
    GLuint name = 0;
    glGenTextures(1, &name);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, name);
    const std::vector<std::uint8_t> clear(static_cast<std::size_t>(kAtlasSize) * kAtlasSize, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, kAtlasSize, kAtlasSize, 0, GL_RED, GL_UNSIGNED_BYTE, clear.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glActiveTexture(GL_TEXTURE0);
    pages_.push_back(name);
    shelfX_ = shelfY_ = shelfHeight_ = 0;
}

bool Atlas::place(int width, int height, const std::vector<std::uint8_t>& bits, AtlasEntry& entry) {
    if (width + 2 > kAtlasSize || height + 2 > kAtlasSize) return false;
    // The key holds the size too, so bitmaps of the same bits in other shapes stay apart.
    std::string key(8, '\0');
    std::memcpy(key.data(), &width, 4);
    std::memcpy(key.data() + 4, &height, 4);
    key.append(bits.begin(), bits.end());
    const auto found = known_.find(key);
    if (found != known_.end()) {
        entry = found->second;
        return true;
    }
    if (pages_.empty()) newPage();
    if (shelfX_ + width + 2 > kAtlasSize) {
        shelfX_ = 0;
        shelfY_ += shelfHeight_;
        shelfHeight_ = 0;
    }
    if (shelfY_ + height + 2 > kAtlasSize) newPage();
    entry.page = static_cast<int>(pages_.size()) - 1;
    entry.x = shelfX_ + 1;
    entry.y = shelfY_ + 1;
    shelfX_ += width + 2;
    if (height + 2 > shelfHeight_) shelfHeight_ = height + 2;
    if (width > 0 && height > 0) {
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, pages_.back());
        glTexSubImage2D(GL_TEXTURE_2D, 0, entry.x, entry.y, width, height, GL_RED, GL_UNSIGNED_BYTE, bits.data());
        glActiveTexture(GL_TEXTURE0);
    }
    known_[key] = entry;
    return true;
}

}  // namespace gfx::gles3
