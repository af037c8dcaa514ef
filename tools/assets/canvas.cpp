// Conversion of a composed picture to stored 8-bit pixels.
#include "tools/assets/canvas.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

std::uint8_t toByte(float v) {
    if (!(v > 0.0f)) return 0;  // also catches NaN
    if (v >= 1.0f) return 255;
    return static_cast<std::uint8_t>(std::lround(v * 255.0f));
}

}  // namespace

Image8 toImage8(const Canvas& canvas, int channels) {
    Image8 image;
    image.width = canvas.width;
    image.height = canvas.height;
    image.channels = channels;
    image.bytes.resize(canvas.pixels.size() * static_cast<std::size_t>(channels));
    std::size_t o = 0;
    for (const Rgb& p : canvas.pixels) {
        image.bytes[o + 0] = toByte(p.r);
        image.bytes[o + 1] = toByte(p.g);
        image.bytes[o + 2] = toByte(p.b);
        if (channels == 4) image.bytes[o + 3] = 255;
        o += static_cast<std::size_t>(channels);
    }
    return image;
}

}  // namespace assets
