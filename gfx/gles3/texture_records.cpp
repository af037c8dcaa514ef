// Completeness of the bound texture and the base format its internal format keeps.
#include "gfx/gles3/texture_records.h"

#include "gfx/gles3/context.h"

namespace gfx::gles3 {

namespace {

constexpr int kMaxLevels = 16;

bool complete(const TextureRecord& t) {
    if ((t.levels & 1u) == 0 || t.width <= 0 || t.height <= 0) return false;
    if (t.minFilter == kNearest || t.minFilter == kLinear) return true;
    // Mipmapped: every level down to 1 x 1, each half the one above.
    int w = t.width, h = t.height;
    for (int level = 1; w > 1 || h > 1; ++level) {
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
        if (level >= kMaxLevels || (t.levels & (1u << level)) == 0) return false;
        if (t.levelSizes[static_cast<std::size_t>(level)] != std::pair<int, int>{w, h}) return false;
    }
    return true;
}

}  // namespace

bool boundTextureComplete() {
    const Context& c = *current();
    const auto found = c.textures.find(c.state.boundTexture);
    return found != c.textures.end() && complete(found->second);
}

Enum boundTextureFormat() {
    const Context& c = *current();
    const auto found = c.textures.find(c.state.boundTexture);
    return found == c.textures.end() ? kRgba : found->second.baseFormat;
}

}  // namespace gfx::gles3
