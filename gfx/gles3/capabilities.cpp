// Capabilities, per-fragment state, clearing and the viewport.
#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/es_state.h"
#include "gfx/gles3/gl.h"
#include "gfx/gles3/lists.h"

namespace gfx::gles3 {

namespace {

void esEnable(GLenum capability, bool on) {
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

bool* flag(FixedState& s, Enum capability) {
    switch (capability) {
        case kTexture2D: return &s.texture2D;
        case kDepthTest: return &s.depthTest;
        case kBlend: return &s.blend;
        case kLighting: return &s.lighting;
        case kTextureGenS: return &s.texGenS;
        case kTextureGenT: return &s.texGenT;
        case kScissorTest: return &s.scissorTest;
        case kLineSmooth: return &s.lineSmooth;
        case kCullFace: return &s.cullFace;
        case kColorMaterial: return &s.colorMaterial;
        case kNormalize: return &s.normalize;
        default: break;
    }
    if (capability >= kLight0 && capability < kLight0 + kLightCount) return &s.lights[capability - kLight0].enabled;
    return nullptr;
}

void setCapability(Enum capability, bool on) {
    FixedState& s = current()->state;
    bool* f = flag(s, capability);
    if (f == nullptr) {
        unsupported("capability", capability);
        setError(kInvalidEnum);
        return;
    }
    *f = on;
    if (capability == kDepthTest) esEnable(GL_DEPTH_TEST, on);
    if (capability == kBlend) esEnable(GL_BLEND, on);
    if (capability == kScissorTest) esEnable(GL_SCISSOR_TEST, on);
    if (capability == kCullFace) esEnable(GL_CULL_FACE, on);
    // Colour material takes the current colour at once.
    if (capability == kColorMaterial && on) s.material.ambient = s.material.diffuse = s.colour;
}

// The viewport or the scissor box, and the ES call that sets it: a negative size is refused
// at once, even while a list is compiled.
void setBox(std::array<int, 4> FixedState::*box, void (*esSet)(GLint, GLint, GLsizei, GLsizei), int x, int y, int width,
            int height) {
    if (current() == nullptr) return;
    if (width < 0 || height < 0) {
        setError(kInvalidValue);
        return;
    }
    runOrRecord([=] {
        current()->state.*box = {x, y, width, height};
        esSet(x, y, width, height);
    });
}

}  // namespace

void syncEsState() {
    const FixedState& s = current()->state;
    esEnable(GL_DEPTH_TEST, s.depthTest);
    esEnable(GL_BLEND, s.blend);
    esEnable(GL_SCISSOR_TEST, s.scissorTest);
    esEnable(GL_CULL_FACE, s.cullFace);
    glBlendFunc(s.blendSource, s.blendDestination);
    glDepthFunc(s.depthFunction);
    glDepthMask(s.depthMask ? GL_TRUE : GL_FALSE);
    glClearColor(s.clearColour[0], s.clearColour[1], s.clearColour[2], s.clearColour[3]);
    glClearDepthf(static_cast<float>(s.clearDepth));
    glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
    glScissor(s.scissorBox[0], s.scissorBox[1], s.scissorBox[2], s.scissorBox[3]);
}

namespace calls {

void enable(Enum capability) {
    runOrRecord([capability] { setCapability(capability, true); });
}

void disable(Enum capability) {
    runOrRecord([capability] { setCapability(capability, false); });
}

void blendFunc(Enum source, Enum destination) {
    runOrRecord([source, destination] {
        FixedState& s = current()->state;
        s.blendSource = source;
        s.blendDestination = destination;
        glBlendFunc(source, destination);
    });
}

void depthFunc(Enum function) {
    runOrRecord([function] {
        if (function < kNever || function > kAlways) {
            setError(kInvalidEnum);
            return;
        }
        current()->state.depthFunction = function;
        glDepthFunc(function);
    });
}

void depthMask(Boolean write) {
    runOrRecord([write] {
        current()->state.depthMask = write != kFalse;
        glDepthMask(write != kFalse ? GL_TRUE : GL_FALSE);
    });
}

void shadeModel(Enum mode) {
    runOrRecord([mode] {
        if (mode != kFlat && mode != kSmooth) {
            setError(kInvalidEnum);
            return;
        }
        current()->state.shadeModel = mode;
    });
}

void hint(Enum target, Enum mode) {
    // ES interpolates every varying in perspective; line smoothing has one quality here.
    runOrRecord([target, mode] {
        FixedState& s = current()->state;
        if (target == kPerspectiveCorrectionHint)
            s.perspectiveHint = mode;
        else if (target == kLineSmoothHint)
            s.lineSmoothHint = mode;
        else
            unsupported("hint", target);
    });
}

void lineWidth(float width) {
    runOrRecord([width] {
        if (!(width > 0.0f)) {
            setError(kInvalidValue);
            return;
        }
        current()->state.lineWidth = width;
    });
}

void polygonMode(Enum face, Enum mode) {
    runOrRecord([face, mode] {
        if (mode != kPoint && mode != kLine && mode != kFill) {
            setError(kInvalidEnum);
            return;
        }
        FixedState& s = current()->state;
        if (face == kFront || face == kFrontAndBack) s.polygonModeFront = mode;
        if (face == kBack || face == kFrontAndBack) s.polygonModeBack = mode;
        // Only one mode for both faces is drawn: the front one.
        if (s.polygonModeFront != s.polygonModeBack) unsupported("polygon mode per face", face);
    });
}

void clearColor(float r, float g, float b, float a) {
    runOrRecord([=] {
        const auto clamp = [](float v) { return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v; };
        current()->state.clearColour = {clamp(r), clamp(g), clamp(b), clamp(a)};
        glClearColor(r, g, b, a);
    });
}

void clearDepth(double depth) {
    runOrRecord([depth] {
        const double clamped = depth < 0.0 ? 0.0 : depth > 1.0 ? 1.0 : depth;
        current()->state.clearDepth = clamped;
        glClearDepthf(static_cast<float>(clamped));
    });
}

void clear(Bitfield mask) {
    runOrRecord([mask] {
        if ((mask & ~(kColorBufferBit | kDepthBufferBit | 0x00000400u /* stencil */)) != 0) {
            setError(kInvalidValue);
            return;
        }
        glClear(mask);
    });
}

void viewport(int x, int y, int width, int height) { setBox(&FixedState::viewport, glViewport, x, y, width, height); }

void scissor(int x, int y, int width, int height) { setBox(&FixedState::scissorBox, glScissor, x, y, width, height); }

}  // namespace calls

}  // namespace gfx::gles3
