// Device contexts, pixel formats and WebGL 2 contexts on the page's canvas. A browser offers
// OpenGL ES 3.0 as WebGL 2 and nothing with fixed-function drawing.
#include <emscripten/html5.h>

#include <string>

#include "base/report.h"
#include "platform/web_internal.h"

namespace platform {

namespace {
std::uint64_t swaps = 0;
GlApi wantedApi = GlApi::kEs3;
}  // namespace

void requestGlApi(GlApi api) { wantedApi = api; }

GlApi requestedGlApi() { return wantedApi; }

DeviceContext getDeviceContext(WindowHandle window) {
    if (window == nullptr || window != web::liveWindow()) return nullptr;
    auto* deviceContext = new DeviceContextRecord;
    deviceContext->window = window;
    return deviceContext;
}

void releaseDeviceContext(WindowHandle /*window*/, DeviceContext deviceContext) { delete deviceContext; }

int choosePixelFormat(DeviceContext deviceContext, const PixelFormatDescriptor& descriptor) {
    if (deviceContext == nullptr) return 0;
    const std::uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((descriptor.flags & needed) != needed || descriptor.pixelType != PFD_TYPE_RGBA) return 0;
    return 1;
}

bool setPixelFormat(DeviceContext deviceContext, int format, const PixelFormatDescriptor& /*descriptor*/) {
    if (deviceContext == nullptr || format != 1 || deviceContext->pixelFormat != 0) return false;
    deviceContext->pixelFormat = format;
    return true;
}

// Frames follow the browser's animation frames; there is nothing to choose.
void setVsyncWanted(bool /*wanted*/) {}

GlContext createGlContext(DeviceContext deviceContext) {
    std::string error;
    GlContext context = createGlContext(deviceContext, error);
    if (context == nullptr && !error.empty()) base::report(base::Level::kError, error);
    return context;
}

// Made current at once, as on the desktop.
GlContext createGlContext(DeviceContext deviceContext, std::string& error) {
    error.clear();
    if (deviceContext == nullptr || deviceContext->pixelFormat == 0) return nullptr;
    if (wantedApi != GlApi::kEs3) {
        error = "cannot create an OpenGL context: a browser has none with fixed-function drawing";
        return nullptr;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    // As on the desktop: RGB with a depth buffer and no multisampling; no alpha, so that the
    // page does not blend the picture with what lies under the canvas.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_TRUE;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.premultipliedAlpha = EM_FALSE;
    attributes.powerPreference = EM_WEBGL_POWER_PREFERENCE_HIGH_PERFORMANCE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = emscripten_webgl_create_context(web::kCanvas, &attributes);
    if (handle <= 0) {
        error = "no OpenGL ES 3.0 context: this browser has no WebGL 2, or it is turned off";
        return nullptr;
    }
    if (emscripten_webgl_make_context_current(handle) != EMSCRIPTEN_RESULT_SUCCESS) {
        emscripten_webgl_destroy_context(handle);
        error = "no OpenGL ES 3.0 context: the WebGL 2 context cannot be made current";
        return nullptr;
    }
    auto* context = new GlContextRecord;
    context->handle = handle;
    return context;
}

bool makeCurrent(DeviceContext deviceContext, GlContext context) {
    if (deviceContext == nullptr) return false;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = context != nullptr ? context->handle : 0;
    if (emscripten_webgl_make_context_current(handle) != EMSCRIPTEN_RESULT_SUCCESS) {
        base::report(base::Level::kError, "cannot make the WebGL context current");
        return false;
    }
    return true;
}

void deleteGlContext(GlContext context) {
    if (context == nullptr) return;
    emscripten_webgl_destroy_context(context->handle);
    delete context;
}

// The browser shows what was drawn once the program gives control back to it, which it does
// here until the next animation frame.
void swapBuffers(DeviceContext deviceContext) {
    if (deviceContext == nullptr) return;
    ++swaps;
    web::waitForAnimationFrame();
}

std::uint64_t swapCount() { return swaps; }

}  // namespace platform
