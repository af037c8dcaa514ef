// Texture names, binding, parameters and images.
#include "gfx/gles3/textures.h"

#include <vector>

#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/gl.h"
#include "gfx/gles3/lists.h"
#include "gfx/gles3/pixels.h"

namespace gfx::gles3 {

namespace {

constexpr Enum kNearestMipmapNearest = 0x2700, kLinearMipmapNearest = 0x2701, kNearestMipmapLinear = 0x2702,
               kLinearMipmapLinear = 0x2703;
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

void bindNow(unsigned name) {
    Context& c = *current();
    c.state.boundTexture = name;
    glBindTexture(GL_TEXTURE_2D, name);
}

void parameterNow(Enum name, int value) {
    if (name == kTextureMinFilter) {
        const auto filter = static_cast<Enum>(value);
        if (filter != kNearest && filter != kLinear && filter != kNearestMipmapNearest &&
            filter != kLinearMipmapNearest && filter != kNearestMipmapLinear && filter != kLinearMipmapLinear)
            return setError(kInvalidEnum);
        current()->textures[current()->state.boundTexture].minFilter = filter;
    } else if (name != kTextureMagFilter && name != kTextureWrapS && name != kTextureWrapT) {
        unsupported("texture parameter", name);
        return setError(kInvalidEnum);
    }
    glTexParameteri(GL_TEXTURE_2D, name, value);
}

// An image already unpacked to RGBA8, given to the bound texture.
void imageNow(int level, Enum base, int width, int height, const std::vector<std::uint8_t>& rgba) {
    TextureRecord& t = current()->textures[current()->state.boundTexture];
    if (t.levelSizes.size() < kMaxLevels) t.levelSizes.resize(kMaxLevels);
    t.levelSizes[static_cast<std::size_t>(level)] = {width, height};
    t.levels |= 1u << level;
    if (level == 0) {
        t.width = width;
        t.height = height;
        t.baseFormat = base;
    }
    glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.empty() ? nullptr : rgba.data());
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

namespace calls {

void genTextures(int count, unsigned* names) {
    if (current() == nullptr) return;
    if (count < 0) return setError(kInvalidValue);
    glGenTextures(count, names);
}

void bindTexture(Enum target, unsigned name) {
    if (current() == nullptr) return;
    if (target != kTexture2D) return setError(kInvalidEnum);
    if (recorded([name] { bindNow(name); })) return;
    bindNow(name);
}

void texParameteri(Enum target, Enum name, int value) {
    if (current() == nullptr) return;
    if (target != kTexture2D) return setError(kInvalidEnum);
    if (recorded([name, value] { parameterNow(name, value); })) return;
    parameterNow(name, value);
}

void texImage2D(Enum target, int level, int internalFormat, int width, int height, int border, Enum format, Enum type,
                const void* pixels) {
    Context* c = current();
    if (c == nullptr) return;
    if (target != kTexture2D) return setError(kInvalidEnum);
    if (level < 0 || level >= kMaxLevels || width < 0 || height < 0 || border != 0) {
        if (border != 0) unsupported("texture border", static_cast<unsigned>(border));
        return setError(kInvalidValue);
    }
    const Enum base = baseFormat(internalFormat);
    if (base == 0) {
        unsupported("internal format", static_cast<unsigned>(internalFormat));
        return setError(kInvalidValue);
    }
    std::vector<std::uint8_t> rgba;
    if (!unpackImage(width, height, format, type, pixels, c->client.unpack, base, rgba)) {
        unsupported("pixel format", format);
        return setError(kInvalidEnum);
    }
    if (pixels == nullptr) rgba.clear();
    // A list keeps the image as unpacked when it was compiled.
    if (recorded([level, base, width, height, rgba] { imageNow(level, base, width, height, rgba); })) return;
    imageNow(level, base, width, height, rgba);
}

void deleteTextures(int count, const unsigned* names) {
    Context* c = current();
    if (c == nullptr) return;
    if (count < 0) return setError(kInvalidValue);
    for (int i = 0; i < count; ++i) {
        const unsigned name = names[i];
        if (name == 0) continue;
        c->textures.erase(name);
        if (c->state.boundTexture == name) c->state.boundTexture = 0;
    }
    glDeleteTextures(count, names);
}

}  // namespace calls

}  // namespace gfx::gles3
