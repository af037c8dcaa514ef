// gluSphere's geometry: the primitives, vertex positions, normals and texture coordinates it
// sends, in its order and with its rounding, as measured against GLU in feedback mode.
#pragma once

#include <vector>

#include "gfx/gfx.h"

namespace gfx::gles3 {

struct SphereVertex {
    float position[3];
    float normal[3];
    float texCoord[2];
};

// One glBegin/glEnd of the sphere.
struct SpherePrimitive {
    Enum mode;  // kQuadStrip or kTriangleFan
    std::vector<SphereVertex> vertices;
};

struct SphereOptions {
    bool normals = true;   // GLU_SMOOTH (GLU_NONE sends none)
    bool texture = false;  // gluQuadricTexture
};

// Empty for fewer than 2 slices or 1 stack, as GLU draws nothing then.
std::vector<SpherePrimitive> sphereGeometry(double radius, int slices, int stacks, const SphereOptions& options);

}  // namespace gfx::gles3
