// Display modes: the full-screen switch and its restore.
#pragma once

namespace platform {

// Asks for width x height at bitsPerPixel for the next full-screen window.
// True when the display offers exactly that mode (the change is temporary).
bool changeDisplayMode(int width, int height, int bitsPerPixel);

// Gives the display its stored mode back.
void restoreDisplayMode();

// True between a successful changeDisplayMode and restoreDisplayMode.
bool displayModeChanged();

// Tests: make every mode switch succeed or fail, whatever the display offers.
enum class DisplayModePolicy { kReal, kAlwaysAccept, kAlwaysRefuse };
void setDisplayModePolicy(DisplayModePolicy policy);

}  // namespace platform
