#include "tests/gfx/renderer_context.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace gfx_test {

RendererContext::RendererContext(gfx::RendererKind kind, int width, int height) : width_(width), height_(height) {
    gfx::useRenderer(kind);
    context_ = std::make_unique<testing_support::GlTestContext>(width, height);
    if (!context_->ok()) return;
    std::string error;
    started_ = gfx::startContext(error);
    if (!started_) ADD_FAILURE() << error;
}

RendererContext::~RendererContext() {
    if (started_) gfx::stopContext();
    context_.reset();
    gfx::useRenderer(gfx::RendererKind::kGl11);
}

std::vector<std::uint8_t> RendererContext::pixels() const { return context_->readPixels(0, 0, width_, height_); }

Pictures drawBoth(int width, int height, const std::function<void()>& draw) {
    Pictures pictures;
    for (const gfx::RendererKind kind : {gfx::RendererKind::kGl11, gfx::RendererKind::kGles3}) {
        RendererContext context(kind, width, height);
        if (!context.ok()) {
            ADD_FAILURE() << "no context for " << gfx::rendererName(kind);
            continue;
        }
        draw();
        (kind == gfx::RendererKind::kGl11 ? pictures.gl11 : pictures.gles3) = context.pixels();
    }
    return pictures;
}

Difference compare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    Difference d;
    if (a.size() != b.size()) return {-1, 255};
    for (std::size_t i = 0; i < a.size(); i += 4) {
        int worst = 0;
        for (std::size_t c = 0; c < 3; ++c) worst = std::max(worst, std::abs(int{a[i + c]} - int{b[i + c]}));
        if (worst > 0) ++d.pixels;
        d.largest = std::max(d.largest, worst);
    }
    return d;
}

int pixelsNot(const std::vector<std::uint8_t>& rgba, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    int n = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] != r || rgba[i + 1] != g || rgba[i + 2] != b) ++n;
    return n;
}

}  // namespace gfx_test
