// Choosing the renderer, once at start-up, and readying it for each GL context.
//   gl11:  the fixed-function OpenGL 1.1 driver itself, on a compatibility context (the reference)
//   gles3: the same pictures on an OpenGL ES 3.0 context (or WebGL 2) with shaders and buffers
#pragma once

#include <string>
#include <string_view>

namespace gfx {

enum class RendererKind { kGl11, kGles3 };

// "gl11" or "gles3"; false for anything else.
bool parseRendererName(std::string_view name, RendererKind& kind);
const char* rendererName(RendererKind kind);

// Before any window opens: routes every gfx call to `kind` and asks the platform for the
// matching context (compatibility or ES 3.0) from then on.
void useRenderer(RendererKind kind);
RendererKind activeRenderer();

// With a new context current: checks that it is what the renderer needs and makes the
// renderer's own objects (gles3: shaders, buffers, the glyph atlas). False with `error` set to
// one line ("no OpenGL ES 3.0 context: …") when it cannot draw there.
bool startContext(std::string& error);
// Before the current context goes away: gives back what startContext made.
void stopContext();

}  // namespace gfx
