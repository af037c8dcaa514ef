// Device contexts, pixel formats and OpenGL contexts over SDL's GL support.
#include <atomic>
#include <cstdio>

#include "base/report.h"
#include "platform/sdl_internal.h"

namespace platform {

namespace {
std::atomic<std::uint64_t> swaps{0};
bool vsyncWanted = true;
GlApi wantedApi = GlApi::kCompatibility;
}  // namespace

void requestGlApi(GlApi api) { wantedApi = api; }

GlApi requestedGlApi() { return wantedApi; }

DeviceContext getDeviceContext(WindowHandle window) {
    if (window == nullptr || window != sdl::liveWindow()) return nullptr;
    auto* deviceContext = new DeviceContextRecord;
    deviceContext->window = window;
    return deviceContext;
}

void releaseDeviceContext(WindowHandle /*window*/, DeviceContext deviceContext) { delete deviceContext; }

int choosePixelFormat(DeviceContext deviceContext, const PixelFormatDescriptor& descriptor) {
    if (deviceContext == nullptr) return 0;
    const std::uint32_t needed = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if ((descriptor.flags & needed) != needed || descriptor.pixelType != PFD_TYPE_RGBA) return 0;
    // The one format windows are made with: RGBA, double-buffered, 16-bit depth.
    return 1;
}

bool setPixelFormat(DeviceContext deviceContext, int format, const PixelFormatDescriptor& /*descriptor*/) {
    if (deviceContext == nullptr || format != 1 || deviceContext->pixelFormat != 0) return false;
    deviceContext->pixelFormat = format;
    return true;
}

void setVsyncWanted(bool wanted) { vsyncWanted = wanted; }

GlContext createGlContext(DeviceContext deviceContext) {
    std::string error;
    GlContext context = createGlContext(deviceContext, error);
    if (context == nullptr && !error.empty()) base::report(base::Level::kError, error);
    return context;
}

GlContext createGlContext(DeviceContext deviceContext, std::string& error) {
    error.clear();
    if (deviceContext == nullptr || deviceContext->pixelFormat == 0) return nullptr;
    SDL_GLContext sdlContext = SDL_GL_CreateContext(deviceContext->window->sdlWindow);
    if (sdlContext == nullptr) {
        // The window's attributes asked for the kind; a driver without it refuses here.
        error = wantedApi == GlApi::kEs3 ? "no OpenGL ES 3.0 context: " : "cannot create an OpenGL context: ";
        error += SDL_GetError();
        return nullptr;
    }
    // The new context is current; a driver without any swap control simply ignores this.
    if (!vsyncWanted)
        SDL_GL_SetSwapInterval(0);
    else if (SDL_GL_SetSwapInterval(-1) != 0)
        SDL_GL_SetSwapInterval(1);
    auto* context = new GlContextRecord;
    context->sdlContext = sdlContext;
    return context;
}

bool makeCurrent(DeviceContext deviceContext, GlContext context) {
    if (deviceContext == nullptr) return false;
    SDL_GLContext sdlContext = context != nullptr ? context->sdlContext : nullptr;
    if (SDL_GL_MakeCurrent(deviceContext->window->sdlWindow, sdlContext) != 0) {
        base::reportf(base::Level::kError, "cannot make the OpenGL context current: %s", SDL_GetError());
        return false;
    }
    return true;
}

void deleteGlContext(GlContext context) {
    if (context == nullptr) return;
    SDL_GL_DeleteContext(context->sdlContext);
    delete context;
}

void swapBuffers(DeviceContext deviceContext) {
    if (deviceContext == nullptr) return;
    SDL_GL_SwapWindow(deviceContext->window->sdlWindow);
    ++swaps;
}

std::uint64_t swapCount() { return swaps.load(); }

}  // namespace platform
