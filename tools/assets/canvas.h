// A floating-point RGB picture, top row first, on which the generated pictures are composed,
// and its conversion to the 8-bit pixels that the picture files store.
#pragma once

#include <cstdint>
#include <vector>

namespace assets {

struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float s) { return {a.r * s, a.g * s, a.b * s}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb mixRgb(Rgb a, Rgb b, float t) { return a * (1.0f - t) + b * t; }
// 0xRRGGBB as a colour.
inline Rgb hexRgb(std::uint32_t rgb) {
    return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f, static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(rgb & 0xFF) / 255.0f};
}

class Canvas {
public:
    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h)) {}

    Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x]; }
    const Rgb& at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x];
    }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    // Adds light at one pixel; pixels outside the canvas are ignored.
    void add(int x, int y, Rgb c) {
        if (contains(x, y)) at(x, y) = at(x, y) + c;
    }

    int width;
    int height;
    std::vector<Rgb> pixels;
};

// 8-bit pixels, top row first, red-green-blue(-alpha) order.
struct Image8 {
    int width = 0;
    int height = 0;
    int channels = 0;  // 3 or 4
    std::vector<std::uint8_t> bytes;
};

// Clamps to [0, 1] and rounds; with four channels every alpha is 255, so the show's additive
// blending sees exactly the colour (black adds nothing).
Image8 toImage8(const Canvas& canvas, int channels);

}  // namespace assets
