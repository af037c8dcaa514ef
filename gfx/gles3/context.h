// The gles3 renderer's record of one GL context: the fixed-function state, the matrix and
// attribute stacks, the objects it made on the ES context and the errors it owes.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "gfx/gles3/matrix.h"
#include "gfx/gles3/state.h"

namespace gfx::gles3 {

// OpenGL's error codes.
constexpr Enum kInvalidEnum = 0x0500, kInvalidValue = 0x0501, kInvalidOperation = 0x0502, kStackOverflow = 0x0503,
               kStackUnderflow = 0x0504;
// The driver's stack depths.
constexpr std::size_t kModelviewStackDepth = 32, kProjectionStackDepth = 32, kAttribStackDepth = 16;

struct MatrixStacks {
    std::vector<Mat4> modelview{identity()};
    std::vector<Mat4> projection{identity()};
    // Bumped on every change, so derived matrices are computed once per change.
    std::uint64_t version = 1;
};

// What the renderer knows of a texture object, for completeness and the texture environment.
struct TextureRecord {
    int width = 0, height = 0;  // of level 0
    Enum baseFormat = kRgba;    // kRgb, kRgba or kLuminance
    Enum minFilter = 0x2702;    // GL_NEAREST_MIPMAP_LINEAR
    std::uint32_t levels = 0;   // bit n: level n has an image
    std::vector<std::pair<int, int>> levelSizes;
};

struct Gpu;
struct Lists;
struct Immediate;
struct Atlas;

struct Context {
    Context();
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    FixedState state;
    ClientState client;
    MatrixStacks matrices;
    std::vector<std::pair<Bitfield, FixedState>> attribStack;
    std::vector<std::pair<Bitfield, ClientState>> clientAttribStack;
    std::unordered_map<unsigned, TextureRecord> textures;
    // Copies of buffer contents, for display lists and line loops that read them on the CPU.
    std::unordered_map<unsigned, std::vector<std::uint8_t>> buffers;
    std::unique_ptr<Immediate> immediate;
    std::unique_ptr<Lists> lists;
    std::unique_ptr<Gpu> gpu;
    std::unique_ptr<Atlas> atlas;
    Enum error = 0;
    std::set<std::pair<std::string, unsigned>> reported;
    // Kept between frames, so read-back does not allocate each time.
    std::vector<std::uint8_t> readback;
    // GL_MAX_VIEWPORT_DIMS: the viewport bitmaps draw through, so nothing clips them.
    std::array<int, 2> maxViewport{0, 0};
};

// The context startContext made; null when none is running.
Context* current();
void setCurrent(std::unique_ptr<Context> context);

// Keeps the first error since the last glGetError, as OpenGL does.
void setError(Enum error);
// Reports once per context what the renderer does not implement ("polygon mode", 0x1B00).
void unsupported(const char* what, unsigned value);

const Mat4& currentMatrix();
const Mat4& modelview();
const Mat4& projection();

}  // namespace gfx::gles3
