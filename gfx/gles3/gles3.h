// The OpenGL ES 3.0 renderer: fixed-function drawing reproduced with shaders and buffers, on
// an ES 3.0 context or WebGL 2.
#pragma once

#include <string>

#include "gfx/gfx.h"

namespace gfx::gles3 {

const EntryPoints& entryPoints();

// With an ES 3.0 context current: compiles the shaders and makes the buffers. False with
// `error` set to one line when the context cannot run them.
bool startContext(std::string& error);
// Gives back what startContext made and forgets the context's textures, lists and buffers.
void stopContext();

}  // namespace gfx::gles3
