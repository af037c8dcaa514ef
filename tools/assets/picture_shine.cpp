// shine.tga: a light source high on the left with a soft halo, a fan of rays and a few faint
// lens ghosts across the view. Drawn over most scenes at varying strength, up to one and a
// half times over the giant ball, so its core is small and its halo gentle.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assets/canvas_draw.h"
#include "tools/assets/pictures.h"
#include "tools/assets/random.h"

namespace assets {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kCentreX = 300.0f;
constexpr float kCentreY = 148.0f;
constexpr int kProfileSize = 4096;

// Ray strength by angle: a sum of narrow and broad lobes at fixed pseudo-random angles.
std::vector<float> rayProfile() {
    std::vector<float> profile(kProfileSize, 0.0f);
    Random random(0x5417E);
    struct Lobe {
        float angle, width, strength;
    };
    std::vector<Lobe> lobes;
    for (int i = 0; i < 34; ++i)
        lobes.push_back({random.range(0.0f, 2.0f * kPi), random.range(0.008f, 0.04f), random.range(0.25f, 1.0f)});
    for (int i = 0; i < 9; ++i)
        lobes.push_back({random.range(0.0f, 2.0f * kPi), random.range(0.06f, 0.14f), random.range(0.12f, 0.3f)});
    for (int k = 0; k < kProfileSize; ++k) {
        const float a = 2.0f * kPi * static_cast<float>(k) / kProfileSize;
        float sum = 0.0f;
        for (const Lobe& lobe : lobes) {
            float d = std::fabs(a - lobe.angle);
            d = std::min(d, 2.0f * kPi - d);
            sum += lobe.strength * std::exp(-(d * d) / (lobe.width * lobe.width));
        }
        profile[static_cast<std::size_t>(k)] = sum;
    }
    return profile;
}

void addRays(Canvas& c) {
    const std::vector<float> profile = rayProfile();
    const Rgb warm = hexRgb(0xFFE2B0);
    const Rgb cool = hexRgb(0xB8A8FF);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - kCentreX;
            const float dy = static_cast<float>(y) + 0.5f - kCentreY;
            const float d = std::sqrt(dx * dx + dy * dy);
            float a = std::atan2(dy, dx);
            if (a < 0.0f) a += 2.0f * kPi;
            const auto k = static_cast<std::size_t>(a / (2.0f * kPi) * kProfileSize) % kProfileSize;
            const float radial = (1.0f - std::exp(-d / 40.0f)) * std::exp(-d / 330.0f);
            const float strength = profile[k] * radial * 0.2f;
            c.at(x, y) = c.at(x, y) + mixRgb(warm, cool, std::min(d / 600.0f, 1.0f)) * strength;
        }
    }
}

// Ghosts of the light along the line from it through the middle of the view.
void addGhosts(Canvas& c) {
    const float vx = kSpriteWidth * 0.5f - kCentreX;
    const float vy = kSpriteHeight * 0.5f - kCentreY;
    struct Ghost {
        float t, radius, strength;
        std::uint32_t colour;
    };
    const Ghost ghosts[] = {
        {0.55f, 14.0f, 0.10f, 0x7FFFD0},
        {1.35f, 34.0f, 0.05f, 0x7F9FFF},
        {1.75f, 10.0f, 0.10f, 0xFF9FD0},
        {2.25f, 52.0f, 0.04f, 0x9F7FFF},
    };
    for (const Ghost& g : ghosts) {
        addDisc(c, kCentreX + vx * g.t, kCentreY + vy * g.t, g.radius, g.radius * 0.5f, hexRgb(g.colour) * g.strength);
    }
    addRing(c, kCentreX + vx * 2.0f, kCentreY + vy * 2.0f, 70.0f, 3.0f, hexRgb(0x9FD8FF) * 0.05f);
}

}  // namespace

Canvas drawShinePicture() {
    Canvas c(kSpriteWidth, kSpriteHeight);
    addGlow(c, kCentreX, kCentreY, 320.0f, 1.0f, hexRgb(0x5A3CB0) * 0.10f);
    addGlow(c, kCentreX, kCentreY, 90.0f, 1.1f, hexRgb(0xFF8A70) * 0.26f);
    addGlow(c, kCentreX, kCentreY, 16.0f, 1.4f, hexRgb(0xFFE8C8) * 0.60f);
    addRays(c);
    addGhosts(c);
    addDisc(c, kCentreX, kCentreY, 5.0f, 3.0f, {0.5f, 0.5f, 0.5f});
    markCornerTexels(c);
    return c;
}

}  // namespace assets
