// What the DIB decoder knows about one bitmap once its headers are read; shared by the
// uncompressed and the run-length decoders.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dib {

// Bounds-checked little-endian reads over the file's bytes.
struct Bytes {
    const std::uint8_t* data;
    std::size_t size;

    bool has(std::uint64_t offset, std::uint64_t count) const { return offset <= size && count <= size - offset; }
    // Callers check `has` first.
    std::uint32_t u16(std::size_t offset) const;
    std::uint32_t u32(std::size_t offset) const;
};

// One colour of a 16- or 32-bit pixel: where its bits are and how to widen them to 8.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    std::uint8_t scale(std::uint32_t pixel) const;
};
Channel channelOf(std::uint32_t mask);

struct Layout {
    std::int32_t width = 0;
    std::int32_t height = 0;  // as stored: negative for top-down
    std::int64_t rows = 0;    // |height|
    bool topDown = false;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;
    Channel red, green, blue;
    std::uint32_t paletteSize = 0;      // entries held, at most 256
    std::uint8_t palette[256][3] = {};  // red, green, blue
    std::uint64_t bitsOffset = 0;       // from the first byte of the file

    void putIndex(std::uint8_t* rgb, std::uint32_t index) const;
    void putMasked(std::uint8_t* rgb, std::uint32_t pixel) const;
};

// Fills `out` (zeroed, width x rows x 3) from RLE8 or RLE4 data; false when the data end
// inside a packet.
bool decodeRunLength(const Bytes& file, const Layout& layout, std::uint8_t* out);

}  // namespace dib
