// mask.tga: a viewfinder-like frame that dresses the edges of the band. The show adds it at
// half strength over every frame and does not sway it, so it is composed for the still view.
#include <algorithm>
#include <cmath>

#include "tools/assets/canvas_draw.h"
#include "tools/assets/pictures.h"

namespace assets {

namespace {

constexpr float kLeft = static_cast<float>(kStillLeft);
constexpr float kRight = static_cast<float>(kStillRight);
constexpr float kTop = static_cast<float>(kVisibleTop);
constexpr float kBottom = static_cast<float>(kVisibleBottom);

// A soft light band rising from the top and bottom edges, strongest in the middle.
void addEdgeLight(Canvas& c) {
    const Rgb deep = hexRgb(0x3A1C78);
    const Rgb rim = hexRgb(0x7A4FD8);
    // Only the rows and columns that reach the band: the rest is never seen.
    for (int y = kVisibleTop; y < kVisibleBottom; ++y) {
        const float fy = static_cast<float>(y) + 0.5f;
        const float fromEdge = std::min(fy - kTop, kBottom - fy);
        if (fromEdge > 90.0f) continue;
        const float fall = std::exp(-fromEdge / 22.0f);
        for (int x = kStillLeft; x < kStillRight; ++x) {
            const float u = (static_cast<float>(x) + 0.5f - 512.0f) / 512.0f;
            const float across = 0.55f + 0.45f * std::cos(u * 1.5707964f);
            c.at(x, y) = c.at(x, y) + mixRgb(deep, rim, fall) * (0.9f * fall * across);
        }
    }
}

// Two thin lines inset from the visible edges, the inner one fainter.
void addFrameLines(Canvas& c) {
    const Rgb line = hexRgb(0x8FB8FF) * 0.75f;
    const Rgb faint = hexRgb(0x8FB8FF) * 0.28f;
    const float outer = 10.0f;
    const float inner = 17.0f;
    const float l = kLeft + outer, r = kRight - outer, t = kTop + outer, b = kBottom - outer;
    addLine(c, l, t, r, t, 1.2f, line);
    addLine(c, l, b, r, b, 1.2f, line);
    addLine(c, l, t, l, b, 1.2f, line);
    addLine(c, r, t, r, b, 1.2f, line);
    const float l2 = kLeft + inner, r2 = kRight - inner, t2 = kTop + inner, b2 = kBottom - inner;
    addLine(c, l2, t2, r2, t2, 1.0f, faint);
    addLine(c, l2, b2, r2, b2, 1.0f, faint);
    addLine(c, l2, t2, l2, b2, 1.0f, faint);
    addLine(c, r2, t2, r2, b2, 1.0f, faint);

    // Ticks along the top and bottom edges, longer every fourth, like a viewfinder's scale.
    for (int i = 1; i < 24; ++i) {
        const float x = l + (r - l) * static_cast<float>(i) / 24.0f;
        const float len = (i % 4 == 0) ? 9.0f : 4.5f;
        addLine(c, x, t, x, t + len, 1.0f, line * 0.8f);
        addLine(c, x, b, x, b - len, 1.0f, line * 0.8f);
    }
}

// Bright corner brackets with a glint at each corner.
void addCorners(Canvas& c) {
    const Rgb bracket = hexRgb(0xD8E6FF);
    const Rgb glint = hexRgb(0xFF7FC8);
    const float inset = 10.0f;
    const float arm = 64.0f;
    const float xs[2] = {kLeft + inset, kRight - inset};
    const float ys[2] = {kTop + inset, kBottom - inset};
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2; ++j) {
            const float x = xs[i];
            const float y = ys[j];
            const float dx = i == 0 ? arm : -arm;
            const float dy = j == 0 ? arm : -arm;
            addLine(c, x, y, x + dx, y, 2.6f, bracket, bracket * 0.2f);
            addLine(c, x, y, x, y + dy, 2.6f, bracket, bracket * 0.2f);
            addGlow(c, x, y, 7.0f, 1.3f, glint * 1.2f);
            addDisc(c, x, y, 2.2f, 1.0f, bracket);
        }
    }
}

}  // namespace

Canvas drawMaskPicture() {
    Canvas c(kSpriteWidth, kSpriteHeight);
    addEdgeLight(c);
    addFrameLines(c);
    addCorners(c);
    markCornerTexels(c);
    return c;
}

}  // namespace assets
