// Pixel storage and the attribute stacks: each group of glPushAttrib restores its own part
// of the state, and the ES context's mirror of it follows.
#include "gfx/gles3/calls.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/es_state.h"
#include "gfx/gles3/gl.h"
#include "gfx/gles3/lists.h"

namespace gfx::gles3 {

namespace {

constexpr Bitfield kLineBit = 0x4, kViewportBit = 0x800, kTransformBit = 0x1000, kHintBit = 0x8000;

void restore(Bitfield mask, const FixedState& saved) {
    FixedState& s = current()->state;
    if ((mask & kCurrentBit) != 0) {
        s.colour = saved.colour;
        s.normal = saved.normal;
        s.texCoord = saved.texCoord;
        s.rasterPosition = saved.rasterPosition;
        s.rasterColour = saved.rasterColour;
        s.rasterTexCoord = saved.rasterTexCoord;
        s.rasterValid = saved.rasterValid;
    }
    if ((mask & (kEnableBit | kColorBufferAttribBit)) != 0) s.blend = saved.blend;
    if ((mask & (kEnableBit | kDepthBufferAttribBit)) != 0) s.depthTest = saved.depthTest;
    if ((mask & (kEnableBit | kLightingBit)) != 0) {
        s.lighting = saved.lighting;
        s.colorMaterial = saved.colorMaterial;
        for (int i = 0; i < kLightCount; ++i) s.lights[i].enabled = saved.lights[i].enabled;
    }
    if ((mask & (kEnableBit | kTextureBit)) != 0) {
        s.texture2D = saved.texture2D;
        s.texGenS = saved.texGenS;
        s.texGenT = saved.texGenT;
    }
    if ((mask & (kEnableBit | kScissorBit)) != 0) s.scissorTest = saved.scissorTest;
    if ((mask & (kEnableBit | kLineBit)) != 0) s.lineSmooth = saved.lineSmooth;
    if ((mask & (kEnableBit | kPolygonBit)) != 0) s.cullFace = saved.cullFace;
    if ((mask & (kEnableBit | kTransformBit)) != 0) s.normalize = saved.normalize;
    if ((mask & kColorBufferAttribBit) != 0) {
        s.blendSource = saved.blendSource;
        s.blendDestination = saved.blendDestination;
        s.clearColour = saved.clearColour;
    }
    if ((mask & kDepthBufferAttribBit) != 0) {
        s.depthFunction = saved.depthFunction;
        s.depthMask = saved.depthMask;
        s.clearDepth = saved.clearDepth;
    }
    if ((mask & kScissorBit) != 0) s.scissorBox = saved.scissorBox;
    if ((mask & kViewportBit) != 0) s.viewport = saved.viewport;
    if ((mask & kLightingBit) != 0) {
        s.shadeModel = saved.shadeModel;
        for (int i = 0; i < kLightCount; ++i) {
            const bool enabled = s.lights[i].enabled;
            s.lights[i] = saved.lights[i];
            s.lights[i].enabled = enabled;
        }
        s.material = saved.material;
        s.lightModelAmbient = saved.lightModelAmbient;
        s.localViewer = saved.localViewer;
        s.twoSide = saved.twoSide;
    }
    if ((mask & kPolygonBit) != 0) {
        s.polygonModeFront = saved.polygonModeFront;
        s.polygonModeBack = saved.polygonModeBack;
    }
    if ((mask & kLineBit) != 0) s.lineWidth = saved.lineWidth;
    if ((mask & kHintBit) != 0) {
        s.perspectiveHint = saved.perspectiveHint;
        s.lineSmoothHint = saved.lineSmoothHint;
    }
    if ((mask & kTextureBit) != 0) {
        s.texGenModeS = saved.texGenModeS;
        s.texGenModeT = saved.texGenModeT;
        s.textureEnvMode = saved.textureEnvMode;
        s.boundTexture = saved.boundTexture;
        glBindTexture(GL_TEXTURE_2D, s.boundTexture);
    }
    if ((mask & kTransformBit) != 0) s.matrixMode = saved.matrixMode;
    if ((mask & kListBit) != 0) s.listBase = saved.listBase;
    syncEsState();
}

void pushNow(Bitfield mask) {
    Context& c = *current();
    if (c.attribStack.size() >= kAttribStackDepth) return setError(kStackOverflow);
    c.attribStack.emplace_back(mask, c.state);
}

void popNow() {
    Context& c = *current();
    if (c.attribStack.empty()) return setError(kStackUnderflow);
    const auto [mask, saved] = c.attribStack.back();
    c.attribStack.pop_back();
    restore(mask, saved);
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
    if (current() == nullptr) return;
    if (recorded([mask] { pushNow(mask); })) return;
    pushNow(mask);
}

void popAttrib() {
    if (current() == nullptr) return;
    if (recorded([] { popNow(); })) return;
    popNow();
}

void pushClientAttrib(Bitfield mask) {
    Context* c = current();
    if (c == nullptr) return;
    if (c->clientAttribStack.size() >= kAttribStackDepth) return setError(kStackOverflow);
    c->clientAttribStack.emplace_back(mask, c->client);
}

void popClientAttrib() {
    Context* c = current();
    if (c == nullptr) return;
    if (c->clientAttribStack.empty()) return setError(kStackUnderflow);
    const auto [mask, saved] = c->clientAttribStack.back();
    c->clientAttribStack.pop_back();
    ClientState& client = c->client;
    if ((mask & kClientPixelStoreBit) != 0) {
        client.unpack = saved.unpack;
        client.pack = saved.pack;
    }
    if ((mask & kClientVertexArrayBit) != 0) {
        client.vertexArray = saved.vertexArray;
        client.vertexSize = saved.vertexSize;
        client.vertexType = saved.vertexType;
        client.vertexStride = saved.vertexStride;
        client.vertexOffset = saved.vertexOffset;
        client.vertexBuffer = saved.vertexBuffer;
        client.arrayBuffer = saved.arrayBuffer;
    }
}

}  // namespace calls

}  // namespace gfx::gles3
