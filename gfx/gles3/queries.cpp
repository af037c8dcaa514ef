// State queries, answered from the renderer's record (limits and strings from the ES context),
// and errors: the renderer's own first, then the ES context's.
#include <cmath>
#include <cstring>

#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/gl.h"

namespace gfx::gles3::calls {

namespace {

// Up to 16 values of `name` as floats; false for a name the renderer does not answer.
bool values(Enum name, float* out, int& count) {
    const Context& c = *current();
    const FixedState& s = c.state;
    const auto put = [&](std::initializer_list<float> v) {
        count = 0;
        for (const float x : v) out[count++] = x;
    };
    const auto putArray = [&](const float* v, int n) {
        std::memcpy(out, v, static_cast<std::size_t>(n) * sizeof(float));
        count = n;
    };
    const auto f = [](int v) { return static_cast<float>(v); };
    switch (name) {
        case kCurrentColor: putArray(s.colour.data(), 4); return true;
        case kCurrentRasterPosition: putArray(s.rasterPosition.data(), 4); return true;
        case kViewport: put({f(s.viewport[0]), f(s.viewport[1]), f(s.viewport[2]), f(s.viewport[3])}); return true;
        case kScissorBox:
            put({f(s.scissorBox[0]), f(s.scissorBox[1]), f(s.scissorBox[2]), f(s.scissorBox[3])});
            return true;
        case kModelviewMatrix: putArray(modelview().m.data(), 16); return true;
        case kProjectionMatrix: putArray(projection().m.data(), 16); return true;
        case kColorClearValue: putArray(s.clearColour.data(), 4); return true;
        case kListBase: put({static_cast<float>(s.listBase)}); return true;
        case kLineWidth: put({s.lineWidth}); return true;
        case kUnpackAlignment: put({f(c.client.unpack.alignment)}); return true;
        case kUnpackRowLength: put({f(c.client.unpack.rowLength)}); return true;
        case kUnpackSkipRows: put({f(c.client.unpack.skipRows)}); return true;
        case kUnpackSkipPixels: put({f(c.client.unpack.skipPixels)}); return true;
        case kUnpackLsbFirst: put({c.client.unpack.lsbFirst ? 1.0f : 0.0f}); return true;
        case kPackAlignment: put({f(c.client.pack.alignment)}); return true;
        default: return false;
    }
}

// Limits the ES context itself answers.
bool limit(Enum name) { return name == kMaxViewportDims || name == kMaxTextureSize || name == kMaxRenderbufferSize; }

}  // namespace

void getFloatv(Enum name, float* out) {
    if (current() == nullptr) return;
    if (limit(name)) {
        glGetFloatv(name, out);
        return;
    }
    int count = 0;
    if (!values(name, out, count)) {
        unsupported("query", name);
        setError(kInvalidEnum);
    }
}

void getIntegerv(Enum name, int* out) {
    if (current() == nullptr) return;
    if (limit(name)) {
        glGetIntegerv(name, out);
        return;
    }
    float v[16];
    int count = 0;
    if (!values(name, v, count)) {
        unsupported("query", name);
        setError(kInvalidEnum);
        return;
    }
    // Colours map [0, 1] onto the whole integer range, as OpenGL converts them.
    const bool colour = name == kCurrentColor || name == kColorClearValue;
    for (int i = 0; i < count; ++i) {
        if (colour) {
            const double scaled = static_cast<double>(v[i]) * 2147483647.0;
            out[i] = static_cast<int>(scaled < -2147483648.0  ? -2147483648.0
                                      : scaled > 2147483647.0 ? 2147483647.0
                                                              : scaled);
        } else {
            out[i] = static_cast<int>(std::lround(v[i]));
        }
    }
}

const unsigned char* getString(Enum name) {
    if (current() == nullptr) return nullptr;
    return glGetString(name);
}

Enum getError() {
    Context* c = current();
    if (c == nullptr) return kNoError;
    if (c->error != 0) {
        const Enum e = c->error;
        c->error = 0;
        return e;
    }
    return glGetError();
}

}  // namespace gfx::gles3::calls
