// The viewer's overlay texts and their drawing in window pixels with the bitmap font.
#include "examples/viewer/viewer_hud.h"

#include "engine/bitmap_font.h"
#include "gfx/gfx.h"

namespace {

constexpr int kLineHeight = 28;  // the font is 24 pixels high
constexpr int kMargin = 12;

// What each contact code means: the axis of least penetration and the side on which the
// second model stands (for x the odd code is the minus side, for y and z the plus side).
const char* contactMeaning(int side) {
    switch (side) {
        case 1: return "x, second model on the minus side";
        case 2: return "x, second model on the plus side";
        case 3: return "y, second model on the plus side";
        case 4: return "y, second model on the minus side";
        case 5: return "z, second model on the plus side";
        case 6: return "z, second model on the minus side";
        default: return nullptr;
    }
}

void drawLine(const std::string& line, int x, int y) {
    gfx::rasterPos2i(x, y);
    // Through "%s": a file name with a '%' in it is text, not a format.
    drawText("%s", line.c_str());
}

}  // namespace

std::string overlapText(const HudState& state) {
    if (state.overlapping) return "boxes overlap: yes (3 axes)";
    return "boxes overlap: no (meet along " + std::to_string(state.overlapCount) + " of 3 axes)";
}

std::string contactText(const HudState& state) {
    if (!state.overlapping) return "contact side: none";
    const char* meaning = contactMeaning(state.contactSide);
    if (meaning == nullptr) return "contact side: none (no axis of least penetration)";
    return "contact side: " + std::to_string(state.contactSide) + " (" + meaning + ")";
}

std::string frameText(const HudState& state) {
    std::string text = "frame " + std::to_string(state.frameCount > 0 ? state.currentFrame + 1 : 0) + " of " +
                       std::to_string(state.frameCount);
    if (state.paused) text += ", paused";
    if (state.wireframe) text += ", wireframe";
    if (state.normals) text += ", normals";
    return text;
}

std::vector<std::string> hudStatusLines(const HudState& state) {
    return {frameText(state), overlapText(state), contactText(state)};
}

std::vector<std::string> hudHelpLines() {
    return {"arrows, PgUp, PgDn: move the second model", "W wireframe  N normals  P pause  Esc quit"};
}

void drawHud(const HudState& state, int width, int height) {
    if (width <= 0 || height <= 0) return;
    gfx::pushAttrib(gfx::kEnableBit | gfx::kCurrentBit);
    gfx::disable(gfx::kLighting);
    gfx::disable(gfx::kTexture2D);
    gfx::disable(gfx::kDepthTest);
    gfx::matrixMode(gfx::kProjection);
    gfx::pushMatrix();
    gfx::loadIdentity();
    // Window pixels, y upwards from the bottom row, as raster positions count them.
    gfx::ortho(0.0, width, 0.0, height, -1.0, 1.0);
    gfx::matrixMode(gfx::kModelview);
    gfx::pushMatrix();
    gfx::loadIdentity();

    // The raster colour is taken when the position is set, so the colour comes first.
    gfx::color3f(1.0f, 0.95f, 0.6f);
    int y = height - kMargin - kLineHeight + 6;
    for (const std::string& line : hudStatusLines(state)) {
        drawLine(line, kMargin, y);
        y -= kLineHeight;
    }
    gfx::color3f(0.75f, 0.8f, 0.9f);
    const std::vector<std::string> help = hudHelpLines();
    y = kMargin + static_cast<int>(help.size() - 1) * kLineHeight;
    for (const std::string& line : help) {
        drawLine(line, kMargin, y);
        y -= kLineHeight;
    }

    gfx::popMatrix();
    gfx::matrixMode(gfx::kProjection);
    gfx::popMatrix();
    gfx::matrixMode(gfx::kModelview);
    gfx::popAttrib();
}
