// The demo's four operations, called by the shell around and inside its frame loop.
#pragma once

#include <cstdint>
#include <string>

#include "shell/app_window.h"

// Sets up the show once the window's OpenGL context is current; true when it can run.
bool initialiseDemo(AppWindow* window, KeyState* keys);

// Per-frame update before drawing; the argument is the milliseconds since the last frame.
void updateDemo(std::uint32_t milliseconds);

// Draws one frame into the back buffer.
void drawDemo();

// Everything a drawDemo changes beyond the picture (the scene, the wandering camera, the
// sprites' frames), without drawing: a replayed frame that is not shown.
void skipDemoFrame();

// Tears the show down before the window closes.
void deinitialiseDemo();

// How the show starts: where its pictures and music are, and the moment it starts at.
struct ShowOptions {
    std::string dataFolder = "data";  // as file names in the log and messages show it
    std::uint32_t fromMs = 0;
    // The picture's height over the 1024x768 window's: line widths grow with it, so that a
    // larger or smaller picture looks the same.
    float pixelScale = 1.0f;
};

// For every set-up from now on: set-up reads `options.dataFolder` and, for a later start,
// the show is replayed up to `options.fromMs` with its music moved there.
void useShowOptions(const ShowOptions& options);

// The shell's settings for the show: its window and the operations above.
ShellSettings showShellSettings();

// The pixel scale of the options in use.
float showPixelScale();

// The path of one of the show's data files, e.g. "data/mask.tga".
std::string showDataFile(const char* name);

// Replays every frame up to `fromMs` without drawing, then goes on in real time from there
// with the music at the same moment.
void seekShow(std::uint32_t fromMs);
