// Which renderer the gfx calls reach, and the context each one needs.
#include "gfx/renderer.h"

#include "gfx/gles3/gles3.h"
#ifndef __EMSCRIPTEN__
#include "gfx/gl11.h"
#endif
#include "platform/gl_context.h"

namespace gfx {

namespace {
// A browser has no driver with fixed-function drawing: gles3 is all there is.
const EntryPoints& reference() {
#ifdef __EMSCRIPTEN__
    return gles3::entryPoints();
#else
    return gl11::entryPoints();
#endif
}
}  // namespace

const EntryPoints* entryPoints = &reference();

namespace {
RendererKind active = RendererKind::kGl11;
}

bool parseRendererName(std::string_view name, RendererKind& kind) {
    if (name == "gl11") {
        kind = RendererKind::kGl11;
        return true;
    }
    if (name == "gles3") {
        kind = RendererKind::kGles3;
        return true;
    }
    return false;
}

const char* rendererName(RendererKind kind) { return kind == RendererKind::kGles3 ? "gles3" : "gl11"; }

void useRenderer(RendererKind kind) {
    active = kind;
    platform::requestGlApi(kind == RendererKind::kGles3 ? platform::GlApi::kEs3 : platform::GlApi::kCompatibility);
    entryPoints = kind == RendererKind::kGles3 ? &gles3::entryPoints() : &reference();
}

RendererKind activeRenderer() { return active; }

bool startContext(std::string& error) {
    if (active == RendererKind::kGles3) return gles3::startContext(error);
    return true;
}

void stopContext() {
    if (active == RendererKind::kGles3) gles3::stopContext();
}

}  // namespace gfx
