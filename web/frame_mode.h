// The page's test hook: one frame of the show at a moment, on the virtual clock as
// oyun-capture --frame draws it, into the 1024 x 768 canvas, without sound.
#pragma once

#include <cstdint>

// Draws the first frame at or after `ms` at the capture's 50 frames a second and leaves it on
// the canvas; 0, or 1 with one line reported when the show cannot be set up or has ended by then.
// With `repeat`, draws it that many times more, each finished, and gives the median time a
// drawing took in `drawMs` (for measuring).
int drawFrameAt(std::uint32_t ms, int repeat, double& drawMs);
