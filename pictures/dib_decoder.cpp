// The DIB decoder: file and bitmap headers, colour tables and bit fields, and every pixel
// layout (1 to 32 bits, run-length 8 and 4) converted to bottom-up 24-bit RGB.
#include <cstdlib>
#include <cstring>

#include "pictures/dib_image.h"
#include "pictures/dib_layout.h"

namespace dib {

std::uint32_t Bytes::u16(std::size_t offset) const {
    return static_cast<std::uint32_t>(data[offset]) | static_cast<std::uint32_t>(data[offset + 1]) << 8;
}

std::uint32_t Bytes::u32(std::size_t offset) const { return u16(offset) | u16(offset + 2) << 16; }

Channel channelOf(std::uint32_t mask) {
    Channel channel;
    channel.mask = mask;
    if (mask == 0) return channel;
    while (((mask >> channel.shift) & 1u) == 0) ++channel.shift;
    for (std::uint32_t rest = mask >> channel.shift; rest != 0; rest >>= 1) ++channel.bits;
    return channel;
}

std::uint8_t Channel::scale(std::uint32_t pixel) const {
    if (bits == 0) return 0;
    const std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<std::uint8_t>(value >> (bits - 8));
    // Repeat the bits downward so that the top value becomes 255, not 248.
    std::uint32_t wide = value << (8 - bits);
    for (int step = bits; step < 8; step *= 2) wide |= wide >> step;
    return static_cast<std::uint8_t>(wide);
}

namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;

// The headers and colour table. kOk, or why the bitmap cannot be read.
DibStatus readLayout(const Bytes& file, Layout& layout) {
    std::size_t base = 0;
    bool fileHeader = false;
    if (file.has(0, 2) && file.data[0] == 'B' && file.data[1] == 'M') {
        if (!file.has(0, 14)) return DibStatus::kUnknownFormat;
        fileHeader = true;
        base = 14;
    }
    if (!file.has(base, 4)) return DibStatus::kUnknownFormat;
    const std::uint32_t headerSize = file.u32(base);
    std::uint32_t colorsUsed = 0;
    std::size_t entrySize = 4;
    if (headerSize == 12) {
        if (!file.has(base, 12)) return DibStatus::kUnknownFormat;
        layout.width = file.u16(base + 4);
        layout.height = file.u16(base + 6);
        layout.bitCount = file.u16(base + 10);
        layout.compression = kRgb;
        entrySize = 3;
    } else if (headerSize == 40) {
        if (!file.has(base, 40)) return DibStatus::kUnknownFormat;
        layout.width = static_cast<std::int32_t>(file.u32(base + 4));
        layout.height = static_cast<std::int32_t>(file.u32(base + 8));
        layout.bitCount = file.u16(base + 14);
        layout.compression = file.u32(base + 16);
        colorsUsed = file.u32(base + 32);
    } else {
        return DibStatus::kUnknownFormat;
    }

    const std::uint32_t bits = layout.bitCount;
    switch (layout.compression) {
        case kRgb:
            if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
                return DibStatus::kConversionError;
            }
            break;
        case kRle8:
        case kRle4:
            // Run-length bitmaps are bottom-up only.
            if (bits != (layout.compression == kRle8 ? 8u : 4u) || layout.height < 0) {
                return DibStatus::kConversionError;
            }
            break;
        case kBitFields:
            if (bits != 16 && bits != 32) return DibStatus::kConversionError;
            break;
        default: return DibStatus::kConversionError;
    }
    if (layout.width <= 0 || layout.height == 0) return DibStatus::kConversionError;
    layout.topDown = layout.height < 0;
    layout.rows = layout.topDown ? -static_cast<std::int64_t>(layout.height) : layout.height;
    if (layout.rows > INT32_MAX) return DibStatus::kConversionError;

    std::size_t tableOffset = base + headerSize;
    if (layout.compression == kBitFields) {
        if (!file.has(tableOffset, 12)) return DibStatus::kConversionError;
        layout.red = channelOf(file.u32(tableOffset));
        layout.green = channelOf(file.u32(tableOffset + 4));
        layout.blue = channelOf(file.u32(tableOffset + 8));
        tableOffset += 12;
    } else if (bits == 16) {
        layout.red = channelOf(0x7C00);
        layout.green = channelOf(0x03E0);
        layout.blue = channelOf(0x001F);
    } else if (bits == 32) {
        layout.red = channelOf(0xFF0000);
        layout.green = channelOf(0xFF00);
        layout.blue = channelOf(0xFF);
    }

    const std::uint64_t entries = colorsUsed != 0 ? colorsUsed : (bits <= 8 ? 1u << bits : 0u);
    const std::uint64_t tableBytes = entries * entrySize;
    if (!file.has(tableOffset, tableBytes)) return DibStatus::kConversionError;
    layout.paletteSize = entries < 256 ? static_cast<std::uint32_t>(entries) : 256u;
    for (std::uint32_t i = 0; i < layout.paletteSize; ++i) {
        const std::uint8_t* entry = file.data + tableOffset + i * entrySize;
        layout.palette[i][0] = entry[2];
        layout.palette[i][1] = entry[1];
        layout.palette[i][2] = entry[0];
    }

    layout.bitsOffset = fileHeader ? file.u32(10) : tableOffset + tableBytes;
    if (layout.bitsOffset > file.size) return DibStatus::kConversionError;
    return DibStatus::kOk;
}

// Uncompressed rows, each padded to 4 bytes in the file; top-down files are turned over.
void convertRows(const Bytes& file, const Layout& layout, std::size_t stride, std::uint8_t* out) {
    const std::size_t width = static_cast<std::size_t>(layout.width);
    for (std::int64_t fileRow = 0; fileRow < layout.rows; ++fileRow) {
        const std::uint8_t* in = file.data + layout.bitsOffset + static_cast<std::size_t>(fileRow) * stride;
        const std::int64_t outRow = layout.topDown ? layout.rows - 1 - fileRow : fileRow;
        std::uint8_t* rgb = out + static_cast<std::size_t>(outRow) * width * 3;
        for (std::size_t x = 0; x < width; ++x, rgb += 3) {
            switch (layout.bitCount) {
                case 1:
                case 4:
                case 8: {
                    const std::size_t bit = x * layout.bitCount;
                    const std::uint32_t shift = 8 - layout.bitCount - bit % 8;
                    const std::uint32_t index = (in[bit / 8] >> shift) & ((1u << layout.bitCount) - 1);
                    layout.putIndex(rgb, index);
                    break;
                }
                case 16: layout.putMasked(rgb, static_cast<std::uint32_t>(in[x * 2] | in[x * 2 + 1] << 8)); break;
                case 24:
                    rgb[0] = in[x * 3 + 2];
                    rgb[1] = in[x * 3 + 1];
                    rgb[2] = in[x * 3];
                    break;
                default: layout.putMasked(rgb, Bytes{in + x * 4, 4}.u32(0)); break;
            }
        }
    }
}

}  // namespace

void Layout::putIndex(std::uint8_t* rgb, std::uint32_t index) const {
    // An index past the colour table shows black.
    if (index >= paletteSize) {
        rgb[0] = rgb[1] = rgb[2] = 0;
        return;
    }
    std::memcpy(rgb, palette[index], 3);
}

void Layout::putMasked(std::uint8_t* rgb, std::uint32_t pixel) const {
    rgb[0] = red.scale(pixel);
    rgb[1] = green.scale(pixel);
    rgb[2] = blue.scale(pixel);
}

}  // namespace dib

DibStatus decodeDib(const std::uint8_t* bytes, std::size_t size, DibImage** image, std::size_t maxPixelBytes) {
    *image = nullptr;
    const dib::Bytes file{bytes, size};
    dib::Layout layout;
    const DibStatus status = dib::readLayout(file, layout);
    if (status != DibStatus::kOk) return status;

    const bool runLength = layout.compression == dib::kRle8 || layout.compression == dib::kRle4;
    const std::uint64_t width = static_cast<std::uint64_t>(layout.width);
    const std::uint64_t rows = static_cast<std::uint64_t>(layout.rows);
    // Width and rows are below 2^31, so none of these products leaves 64 bits.
    const std::uint64_t stride = (width * layout.bitCount + 31) / 32 * 4;
    if (!runLength) {
        // Every row but the last with its padding; the last may lack it.
        const std::uint64_t lastRow = (width * layout.bitCount + 7) / 8;
        if (!file.has(layout.bitsOffset, lastRow) || rows - 1 > (file.size - layout.bitsOffset - lastRow) / stride) {
            return DibStatus::kConversionError;
        }
    }
    const std::uint64_t outBytes = width * rows * 3;
    if (outBytes > maxPixelBytes || outBytes > SIZE_MAX / 2) return DibStatus::kOutOfMemory;

    auto* result = static_cast<DibImage*>(std::malloc(sizeof(DibImage)));
    // Zeroed: pixels that a run-length file skips are black.
    auto* pixels = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(outBytes), 1));
    if (result == nullptr || pixels == nullptr) {
        std::free(pixels);
        std::free(result);
        return DibStatus::kOutOfMemory;
    }
    if (runLength) {
        if (!dib::decodeRunLength(file, layout, pixels)) {
            std::free(pixels);
            std::free(result);
            return DibStatus::kConversionError;
        }
    } else {
        dib::convertRows(file, layout, static_cast<std::size_t>(stride), pixels);
    }
    result->width = layout.width;
    result->height = static_cast<std::int32_t>(layout.rows);
    result->pixels = pixels;
    *image = result;
    return DibStatus::kOk;
}
