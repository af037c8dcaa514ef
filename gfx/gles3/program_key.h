// What selects one of the renderer's shader programs: the fixed-function features a draw
// uses, each compiled in or out, so that a draw runs no code it does not need.
#pragma once

#include <cstdint>

#include "gfx/gfx.h"

namespace gfx::gles3 {

// kThinLines picks a kPrimitives program for native lines.
enum class ProgramKind : std::uint8_t { kPrimitives, kWideLines, kBitmap, kThinLines };
enum class TexGen : std::uint8_t { kOff, kSphereMap, kEye, kObject };
enum class TextureFormat : std::uint8_t { kRgb, kRgba, kLuminance };

struct ProgramKey {
    ProgramKind kind = ProgramKind::kPrimitives;
    std::uint8_t lights = 0;  // enabled lights, with lighting on
    bool lighting = false, localViewer = false, twoSide = false, colorMaterial = false, normalize = false;
    TexGen genS = TexGen::kOff, genT = TexGen::kOff;
    bool texture = false;
    Enum environment = kModulate;
    TextureFormat format = TextureFormat::kRgba;
    bool flat = false;          // colours from the provoking vertex
    bool flatTexCoord = false;  // texture coordinates likewise (they are the same at every vertex)
    bool smoothLines = false;
    bool fetchEnds = false;  // wide lines whose ends the vertex shader reads from a texture
    // Wide lines whose colour and texture coordinate are the current ones, unlit and not
    // generated: textured once per vertex, the same for every fragment.
    bool constantColour = false;

    std::uint32_t bits() const;
};

}  // namespace gfx::gles3
