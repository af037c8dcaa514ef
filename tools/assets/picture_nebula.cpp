// mivra.tga: the giant ball's picture, a nebula of warped clouds and stars. Sphere mapping
// stretches it over the whole view behind the credits, so it is bright, colourful and busy.
#include <algorithm>
#include <cmath>

#include "tools/assets/canvas_draw.h"
#include "tools/assets/pictures.h"
#include "tools/assets/random.h"

namespace assets {

namespace {

Rgb nebulaRamp(float v) {
    struct Stop {
        float at;
        std::uint32_t colour;
    };
    static const Stop stops[] = {{0.00f, 0x04020E}, {0.30f, 0x2A0A50}, {0.48f, 0x7A1CA0}, {0.62f, 0xF03C88},
                                 {0.78f, 0xFF9A3C}, {0.92f, 0xFFF0C0}, {1.00f, 0xFFFFFF}};
    v = std::clamp(v, 0.0f, 1.0f);
    for (std::size_t i = 1; i < std::size(stops); ++i) {
        if (v <= stops[i].at) {
            const float t = (v - stops[i - 1].at) / (stops[i].at - stops[i - 1].at);
            return mixRgb(hexRgb(stops[i - 1].colour), hexRgb(stops[i].colour), t);
        }
    }
    return hexRgb(0xFFFFFF);
}

}  // namespace

Canvas drawGiantBallPicture() {
    constexpr int kSize = 1024;
    Canvas c(kSize, kSize);
    const float scale = 6.0f / static_cast<float>(kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float px = static_cast<float>(x) * scale;
            const float py = static_cast<float>(y) * scale;
            // Clouds warped by clouds, so they swirl instead of lying in blobs.
            const float qx = fractalNoise(px, py, 64, 5, 11);
            const float qy = fractalNoise(px + 5.2f, py + 1.3f, 64, 5, 23);
            const float v = fractalNoise(px + 4.0f * qx, py + 4.0f * qy, 64, 5, 37);
            const float detail = fractalNoise(px * 3.0f, py * 3.0f, 64, 3, 41);
            const float density = std::pow(std::clamp((v - 0.28f) * 2.1f, 0.0f, 1.0f), 1.3f);
            const Rgb teal = hexRgb(0x19C8C0) * (0.55f * smoothStep(0.55f, 0.8f, qy) * (1.0f - density));
            c.at(x, y) = nebulaRamp(density * (0.8f + 0.4f * detail)) + teal;
        }
    }
    // Stars: many faint points, a few bright ones with halos.
    Random random(0x57A25);
    for (int i = 0; i < 1400; ++i) {
        const float x = random.range(0.0f, kSize);
        const float y = random.range(0.0f, kSize);
        const float b = std::pow(random.uniform(), 3.0f);
        addDisc(c, x, y, 0.6f + 1.2f * b, 1.0f, Rgb{0.9f, 0.92f, 1.0f} * (0.35f + 0.65f * b));
        if (b > 0.55f) addGlow(c, x, y, 3.0f + 4.0f * b, 1.3f, hexRgb(0xBFD8FF) * (0.5f * b));
    }
    return c;
}

}  // namespace assets
