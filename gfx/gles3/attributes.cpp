// Pixel storage and the attribute stacks: each group of glPushAttrib restores its own part
// of the state, and the ES context's mirror of it follows.
#include <utility>
#include <vector>

#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/es_state.h"
#include "gfx/gles3/gl.h"
#include "gfx/gles3/lists.h"

namespace gfx::gles3 {

namespace {

constexpr Bitfield kLineBit = 0x4, kViewportBit = 0x800, kTransformBit = 0x1000, kHintBit = 0x8000;

// The members of `saved` back into `into`, where `mask` names any of `group`.
template <typename State, typename... Member>
void restoreGroup(Bitfield mask, Bitfield group, State& into, const State& saved, Member State::*... members) {
    if ((mask & group) != 0) ((into.*members = saved.*members), ...);
}

// Pushes `state` under `mask`; a full stack is an error.
template <typename State>
void pushState(std::vector<std::pair<Bitfield, State>>& stack, Bitfield mask, const State& state) {
    if (stack.size() >= kAttribStackDepth) return setError(kStackOverflow);
    stack.emplace_back(mask, state);
}

// Takes the top of the stack; false, with the error set, when it is empty.
template <typename State>
bool popState(std::vector<std::pair<Bitfield, State>>& stack, std::pair<Bitfield, State>& top) {
    if (stack.empty()) {
        setError(kStackUnderflow);
        return false;
    }
    top = stack.back();
    stack.pop_back();
    return true;
}

void restore(Bitfield mask, const FixedState& saved) {
    using S = FixedState;
    S& s = current()->state;
    restoreGroup(mask, kCurrentBit, s, saved, &S::colour, &S::normal, &S::texCoord, &S::rasterPosition,
                 &S::rasterColour, &S::rasterTexCoord, &S::rasterValid);
    restoreGroup(mask, kEnableBit | kColorBufferAttribBit, s, saved, &S::blend);
    restoreGroup(mask, kEnableBit | kDepthBufferAttribBit, s, saved, &S::depthTest);
    restoreGroup(mask, kEnableBit | kLightingBit, s, saved, &S::lighting, &S::colorMaterial);
    if ((mask & (kEnableBit | kLightingBit)) != 0) {
        for (int i = 0; i < kLightCount; ++i) s.lights[i].enabled = saved.lights[i].enabled;
    }
    restoreGroup(mask, kEnableBit | kTextureBit, s, saved, &S::texture2D, &S::texGenS, &S::texGenT);
    restoreGroup(mask, kEnableBit | kScissorBit, s, saved, &S::scissorTest);
    restoreGroup(mask, kEnableBit | kLineBit, s, saved, &S::lineSmooth);
    restoreGroup(mask, kEnableBit | kPolygonBit, s, saved, &S::cullFace);
    restoreGroup(mask, kEnableBit | kTransformBit, s, saved, &S::normalize);
    restoreGroup(mask, kColorBufferAttribBit, s, saved, &S::blendSource, &S::blendDestination, &S::clearColour);
    restoreGroup(mask, kDepthBufferAttribBit, s, saved, &S::depthFunction, &S::depthMask, &S::clearDepth);
    restoreGroup(mask, kScissorBit, s, saved, &S::scissorBox);
    restoreGroup(mask, kViewportBit, s, saved, &S::viewport);
    if ((mask & kLightingBit) != 0) {
        // Each light but whether it is on, which belongs to the enable group.
        for (int i = 0; i < kLightCount; ++i) {
            const bool enabled = s.lights[i].enabled;
            s.lights[i] = saved.lights[i];
            s.lights[i].enabled = enabled;
        }
    }
    restoreGroup(mask, kLightingBit, s, saved, &S::shadeModel, &S::material, &S::lightModelAmbient, &S::localViewer,
                 &S::twoSide);
    restoreGroup(mask, kPolygonBit, s, saved, &S::polygonModeFront, &S::polygonModeBack);
    restoreGroup(mask, kLineBit, s, saved, &S::lineWidth);
    restoreGroup(mask, kHintBit, s, saved, &S::perspectiveHint, &S::lineSmoothHint);
    restoreGroup(mask, kTextureBit, s, saved, &S::texGenModeS, &S::texGenModeT, &S::textureEnvMode, &S::boundTexture);
    if ((mask & kTextureBit) != 0) glBindTexture(GL_TEXTURE_2D, s.boundTexture);
    restoreGroup(mask, kTransformBit, s, saved, &S::matrixMode);
    restoreGroup(mask, kListBit, s, saved, &S::listBase);
    syncEsState();
}

void pushNow(Bitfield mask) {
    Context& c = *current();
    pushState(c.attribStack, mask, c.state);
}

void popNow() {
    std::pair<Bitfield, FixedState> top;
    if (popState(current()->attribStack, top)) restore(top.first, top.second);
}

}  // namespace

namespace calls {

void pixelStorei(Enum name, int value) {
    Context* c = current();
    if (c == nullptr) return;
    PixelStore& unpack = c->client.unpack;
    PixelStore& pack = c->client.pack;
    const bool alignment = name == kUnpackAlignment || name == kPackAlignment;
    if (alignment && value != 1 && value != 2 && value != 4 && value != 8) return setError(kInvalidValue);
    if (!alignment && value < 0 && name != kUnpackLsbFirst) return setError(kInvalidValue);
    switch (name) {
        case kUnpackAlignment: unpack.alignment = value; break;
        case kUnpackRowLength: unpack.rowLength = value; break;
        case kUnpackSkipRows: unpack.skipRows = value; break;
        case kUnpackSkipPixels: unpack.skipPixels = value; break;
        case kUnpackLsbFirst: unpack.lsbFirst = value != 0; break;
        case kPackAlignment: pack.alignment = value; break;
        default:
            unsupported("pixel storage", name);
            setError(kInvalidEnum);
            break;
    }
}

void pushAttrib(Bitfield mask) {
    runOrRecord([mask] { pushNow(mask); });
}

void popAttrib() {
    runOrRecord([] { popNow(); });
}

void pushClientAttrib(Bitfield mask) {
    Context* c = current();
    if (c == nullptr) return;
    pushState(c->clientAttribStack, mask, c->client);
}

void popClientAttrib() {
    Context* c = current();
    if (c == nullptr) return;
    std::pair<Bitfield, ClientState> top;
    if (!popState(c->clientAttribStack, top)) return;
    using S = ClientState;
    restoreGroup(top.first, kClientPixelStoreBit, c->client, top.second, &S::unpack, &S::pack);
    restoreGroup(top.first, kClientVertexArrayBit, c->client, top.second, &S::vertexArray, &S::vertexSize,
                 &S::vertexType, &S::vertexStride, &S::vertexOffset, &S::vertexBuffer, &S::arrayBuffer);
}

}  // namespace calls

}  // namespace gfx::gles3
