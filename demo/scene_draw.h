// Drawing of one frame of the show: the scenes, the ball primitive and the overlays.
#pragma once

#include <cstdint>

class MaskedSprite;

// How the spheres and the tower reach the driver. kImmediate is the show as written, every
// vertex a call, kept as the reference; kCompiled (the default) compiles the sphere once into
// a display list and hands each frame's tower over in one vertex buffer, the same floats in
// the same order, so that the pixels are the same.
enum class DrawingPath { kImmediate, kCompiled };
void useDrawingPath(DrawingPath path);
DrawingPath drawingPath();
// Frees what kCompiled made in the current context; the next compiled frame makes it anew.
// For the tear-down, while the context is still current.
void releaseCompiledGeometry();

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
