// Anti-aliased shapes, glows, blurs and value noise on a Canvas.
#include "tools/assets/canvas_draw.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assets/random.h"

namespace assets {

namespace {

struct Box {
    int x0, y0, x1, y1;  // inclusive-exclusive, clipped to the canvas
};

Box clipBox(const Canvas& c, float x0, float y0, float x1, float y1) {
    Box b;
    b.x0 = std::max(0, static_cast<int>(std::floor(x0)));
    b.y0 = std::max(0, static_cast<int>(std::floor(y0)));
    b.x1 = std::min(c.width, static_cast<int>(std::ceil(x1)) + 1);
    b.y1 = std::min(c.height, static_cast<int>(std::ceil(y1)) + 1);
    return b;
}

// Coverage of a pixel whose centre lies `distance` inside (positive) or outside an edge.
float edgeCoverage(float distance, float soft) { return std::clamp(0.5f + distance / soft, 0.0f, 1.0f); }

// One running-sum box pass of the given radius along rows (stride 1) or columns.
void boxPass(std::vector<Rgb>& data, int count, int length, std::size_t stride, std::size_t lineStep, int radius) {
    std::vector<Rgb> line(static_cast<std::size_t>(length));
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int l = 0; l < count; ++l) {
        Rgb* base = data.data() + static_cast<std::size_t>(l) * lineStep;
        for (int i = 0; i < length; ++i) line[static_cast<std::size_t>(i)] = base[static_cast<std::size_t>(i) * stride];
        // Outside the picture counts as black, so glows fade at the borders instead of smearing.
        Rgb sum;
        for (int i = 0; i <= std::min(radius, length - 1); ++i) sum = sum + line[static_cast<std::size_t>(i)];
        for (int i = 0; i < length; ++i) {
            base[static_cast<std::size_t>(i) * stride] = sum * norm;
            const int enter = i + radius + 1;
            const int leave = i - radius;
            if (enter < length) sum = sum + line[static_cast<std::size_t>(enter)];
            if (leave >= 0) sum = sum + line[static_cast<std::size_t>(leave)] * -1.0f;
        }
    }
}

}  // namespace

float smoothStep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

void addGlow(Canvas& canvas, float cx, float cy, float radius, float falloff, Rgb colour) {
    // Reach: where the profile drops below 1/512 of its peak.
    const float reach = radius * std::sqrt(std::pow(512.0f, 1.0f / falloff) - 1.0f);
    const Box b = clipBox(canvas, cx - reach, cy - reach, cx + reach, cy + reach);
    const float inv = 1.0f / (radius * radius);
    for (int y = b.y0; y < b.y1; ++y) {
        for (int x = b.x0; x < b.x1; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - cx;
            const float dy = static_cast<float>(y) + 0.5f - cy;
            const float w = std::pow(1.0f + (dx * dx + dy * dy) * inv, -falloff);
            canvas.at(x, y) = canvas.at(x, y) + colour * w;
        }
    }
}

void addDisc(Canvas& canvas, float cx, float cy, float radius, float soft, Rgb colour) {
    const float reach = radius + soft;
    const Box b = clipBox(canvas, cx - reach, cy - reach, cx + reach, cy + reach);
    for (int y = b.y0; y < b.y1; ++y) {
        for (int x = b.x0; x < b.x1; ++x) {
            const float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy);
            const float w = edgeCoverage(radius - d, soft);
            if (w > 0.0f) canvas.at(x, y) = canvas.at(x, y) + colour * w;
        }
    }
}

void addRing(Canvas& canvas, float cx, float cy, float radius, float strokeWidth, Rgb colour) {
    const float half = strokeWidth * 0.5f;
    const float reach = radius + half + 1.0f;
    const Box b = clipBox(canvas, cx - reach, cy - reach, cx + reach, cy + reach);
    for (int y = b.y0; y < b.y1; ++y) {
        for (int x = b.x0; x < b.x1; ++x) {
            const float d = std::hypot(static_cast<float>(x) + 0.5f - cx, static_cast<float>(y) + 0.5f - cy);
            const float w = edgeCoverage(half - std::fabs(d - radius), 1.0f);
            if (w > 0.0f) canvas.at(x, y) = canvas.at(x, y) + colour * w;
        }
    }
}

void addLine(Canvas& canvas, float x0, float y0, float x1, float y1, float strokeWidth, Rgb colourA, Rgb colourB) {
    const float half = strokeWidth * 0.5f;
    const float reach = half + 1.0f;
    const Box b = clipBox(canvas, std::min(x0, x1) - reach, std::min(y0, y1) - reach, std::max(x0, x1) + reach,
                          std::max(y0, y1) + reach);
    const float ex = x1 - x0;
    const float ey = y1 - y0;
    const float lengthSquared = ex * ex + ey * ey;
    for (int y = b.y0; y < b.y1; ++y) {
        for (int x = b.x0; x < b.x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f - x0;
            const float py = static_cast<float>(y) + 0.5f - y0;
            float t = lengthSquared > 0.0f ? (px * ex + py * ey) / lengthSquared : 0.0f;
            t = std::clamp(t, 0.0f, 1.0f);
            const float d = std::hypot(px - t * ex, py - t * ey);
            const float w = edgeCoverage(half - d, 1.0f);
            if (w > 0.0f) canvas.at(x, y) = canvas.at(x, y) + mixRgb(colourA, colourB, t) * w;
        }
    }
}

void addRect(Canvas& canvas, float x0, float y0, float x1, float y1, Rgb colour) {
    const Box b = clipBox(canvas, x0, y0, x1, y1);
    for (int y = b.y0; y < b.y1; ++y) {
        const float fy = static_cast<float>(y);
        const float wy = std::clamp(std::min(fy + 1.0f, y1) - std::max(fy, y0), 0.0f, 1.0f);
        for (int x = b.x0; x < b.x1; ++x) {
            const float fx = static_cast<float>(x);
            const float wx = std::clamp(std::min(fx + 1.0f, x1) - std::max(fx, x0), 0.0f, 1.0f);
            if (wx * wy > 0.0f) canvas.at(x, y) = canvas.at(x, y) + colour * (wx * wy);
        }
    }
}

void blur(Canvas& canvas, float sigma) {
    if (sigma <= 0.0f) return;
    // Three box passes of width w approximate a Gaussian of variance 3 (w^2 - 1) / 12.
    const int radius =
        std::max(1, static_cast<int>(std::lround((std::sqrt(4.0f * sigma * sigma + 1.0f) - 1.0f) * 0.5f)));
    const auto w = static_cast<std::size_t>(canvas.width);
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(canvas.pixels, canvas.height, canvas.width, 1, w, radius);
        boxPass(canvas.pixels, canvas.width, canvas.height, w, 1, radius);
    }
}

void addCanvas(Canvas& dst, const Canvas& src, float scale) {
    const std::size_t n = std::min(dst.pixels.size(), src.pixels.size());
    for (std::size_t i = 0; i < n; ++i) dst.pixels[i] = dst.pixels[i] + src.pixels[i] * scale;
}

void tint(Canvas& canvas, Rgb factor) {
    for (Rgb& p : canvas.pixels) p = p * factor;
}

float valueNoise(float x, float y, int period, std::uint32_t seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const float tx = x - fx;
    const float ty = y - fy;
    auto wrap = [period](float v) {
        int i = static_cast<int>(v) % period;
        return i < 0 ? i + period : i;
    };
    const int x0 = wrap(fx);
    const int y0 = wrap(fy);
    const int x1 = (x0 + 1) % period;
    const int y1 = (y0 + 1) % period;
    const float sx = tx * tx * (3.0f - 2.0f * tx);
    const float sy = ty * ty * (3.0f - 2.0f * ty);
    const float a = hash2(x0, y0, seed) + (hash2(x1, y0, seed) - hash2(x0, y0, seed)) * sx;
    const float b = hash2(x0, y1, seed) + (hash2(x1, y1, seed) - hash2(x0, y1, seed)) * sx;
    return a + (b - a) * sy;
}

float fractalNoise(float x, float y, int period, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(x, y, period, seed + static_cast<std::uint32_t>(o) * 7919u);
        total += amplitude;
        amplitude *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
    }
    return sum / total;
}

}  // namespace assets
