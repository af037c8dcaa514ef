// One vertex of immediate mode as the renderer keeps it: position and the current colour,
// normal and texture coordinate when glVertex was called.
#pragma once

namespace gfx::gles3 {

struct Vertex {
    float position[3];
    float colour[4];
    float normal[3];
    float texCoord[2];
};

// What the primitives of one glBegin/glEnd become on their way to the GPU.
enum class Topology { kPoints, kLines, kTriangles };

}  // namespace gfx::gles3
