// Errors, what is not implemented, the light defaults and the matrices the others read.
#include "gfx/gles3/context.h"

#include "base/report.h"

namespace gfx::gles3 {

FixedState::FixedState() {
    // Light 0 alone starts white.
    lights[0].diffuse = {1, 1, 1, 1};
    lights[0].specular = {1, 1, 1, 1};
}

void setError(Enum error) {
    Context* c = current();
    if (c != nullptr && c->error == 0) c->error = error;
}

void unsupported(const char* what, unsigned value) {
    Context* c = current();
    if (c == nullptr || !c->reported.insert({what, value}).second) return;
    base::reportf(base::Level::kWarning, "gles3: %s 0x%04X is not implemented and is ignored", what, value);
}

const Mat4& modelview() { return current()->matrices.modelview.back(); }
const Mat4& projection() { return current()->matrices.projection.back(); }
const Mat4& currentMatrix() {
    const Context& c = *current();
    return c.state.matrixMode == kProjection ? c.matrices.projection.back() : c.matrices.modelview.back();
}

}  // namespace gfx::gles3
