// The demo's clock and timeline: the per-frame update (keys, camera, clock, end of the show)
// and the choice of scene, overlay and camera from the elapsed time. updateDemo is in demo.h.
#pragma once

#include <cstdint>

// Sets overlayIndex, sceneIndex and the camera for this frame from frameTick - startTick.
void selectScene();

// The show's pseudo-random numbers, 0..32767, from a state that starts at 1.
int demoRandom();

// Sets the generator's state. The show never calls it; tests and replays start again from 1.
void seedDemoRandom(std::uint32_t state);

// frameTick - startTick as a signed wrap-around difference, in milliseconds.
std::int32_t elapsedShowTime();
