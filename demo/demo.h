// The demo's four operations, called by the shell around and inside its frame loop.
#pragma once

#include <cstdint>

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

// The shell's settings for the show: its window and the four operations above.
ShellSettings showShellSettings();
