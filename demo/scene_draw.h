// Drawing of one frame of the show: the scenes, the ball primitive and the overlays.
#pragma once

#include <cstdint>

class MaskedSprite;

// Draws one ball of radius 0.35 at the origin of the model-view matrix: lit and textured
// in scene 3, otherwise an additive sphere-mapped shell.
void drawBall();

// What the last drawDemo submitted, for tests and benchmarks.
struct SceneStats {
    std::uint32_t sculptureVertices;
    std::uint32_t balls;
    std::uint32_t spheres;
    std::uint32_t skippedBalls;      // chain balls whose transform left the float range
    const MaskedSprite* sprites[8];  // the sprites drawn, in order
    std::uint32_t spriteCount;
};
extern SceneStats sceneStats;
