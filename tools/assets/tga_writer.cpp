// TGA encoding of 8-bit pictures, with run-length packets of up to 128 pixels.
#include "tools/assets/tga_writer.h"

#include <cstring>

namespace assets {

namespace {

constexpr std::size_t kMaxPacket = 128;

void appendPixel(std::vector<std::uint8_t>& out, const std::uint8_t* rgba, int channels) {
    out.push_back(rgba[2]);
    out.push_back(rgba[1]);
    out.push_back(rgba[0]);
    if (channels == 4) out.push_back(rgba[3]);
}

// Number of equal pixels from `start` on within one row (at most kMaxPacket).
std::size_t runLength(const std::uint8_t* row, std::size_t start, std::size_t width, int channels) {
    const auto size = static_cast<std::size_t>(channels);
    std::size_t n = 1;
    while (start + n < width && n < kMaxPacket &&
           std::memcmp(row + (start + n) * size, row + start * size, size) == 0) {
        ++n;
    }
    return n;
}

void encodeRow(std::vector<std::uint8_t>& out, const std::uint8_t* row, std::size_t width, int channels) {
    const auto size = static_cast<std::size_t>(channels);
    std::size_t i = 0;
    while (i < width) {
        const std::size_t run = runLength(row, i, width, channels);
        if (run >= 2) {
            out.push_back(static_cast<std::uint8_t>(0x80 | (run - 1)));
            appendPixel(out, row + i * size, channels);
            i += run;
            continue;
        }
        // Literal pixels up to the next pair of equal ones.
        std::size_t count = 1;
        while (i + count < width && count < kMaxPacket && runLength(row, i + count, width, channels) < 2) ++count;
        out.push_back(static_cast<std::uint8_t>(count - 1));
        for (std::size_t k = 0; k < count; ++k) appendPixel(out, row + (i + k) * size, channels);
        i += count;
    }
}

}  // namespace

std::vector<std::uint8_t> encodeTga(const Image8& image, TgaEncoding encoding) {
    std::vector<std::uint8_t> out(18, 0);
    out[2] = encoding == TgaEncoding::kRunLength ? 10 : 2;
    out[12] = static_cast<std::uint8_t>(image.width & 0xFF);
    out[13] = static_cast<std::uint8_t>((image.width >> 8) & 0xFF);
    out[14] = static_cast<std::uint8_t>(image.height & 0xFF);
    out[15] = static_cast<std::uint8_t>((image.height >> 8) & 0xFF);
    out[16] = static_cast<std::uint8_t>(image.channels * 8);
    out[17] = image.channels == 4 ? 8 : 0;  // alpha bits; origin bits 0 = lower left

    const auto width = static_cast<std::size_t>(image.width);
    const std::size_t rowBytes = width * static_cast<std::size_t>(image.channels);
    out.reserve(18 + rowBytes * static_cast<std::size_t>(image.height));
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* row = image.bytes.data() + static_cast<std::size_t>(y) * rowBytes;
        if (encoding == TgaEncoding::kRunLength) {
            encodeRow(out, row, width, image.channels);
        } else {
            for (std::size_t x = 0; x < width; ++x)
                appendPixel(out, row + x * static_cast<std::size_t>(image.channels), image.channels);
        }
    }
    return out;
}

}  // namespace assets
