// The model viewer's scene: the loaded model and a movable second instance of it, their
// boxes and overlap, drawn lit and animated with a text overlay.
#pragma once

#include <cstdint>
#include <string>

#include "examples/viewer/viewer_hud.h"
#include "examples/viewer/viewer_input.h"
#include "examples/viewer/viewer_view.h"
#include "model/collision.h"
#include "model/model.h"
#include "shell/app_window.h"

class ViewerScene {
public:
    Model first;              // the model as loaded, at the origin
    Model second;             // a copy sharing the first's arrays, moved by the arrow keys
    std::string texturePath;  // empty: untextured
    Collision collision;
    HudState hud;
    KeyPresses presses;
    Extent extent;
    ViewerCamera camera;
    float moveSpeed = 1.0f;  // model units per second
    bool showNormals = false;
    std::uint32_t texture = 0;
    bool textureReported = false;  // a failed texture is told once, not at every window opening
    AppWindow* window = nullptr;
    KeyState* keys = nullptr;

    // Before any window: takes the loaded model (normals computed), places the two instances
    // and frames them.
    void prepare(const Model& model, const std::string& textureFile);

    // With the window's OpenGL context current: font, texture and GL state. A texture that
    // cannot be loaded is told on stderr and the models are drawn untextured. Always true.
    bool initialise(AppWindow* appWindow, KeyState* keyState);
    // Keys and the second model's move, then the overlap test, for `milliseconds` since the
    // last frame.
    void update(std::uint32_t milliseconds);
    // One frame over the whole client area.
    void draw();
    // Gives back the font lists and the texture before the window closes.
    void deinitialise();

private:
    void applyKeys(std::uint32_t milliseconds);
    void drawInstance(Model& model, const float* diffuse);
    void drawBoxAt(const Model& model) const;
};
