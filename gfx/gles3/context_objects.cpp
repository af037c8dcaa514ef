// The current context record and the objects it owns on the ES context, made and given back
// with it.
#include "gfx/gles3/atlas.h"
#include "gfx/gles3/context.h"
#include "gfx/gles3/draw.h"
#include "gfx/gles3/immediate.h"
#include "gfx/gles3/lists.h"

namespace gfx::gles3 {

namespace {
std::unique_ptr<Context> running;
}  // namespace

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

}  // namespace gfx::gles3
