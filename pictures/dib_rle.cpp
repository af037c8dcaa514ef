// Run-length DIBs (RLE8 and RLE4): runs, absolute runs, end of line, end of bitmap and
// delta moves. Pixels past the end of a row are dropped; pixels never reached stay black.
#include "pictures/dib_layout.h"

namespace dib {

namespace {
constexpr std::uint32_t kRle4 = 2;
}

bool decodeRunLength(const Bytes& file, const Layout& layout, std::uint8_t* out) {
    const bool fourBit = layout.compression == kRle4;
    const std::uint64_t width = static_cast<std::uint64_t>(layout.width);
    const std::uint64_t rows = static_cast<std::uint64_t>(layout.rows);
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::uint64_t pos = layout.bitsOffset;
    const auto put = [&](std::uint32_t index) {
        if (x < width) layout.putIndex(out + (y * width + x) * 3, index);
        ++x;
    };
    // Nibbles alternate high, low within each byte for RLE4.
    const auto indexAt = [&](std::uint8_t byte, std::uint32_t i) -> std::uint32_t {
        if (!fourBit) return byte;
        return i % 2 == 0 ? byte >> 4 : byte & 0x0Fu;
    };

    while (y < rows) {
        // Data that stop between packets without an end-of-bitmap mark leave the rest black.
        if (pos >= file.size) return true;
        if (!file.has(pos, 2)) return false;
        const std::uint32_t count = file.data[pos];
        const std::uint8_t value = file.data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (std::uint32_t i = 0; i < count; ++i) put(indexAt(value, i));
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (!file.has(pos, 2)) return false;
            x += file.data[pos];
            y += file.data[pos + 1];
            pos += 2;
        } else {
            const std::uint32_t dataBytes = fourBit ? (value + 1u) / 2 : value;
            if (!file.has(pos, dataBytes)) return false;
            for (std::uint32_t i = 0; i < value; ++i) {
                put(indexAt(file.data[pos + (fourBit ? i / 2 : i)], i));
            }
            // Absolute runs are padded to a 16-bit boundary.
            pos += dataBytes + dataBytes % 2;
        }
    }
    return true;
}

}  // namespace dib
