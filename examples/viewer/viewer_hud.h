// The viewer's text overlay: what it says about the two models, and its drawing with the
// bitmap font over the whole client area.
#pragma once

#include <string>
#include <vector>

struct HudState {
    bool overlapping = false;  // Collision::test's result
    int overlapCount = 0;      // axes along which the boxes meet
    int contactSide = 0;       // Collision::contactSide's code, meaningful only when overlapping
    int currentFrame = 0;
    int frameCount = 0;
    bool paused = false;
    bool wireframe = false;
    bool normals = false;
};

// "boxes overlap: yes (3 axes)" or "boxes overlap: no (meet along 2 of 3 axes)".
std::string overlapText(const HudState& state);
// The contact side code with the axis and side it stands for, or "none".
std::string contactText(const HudState& state);
// Animation frame, counted from 1, with the pause and drawing modes.
std::string frameText(const HudState& state);
// The status lines, top first, then the key help lines.
std::vector<std::string> hudStatusLines(const HudState& state);
std::vector<std::string> hudHelpLines();

// Draws the status lines at the top left and the help at the bottom left of a client area
// of width x height pixels, unlit, untextured and over everything. Leaves the matrices, the
// enabled states and the current colour as found.
void drawHud(const HudState& state, int width, int height);
