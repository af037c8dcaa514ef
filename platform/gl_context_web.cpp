// WebGL 2 contexts on the page's canvas, drawing into a back buffer of their own. A browser offers
// OpenGL ES 3.0 as WebGL 2 and nothing with fixed-function drawing.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <string>

#include "base/report.h"
#include "platform/web_internal.h"

namespace platform {

namespace {

// The pixel format's 16-bit depth, which a canvas cannot be asked for (browsers give it 24
// bits, and overlapping lines then pass or fail the depth test otherwise than on the desktop):
// the context draws into a back buffer of our own, RGBA with a 16-bit depth buffer, copied to
// the canvas at each swap. (JavaScript: not for clang-format.)
// clang-format off
EM_JS(int, oyun_back_buffer_make, (const char* canvas), {
    var gl = document.querySelector(UTF8ToString(canvas)).getContext("webgl2");
    if (!gl) return 0;
    var width = gl.drawingBufferWidth, height = gl.drawingBufferHeight;
    var buffer = {width: width, height: height, framebuffer: gl.createFramebuffer(),
                  colour: gl.createRenderbuffer(), depth: gl.createRenderbuffer()};
    gl.bindRenderbuffer(gl.RENDERBUFFER, buffer.colour);
    gl.renderbufferStorage(gl.RENDERBUFFER, gl.RGBA8, width, height);
    gl.bindRenderbuffer(gl.RENDERBUFFER, buffer.depth);
    gl.renderbufferStorage(gl.RENDERBUFFER, gl.DEPTH_COMPONENT16, width, height);
    gl.bindRenderbuffer(gl.RENDERBUFFER, null);
    gl.bindFramebuffer(gl.FRAMEBUFFER, buffer.framebuffer);
    gl.framebufferRenderbuffer(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.RENDERBUFFER, buffer.colour);
    gl.framebufferRenderbuffer(gl.FRAMEBUFFER, gl.DEPTH_ATTACHMENT, gl.RENDERBUFFER, buffer.depth);
    if (gl.checkFramebufferStatus(gl.FRAMEBUFFER) !== gl.FRAMEBUFFER_COMPLETE) {
        gl.bindFramebuffer(gl.FRAMEBUFFER, null);
        return 0;
    }
    gl.oyunBackBuffer = buffer;
    return 1;
});

EM_JS(void, oyun_back_buffer_present, (const char* canvas), {
    var gl = document.querySelector(UTF8ToString(canvas)).getContext("webgl2");
    var buffer = gl && gl.oyunBackBuffer;
    if (!buffer) return;
    gl.bindFramebuffer(gl.READ_FRAMEBUFFER, buffer.framebuffer);
    gl.bindFramebuffer(gl.DRAW_FRAMEBUFFER, null);
    gl.blitFramebuffer(0, 0, buffer.width, buffer.height, 0, 0, buffer.width, buffer.height,
                       gl.COLOR_BUFFER_BIT, gl.NEAREST);
    gl.bindFramebuffer(gl.FRAMEBUFFER, buffer.framebuffer);
});

EM_JS(void, oyun_back_buffer_free, (const char* canvas), {
    var gl = document.querySelector(UTF8ToString(canvas)).getContext("webgl2");
    var buffer = gl && gl.oyunBackBuffer;
    if (!buffer) return;
    gl.bindFramebuffer(gl.FRAMEBUFFER, null);
    gl.deleteFramebuffer(buffer.framebuffer);
    gl.deleteRenderbuffer(buffer.colour);
    gl.deleteRenderbuffer(buffer.depth);
    gl.oyunBackBuffer = null;
});
// clang-format on

}  // namespace

// A browser has nothing but WebGL 2.
GlApi native::defaultGlApi() { return GlApi::kEs3; }

// Frames follow the browser's animation frames; there is nothing to choose.
void setVsyncWanted(bool /*wanted*/) {}

// Made current at once, as on the desktop.
GlContext createGlContext(DeviceContext deviceContext, std::string& error) {
    error.clear();
    if (deviceContext == nullptr || deviceContext->pixelFormat == 0) return nullptr;
    if (requestedGlApi() != GlApi::kEs3) {
        error = "cannot create an OpenGL context: a browser has none with fixed-function drawing";
        return nullptr;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    // The canvas only shows what the back buffer holds: no depth, no multisampling, and no
    // alpha, so that the page does not blend the picture with what lies under it.
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;
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
    if (oyun_back_buffer_make(web::kCanvas) == 0) {
        emscripten_webgl_make_context_current(0);
        emscripten_webgl_destroy_context(handle);
        error = "no OpenGL ES 3.0 context: no back buffer with a 16-bit depth buffer can be made";
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
    if (emscripten_webgl_make_context_current(context->handle) == EMSCRIPTEN_RESULT_SUCCESS)
        oyun_back_buffer_free(web::kCanvas);
    emscripten_webgl_destroy_context(context->handle);
    delete context;
}

// The browser shows what was drawn once the program gives control back to it, which it does
// here until the next animation frame.
void swapBuffers(DeviceContext deviceContext) {
    if (deviceContext == nullptr) return;
    oyun_back_buffer_present(web::kCanvas);
    countSwap();
    web::waitForAnimationFrame();
}

}  // namespace platform
