// The current context record, errors and the matrices the others read.
#include "gfx/gles3/context.h"

#include "base/report.h"
#include "gfx/gles3/atlas.h"
#include "gfx/gles3/draw.h"
#include "gfx/gles3/immediate.h"
#include "gfx/gles3/lists.h"

namespace gfx::gles3 {

namespace {
std::unique_ptr<Context> running;
}

FixedState::FixedState() {
    // Light 0 alone starts white.
    lights[0].diffuse = {1, 1, 1, 1};
    lights[0].specular = {1, 1, 1, 1};
}

Context::Context()
    : immediate(std::make_unique<Immediate>()),
      lists(std::make_unique<Lists>()),
      gpu(std::make_unique<Gpu>()),
      atlas(std::make_unique<Atlas>()) {}

Context::~Context() {
    // Lists own GPU geometry; they go while the renderer's objects still exist.
    lists.reset();
    atlas.reset();
    gpu.reset();
}

Context* current() { return running.get(); }

void setCurrent(std::unique_ptr<Context> context) {
    // The old record's destructor needs itself as the current context.
    if (running != nullptr) {
        Context* old = running.get();
        old->lists.reset();
        old->atlas.reset();
        old->gpu.reset();
    }
    running = std::move(context);
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
