// A real OpenGL context on a hidden window for tests (SDL's offscreen driver under CTest).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gl_context.h"
#include "platform/window.h"

namespace testing_support {

class GlTestContext {
public:
    // Width and height of the client area.
    GlTestContext(int width = 256, int height = 256);
    ~GlTestContext();
    GlTestContext(const GlTestContext&) = delete;
    GlTestContext& operator=(const GlTestContext&) = delete;

    bool ok() const { return context_ != nullptr; }
    platform::WindowHandle window() const { return window_; }
    platform::DeviceContext deviceContext() const { return deviceContext_; }

    // RGBA bytes of the back buffer, bottom row first.
    std::vector<std::uint8_t> readPixels(int x, int y, int width, int height) const;

private:
    platform::WindowHandle window_ = nullptr;
    platform::DeviceContext deviceContext_ = nullptr;
    platform::GlContext context_ = nullptr;
};

}  // namespace testing_support
