// A small, strict TGA reader of the tests' own, for checking generated pictures byte by byte:
// the two true-colour header templates, 24 or 32 bits, uncompressed or run-length packets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct TgaPicture {
    int type = 0;  // 2 or 10
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    int descriptor = 0;
    std::vector<std::uint8_t> rgba;  // four bytes a pixel, bottom row first as the file stores it
    int packets = 0;                 // run-length packets read
    bool packetCrossesRow = false;   // a packet carried pixels of two rows

    // Pixel counted from the top-left corner, as the picture is seen.
    const std::uint8_t* pixel(int x, int yFromTop) const {
        return rgba.data() + (static_cast<std::size_t>(height - 1 - yFromTop) * static_cast<std::size_t>(width) +
                              static_cast<std::size_t>(x)) *
                                 4;
    }
};

// Decodes the whole file; false with the reason in `error` when anything is off.
inline bool decodeTga(const std::string& bytes, TgaPicture& picture, std::string& error) {
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    if (bytes.size() < 18) {
        error = "shorter than a header";
        return false;
    }
    for (std::size_t i = 0; i < 12; ++i) {
        if (i != 2 && byte(i) != 0) {
            error = "header byte " + std::to_string(i) + " is not zero";
            return false;
        }
    }
    picture.type = byte(2);
    if (picture.type != 2 && picture.type != 10) {
        error = "image type " + std::to_string(picture.type);
        return false;
    }
    picture.width = byte(12) | (byte(13) << 8);
    picture.height = byte(14) | (byte(15) << 8);
    picture.bitsPerPixel = byte(16);
    picture.descriptor = byte(17);
    if (picture.width == 0 || picture.height == 0 || (picture.bitsPerPixel != 24 && picture.bitsPerPixel != 32)) {
        error = "bad size or depth";
        return false;
    }
    const std::size_t size = static_cast<std::size_t>(picture.bitsPerPixel / 8);
    const std::size_t count = static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
    picture.rgba.assign(count * 4, 0);
    std::size_t at = 18;
    std::size_t done = 0;
    auto store = [&](std::size_t from) {
        std::uint8_t* p = picture.rgba.data() + done * 4;
        p[0] = byte(from + 2);
        p[1] = byte(from + 1);
        p[2] = byte(from + 0);
        p[3] = size == 4 ? byte(from + 3) : 255;
        ++done;
    };
    if (picture.type == 2) {
        if (bytes.size() < at + count * size) {
            error = "pixel data cut short";
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) store(at + i * size);
        return true;
    }
    const auto width = static_cast<std::size_t>(picture.width);
    while (done < count) {
        if (at >= bytes.size()) {
            error = "file ends before the last packet";
            return false;
        }
        const std::uint8_t header = byte(at++);
        const std::size_t n = (header & 0x7F) + 1u;
        if (done + n > count) {
            error = "packet runs past the last pixel";
            return false;
        }
        if (done / width != (done + n - 1) / width) picture.packetCrossesRow = true;
        ++picture.packets;
        if (header & 0x80) {
            if (at + size > bytes.size()) {
                error = "run packet cut short";
                return false;
            }
            for (std::size_t k = 0; k < n; ++k) store(at);
            at += size;
        } else {
            if (at + n * size > bytes.size()) {
                error = "raw packet cut short";
                return false;
            }
            for (std::size_t k = 0; k < n; ++k) store(at + k * size);
            at += n * size;
        }
    }
    return true;
}

}  // namespace testing_support
