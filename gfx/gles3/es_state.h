// The ES context's own state that mirrors the fixed-function state directly: blending,
// depth, scissor, viewport, clearing and culling.
#pragma once

namespace gfx::gles3 {

// Sends the whole mirrored state, after a context starts or an attribute group returns.
void syncEsState();

}  // namespace gfx::gles3
