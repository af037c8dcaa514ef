// Unpacking and packing of pixel rectangles, as OpenGL's pixel storage modes define them.
#include "gfx/gles3/pixels.h"

#include <cstring>

namespace gfx::gles3 {

namespace {

constexpr int kLuminance8 = 0x8040, kRgb8 = 0x8051, kRgba8 = 0x8058;

int components(Enum format) {
    switch (format) {
        case kRgb:
        case kBgr: return 3;
        case kRgba:
        case kBgra: return 4;
        case kLuminance: return 1;
        default: return 0;
    }
}

// Row stride in bytes: the row length (or width) rounded up to the alignment.
std::size_t rowStride(int width, std::size_t elementBytes, const PixelStore& store) {
    const std::size_t length = static_cast<std::size_t>(store.rowLength > 0 ? store.rowLength : width);
    const std::size_t bytes = length * elementBytes;
    const auto alignment = static_cast<std::size_t>(store.alignment > 0 ? store.alignment : 1);
    return (bytes + alignment - 1) / alignment * alignment;
}

}  // namespace

Enum baseFormat(int internalFormat) {
    switch (internalFormat) {
        case 1:
        case static_cast<int>(kLuminance):
        case kLuminance8: return kLuminance;
        case 3:
        case static_cast<int>(kRgb):
        case kRgb8: return kRgb;
        case 4:
        case static_cast<int>(kRgba):
        case kRgba8: return kRgba;
        default: return 0;
    }
}

bool unpackImage(int width, int height, Enum format, Enum type, const void* pixels, const PixelStore& unpack, Enum base,
                 std::vector<std::uint8_t>& rgba) {
    const int n = components(format);
    if (n == 0 || type != kUnsignedByte || width < 0 || height < 0) return false;
    rgba.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    if (pixels == nullptr) return true;
    const auto* source = static_cast<const std::uint8_t*>(pixels);
    const std::size_t stride = rowStride(width, static_cast<std::size_t>(n), unpack);
    const bool bgr = format == kBgr || format == kBgra;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = source + static_cast<std::size_t>(y + unpack.skipRows) * stride +
                                  static_cast<std::size_t>(unpack.skipPixels) * static_cast<std::size_t>(n);
        std::uint8_t* out = rgba.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
        for (int x = 0; x < width; ++x, row += n, out += 4) {
            std::uint8_t r, g, b, a = 255;
            if (n == 1) {
                r = g = b = row[0];
            } else {
                r = row[bgr ? 2 : 0];
                g = row[1];
                b = row[bgr ? 0 : 2];
                if (n == 4) a = row[3];
            }
            if (base == kLuminance) g = b = r;
            if (base != kRgba) a = 255;
            out[0] = r;
            out[1] = g;
            out[2] = b;
            out[3] = a;
        }
    }
    return true;
}

void unpackBitmap(int width, int height, const unsigned char* bits, const PixelStore& unpack,
                  std::vector<std::uint8_t>& out) {
    out.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    if (bits == nullptr) return;
    const int length = unpack.rowLength > 0 ? unpack.rowLength : width;
    const std::size_t rowBytes = static_cast<std::size_t>((length + 7) / 8);
    const auto alignment = static_cast<std::size_t>(unpack.alignment > 0 ? unpack.alignment : 1);
    const std::size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = bits + static_cast<std::size_t>(y + unpack.skipRows) * stride;
        for (int x = 0; x < width; ++x) {
            const int bit = x + unpack.skipPixels;
            const unsigned char byte = row[bit / 8];
            const int shift = unpack.lsbFirst ? bit % 8 : 7 - bit % 8;
            if (((byte >> shift) & 1) != 0) out[static_cast<std::size_t>(y * width + x)] = 255;
        }
    }
}

std::size_t packedRowBytes(int width, Enum format, const PixelStore& pack) {
    return rowStride(width, static_cast<std::size_t>(components(format)), pack);
}

bool packPixels(const std::uint8_t* rgba, int width, int height, Enum format, const PixelStore& pack, void* out) {
    const int n = components(format);
    if (n < 3) return false;
    const bool bgr = format == kBgr || format == kBgra;
    const std::size_t stride = rowStride(width, static_cast<std::size_t>(n), pack);
    auto* bytes = static_cast<std::uint8_t*>(out);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = rgba + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 4;
        std::uint8_t* row = bytes + static_cast<std::size_t>(y + pack.skipRows) * stride +
                            static_cast<std::size_t>(pack.skipPixels) * static_cast<std::size_t>(n);
        if (n == 4 && !bgr) {
            std::memcpy(row, in, static_cast<std::size_t>(width) * 4);
            continue;
        }
        for (int x = 0; x < width; ++x, in += 4, row += n) {
            row[0] = in[bgr ? 2 : 0];
            row[1] = in[1];
            row[2] = in[bgr ? 0 : 2];
            if (n == 4) row[3] = in[3];
        }
    }
    return true;
}

}  // namespace gfx::gles3
