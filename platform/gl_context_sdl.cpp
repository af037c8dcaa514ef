// OpenGL contexts over SDL's GL support: made on the window, with the swap interval asked for.
#include <string>

#include "base/report.h"
#include "platform/sdl_internal.h"

namespace platform {

namespace {
bool vsyncWanted = true;
}  // namespace

GlApi native::defaultGlApi() { return GlApi::kCompatibility; }

void setVsyncWanted(bool wanted) { vsyncWanted = wanted; }

GlContext createGlContext(DeviceContext deviceContext, std::string& error) {
    error.clear();
    if (deviceContext == nullptr || deviceContext->pixelFormat == 0) return nullptr;
    SDL_GLContext sdlContext = SDL_GL_CreateContext(deviceContext->window->native->sdlWindow);
    if (sdlContext == nullptr) {
        // The window's attributes asked for the kind; a driver without it refuses here.
        error = requestedGlApi() == GlApi::kEs3 ? "no OpenGL ES 3.0 context: " : "cannot create an OpenGL context: ";
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
    if (SDL_GL_MakeCurrent(deviceContext->window->native->sdlWindow, sdlContext) != 0) {
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
    SDL_GL_SwapWindow(deviceContext->window->native->sdlWindow);
    countSwap();
}

}  // namespace platform
