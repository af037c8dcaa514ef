// The fixed-function state the gfx calls set, kept by the gles3 renderer with OpenGL 1.x's
// initial values, and the client-side state that glPushClientAttrib saves.
#pragma once

#include <array>
#include <cstdint>

#include "gfx/gfx.h"

namespace gfx::gles3 {

using Vec4 = std::array<float, 4>;

constexpr int kLightCount = 8;
// Texture coordinate generation modes besides kSphereMap.
constexpr Enum kEyeLinear = 0x2400, kObjectLinear = 0x2401;

struct Light {
    Vec4 ambient{0, 0, 0, 1};
    Vec4 diffuse{0, 0, 0, 1};
    Vec4 specular{0, 0, 0, 1};
    Vec4 position{0, 0, 1, 0};                     // eye coordinates, as transformed when set
    std::array<float, 3> spotDirection{0, 0, -1};  // eye coordinates
    float spotExponent = 0;
    float spotCutoff = 180;
    std::array<float, 3> attenuation{1, 0, 0};  // constant, linear, quadratic
    bool enabled = false;
};

struct Material {
    Vec4 ambient{0.2f, 0.2f, 0.2f, 1};
    Vec4 diffuse{0.8f, 0.8f, 0.8f, 1};
    Vec4 specular{0, 0, 0, 1};
    Vec4 emission{0, 0, 0, 1};
    float shininess = 0;
};

// Everything glPushAttrib can save, in one record; each attribute group restores its part.
struct FixedState {
    FixedState();

    // current values (kCurrentBit)
    Vec4 colour{1, 1, 1, 1};
    std::array<float, 3> normal{0, 0, 1};
    Vec4 texCoord{0, 0, 0, 1};
    Vec4 rasterPosition{0, 0, 0, 1};  // window coordinates
    Vec4 rasterColour{1, 1, 1, 1};
    Vec4 rasterTexCoord{0, 0, 0, 1};
    bool rasterValid = true;

    // capabilities (kEnableBit and their own groups)
    bool texture2D = false, depthTest = false, blend = false, lighting = false, texGenS = false, texGenT = false,
         scissorTest = false, lineSmooth = false, cullFace = false, colorMaterial = false, normalize = false;

    // colour buffer, depth buffer, scissor, viewport
    Enum blendSource = kOne, blendDestination = kZero;
    Vec4 clearColour{0, 0, 0, 0};
    Enum depthFunction = kLess;
    bool depthMask = true;
    double clearDepth = 1.0;
    std::array<int, 4> scissorBox{0, 0, 0, 0};
    std::array<int, 4> viewport{0, 0, 0, 0};

    // lighting, shading, polygons, lines, hints
    Enum shadeModel = kSmooth;
    std::array<Light, kLightCount> lights;
    Material material;  // front and back share one material: the tree sets both at once
    Vec4 lightModelAmbient{0.2f, 0.2f, 0.2f, 1};
    bool localViewer = false, twoSide = false;
    Enum polygonModeFront = kFill, polygonModeBack = kFill;
    float lineWidth = 1;
    Enum perspectiveHint = kDontCare, lineSmoothHint = kDontCare;

    // texturing
    Enum texGenModeS = kEyeLinear, texGenModeT = kEyeLinear;
    Enum textureEnvMode = kModulate;
    unsigned boundTexture = 0;

    // transform and lists
    Enum matrixMode = kModelview;
    unsigned listBase = 0;
};

struct PixelStore {
    int alignment = 4, rowLength = 0, skipRows = 0, skipPixels = 0;
    bool lsbFirst = false;
};

// What glPushClientAttrib saves: pixel storage and the vertex array.
struct ClientState {
    PixelStore unpack, pack;
    bool vertexArray = false;
    int vertexSize = 4;
    Enum vertexType = kFloat;
    int vertexStride = 0;
    std::uintptr_t vertexOffset = 0;  // into vertexBuffer
    unsigned vertexBuffer = 0;        // the array buffer bound when the pointer was given
    unsigned arrayBuffer = 0;         // the array buffer bound now
};

}  // namespace gfx::gles3
