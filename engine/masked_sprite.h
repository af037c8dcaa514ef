// A flat textured rectangle over or inside a scene, optionally masked, stepping through the
// frames of a horizontal frame sheet.
#pragma once

#include <cstdint>

class MaskedSprite {
public:
    std::int32_t frameCount = 0;    // frames in the sheet
    std::int32_t currentFrame = 0;  // shown by the next draw, from 1
    std::int32_t frameDelay = 0;    // draws counted before the frame steps on
    std::int32_t delayCounter = 0;
    bool masked = false;     // multiply by maskTexture before adding the picture
    bool animating = false;  // step the frames after each draw
    float width = 0.0f;      // world units
    float height = 0.0f;
    float texU[4] = {};  // corners of the current frame, set by draw
    float texV[4] = {};
    std::uint32_t imageTexture = 0;  // not owned
    std::uint32_t maskTexture = 0;   // not owned; same layout as the picture

    // Restarts at frame 1; a zero delay becomes 3 and a zero size 5 x 5.
    void start(bool maskedMode);
    void setFrameCount(int count) { frameCount = count; }
    void setFrameDelay(int delay) { frameDelay = delay; }
    void setSize(float newWidth, float newHeight) {
        width = newWidth;
        height = newHeight;
    }
    void setCurrentFrame(int frame) { currentFrame = frame; }
    void setAnimating(bool on) { animating = on; }
    int getFrameCount() const { return frameCount; }
    int getFrameDelay() const { return frameDelay; }

    // Draws the current frame centred at the model-view origin in the z = 0 plane, facing +z,
    // then steps the animation. Unmasked: added with colour (1, 1, 1, alpha). Leaves blending
    // off and the colour opaque white. With no frames (frameCount below 1) it draws nothing.
    void draw(float alpha);
    // The stepping of a draw without the drawing, for frames that are replayed but not shown.
    void step();
};
