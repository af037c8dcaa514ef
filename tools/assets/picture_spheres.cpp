// ball.tga and ball_sur.tga: the third scene's ball surface, wrapped by the quadric's own
// coordinates (longitude across, the +z pole at the top), and the chrome-like environment
// that every ball reflects through sphere mapping.
#include <algorithm>
#include <cmath>

#include "tools/assets/canvas_draw.h"
#include "tools/assets/pictures.h"

namespace assets {

namespace {

struct Vec3 {
    float x, y, z;
};
float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 normalised(Vec3 v) {
    const float l = std::sqrt(dot(v, v));
    return {v.x / l, v.y / l, v.z / l};
}

// Anti-aliased stripe weight: 1 within `half` of a line at distance d, fading over `soft`.
float stripe(float d, float half, float soft) { return std::clamp((half - std::fabs(d)) / soft + 0.5f, 0.0f, 1.0f); }

// Light arriving from direction r (eye space, y up, the viewer looking down -z).
Rgb environment(Vec3 r) {
    Rgb colour;
    if (r.y >= 0.0f) {
        // Sky: a deep blue dome brightening towards a cyan horizon.
        const float h = r.y;
        colour = mixRgb(hexRgb(0x2A4A9A) * 0.55f, hexRgb(0x060A2A), std::sqrt(h));
    } else {
        // Floor: dark violet with a magenta grid on the plane one unit below.
        const float reach = 1.0f / -r.y;
        const float fx = r.x * reach * 2.0f;
        const float fz = r.z * reach * 2.0f;
        const float fade = std::exp(-reach * 0.18f);
        const float width = 0.05f + 0.02f * reach;
        const float lines =
            std::max(stripe(fx - std::round(fx), width, width), stripe(fz - std::round(fz), width, width));
        colour = hexRgb(0x1A0818) + hexRgb(0xFF3FA0) * (0.75f * lines * fade);
    }
    // The horizon: a bright thin band.
    colour = colour + hexRgb(0x9FE8FF) * (0.85f * std::exp(-std::fabs(r.y) * 22.0f));
    // Soft boxes: a large key light above left behind the viewer, a strip on the right, a rim
    // light above.
    struct Light {
        Vec3 direction;
        float size, strength;
        std::uint32_t colour;
    };
    const Light lights[] = {
        {normalised({-0.55f, 0.55f, 0.62f}), 0.22f, 1.3f, 0xFFF4E8},
        {normalised({0.80f, 0.18f, 0.35f}), 0.10f, 0.9f, 0xCFE8FF},
        {normalised({0.10f, 0.95f, -0.30f}), 0.16f, 0.7f, 0xFFD8F0},
    };
    for (const Light& light : lights) {
        const float c = dot(r, light.direction);
        const float angle = std::acos(std::clamp(c, -1.0f, 1.0f));
        const float body = std::clamp((light.size - angle) / 0.02f, 0.0f, 1.0f);
        const float halo = std::exp(-angle * angle / (light.size * light.size * 4.0f)) * 0.25f;
        colour = colour + hexRgb(light.colour) * (light.strength * (body + halo));
    }
    return colour;
}

}  // namespace

Canvas drawBallPicture() {
    Canvas c(512, 256);
    const Rgb palette[4] = {hexRgb(0xC83A78), hexRgb(0xE0822A), hexRgb(0x1E9EAE), hexRgb(0x6244C8)};
    for (int y = 0; y < c.height; ++y) {
        const float latitude = 90.0f - 180.0f * (static_cast<float>(y) + 0.5f) / static_cast<float>(c.height);
        const float polar = std::fabs(latitude);
        for (int x = 0; x < c.width; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(c.width);
            // Eight gores in two rounds of four colours, their seams slightly soft.
            const float g = u * 8.0f;
            const int gore = static_cast<int>(g) % 8;
            const float seam = std::min(g - std::floor(g), std::ceil(g) - g) * static_cast<float>(c.width) / 8.0f;
            Rgb base = palette[gore % 4] * (0.72f + 0.28f * smoothStep(0.0f, 3.0f, seam));
            // A little grain so the surface reads as a material, not flat paint.
            base = base * (0.9f + 0.2f * fractalNoise(u * 16.0f, static_cast<float>(y) / 16.0f, 16, 3, 77));
            // Pale caps at both poles, rimmed with a bright ring, and a light band at the equator.
            const float cap = smoothStep(68.0f, 70.0f, polar);
            base = mixRgb(base, hexRgb(0xE8E0F0) * 0.8f, cap);
            base = base + hexRgb(0xFFFFFF) * (0.5f * stripe(polar - 70.0f, 1.2f, 1.0f));
            base = base + hexRgb(0xFFE8A0) * (0.45f * stripe(latitude, 1.6f, 1.0f));
            c.at(x, y) = base;
        }
    }
    return c;
}

Canvas drawChromeEnvironment() {
    Canvas c(512, 512);
    const float half = static_cast<float>(c.width) * 0.5f;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            // Sphere mapping reads the texel at (s, t) for the eye-space normal (2s - 1, 2t - 1, nz),
            // reflecting the view ray into r = (2 nz nx, 2 nz ny, 2 nz^2 - 1).
            const float nx = (static_cast<float>(x) + 0.5f) / half - 1.0f;
            const float ny = 1.0f - (static_cast<float>(y) + 0.5f) / half;
            const float rr = std::min(nx * nx + ny * ny, 1.0f);
            const float nz = std::sqrt(1.0f - rr);
            const Vec3 r = {2.0f * nz * nx, 2.0f * nz * ny, 2.0f * nz * nz - 1.0f};
            c.at(x, y) = environment(r);
        }
    }
    markCornerTexels(c);
    return c;
}

}  // namespace assets
