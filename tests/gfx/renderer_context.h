// Test contexts for the two renderers: a hidden window with the context a renderer needs
// and that renderer started on it, so the same drawing code can run on both and be compared.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gfx/renderer.h"
#include "tests/support/gl_test_context.h"

namespace gfx_test {

class RendererContext {
public:
    RendererContext(gfx::RendererKind kind, int width, int height);
    ~RendererContext();
    RendererContext(const RendererContext&) = delete;
    RendererContext& operator=(const RendererContext&) = delete;

    bool ok() const { return started_; }
    platform::DeviceContext deviceContext() const { return context_->deviceContext(); }
    platform::WindowHandle window() const { return context_->window(); }
    // RGBA bytes of the back buffer, bottom row first.
    std::vector<std::uint8_t> pixels() const;

private:
    std::unique_ptr<testing_support::GlTestContext> context_;
    bool started_ = false;
    int width_, height_;
};

struct Pictures {
    std::vector<std::uint8_t> gl11, gles3;
};

// Runs `draw` through the gfx calls on each renderer in turn, each on a fresh window of
// width x height, and returns both pictures.
Pictures drawBoth(int width, int height, const std::function<void()>& draw);
// The same with the context at hand (for its device context).
Pictures drawBoth(int width, int height, const std::function<void(RendererContext&)>& draw);

struct Difference {
    int pixels = 0;   // pixels with any channel differing
    int largest = 0;  // largest difference of one channel
};
Difference compare(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);

// Count of pixels whose colour is not the one given (RGBA).
int pixelsNot(const std::vector<std::uint8_t>& rgba, std::uint8_t r, std::uint8_t g, std::uint8_t b);

}  // namespace gfx_test
