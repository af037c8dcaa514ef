#include "tests/support/gl_test_context.h"

#include <GL/gl.h>

namespace testing_support {

namespace {
platform::LResult testWindowProc(platform::WindowHandle window, std::uint32_t message, platform::WParam wParam,
                                 platform::LParam lParam) {
    return platform::defaultWindowProc(window, message, wParam, lParam);
}
constexpr const char* kClassName = "GlTestContext";
}  // namespace

GlTestContext::GlTestContext(int width, int height) {
    platform::WindowClass windowClass;
    windowClass.windowProc = testWindowProc;
    windowClass.className = kClassName;
    platform::registerWindowClass(windowClass);
    window_ = platform::createWindow(0, kClassName, "test", platform::WS_POPUP, 0, 0, width, height,
                                     platform::currentInstance(), nullptr);
    if (window_ == nullptr) return;
    deviceContext_ = platform::getDeviceContext(window_);
    platform::PixelFormatDescriptor pfd;
    pfd.flags = platform::PFD_DRAW_TO_WINDOW | platform::PFD_SUPPORT_OPENGL | platform::PFD_DOUBLEBUFFER;
    pfd.depthBits = 16;
    const int format = platform::choosePixelFormat(deviceContext_, pfd);
    if (format == 0 || !platform::setPixelFormat(deviceContext_, format, pfd)) return;
    context_ = platform::createGlContext(deviceContext_);
    if (context_ != nullptr && !platform::makeCurrent(deviceContext_, context_)) {
        platform::deleteGlContext(context_);
        context_ = nullptr;
    }
    if (context_ != nullptr) glViewport(0, 0, width, height);
}

GlTestContext::~GlTestContext() {
    if (context_ != nullptr) {
        platform::makeCurrent(deviceContext_, nullptr);
        platform::deleteGlContext(context_);
    }
    if (deviceContext_ != nullptr) platform::releaseDeviceContext(window_, deviceContext_);
    if (window_ != nullptr) platform::destroyWindow(window_);
    platform::unregisterWindowClass(kClassName, platform::currentInstance());
}

std::vector<std::uint8_t> GlTestContext::readPixels(int x, int y, int width, int height) const {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace testing_support
