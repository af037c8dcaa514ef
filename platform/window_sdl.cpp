// The window over SDL2: an SDL window with a fixed pixel format, framed or not, and its wait
// for events.
#include "base/report.h"
#include "platform/sdl_internal.h"

namespace platform {

namespace {

// The frame a window with WS_OVERLAPPEDWINDOW has (sizing border and caption): programs size
// a framed window by its outer size (adjustWindowRect adds the frame to the client they want),
// and the client they draw in is that size less the frame.
constexpr int kBorder = 8;
constexpr int kCaption = 23;

bool framed(std::uint32_t style) { return (style & WS_POPUP) == 0; }

}  // namespace

bool native::openWindow(Window& window, const char* title, int x, int y, int width, int height) {
    if (!sdl::ensureVideo()) return false;

    int clientWidth = width;
    int clientHeight = height;
    if (framed(window.style)) {
        clientWidth -= 2 * kBorder;
        clientHeight -= 2 * kBorder + kCaption;
    }
    if (clientWidth < 1) clientWidth = 1;
    if (clientHeight < 1) clientHeight = 1;

    // The pixel format is fixed before the window exists: double-buffered RGBA with a
    // 16-bit depth buffer, on a compatibility context or on OpenGL ES 3.0 as the renderer asks.
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (requestedGlApi() == GlApi::kEs3) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    } else {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    }

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    SDL_DisplayMode mode{};
    const bool fullScreen = !framed(window.style) && sdl::pendingFullScreenMode(mode);
    if (fullScreen)
        flags |= SDL_WINDOW_FULLSCREEN;
    else if (framed(window.style))
        flags |= SDL_WINDOW_RESIZABLE;
    else
        flags |= SDL_WINDOW_BORDERLESS;

    SDL_Window* sdlWindow = SDL_CreateWindow(title != nullptr ? title : "", x, y, clientWidth, clientHeight, flags);
    if (sdlWindow == nullptr) {
        base::reportf(base::Level::kError, "cannot create the window: %s", SDL_GetError());
        return false;
    }
    if (fullScreen && SDL_SetWindowDisplayMode(sdlWindow, &mode) != 0)
        base::reportf(base::Level::kWarning, "cannot set the full-screen mode: %s", SDL_GetError());
    SDL_DisableScreenSaver();
    window.native = new NativeWindow{sdlWindow};
    return true;
}

void native::closeWindow(Window& window) {
    SDL_DestroyWindow(window.native->sdlWindow);
    delete window.native;
    window.native = nullptr;
}

void native::showWindow(Window& window) { SDL_ShowWindow(window.native->sdlWindow); }

void adjustWindowRect(Rect& rect, std::uint32_t style, std::uint32_t /*exStyle*/) {
    if (!framed(style)) return;
    rect.left -= kBorder;
    rect.right += kBorder;
    rect.top -= kBorder + kCaption;
    rect.bottom += kBorder;
}

void getClientSize(WindowHandle window, int& width, int& height) {
    width = 0;
    height = 0;
    if (window == nullptr) return;
    SDL_GL_GetDrawableSize(window->native->sdlWindow, &width, &height);
    if (width == 0 || height == 0) SDL_GetWindowSize(window->native->sdlWindow, &width, &height);
}

void waitMessage(WindowHandle window) {
    if (window == nullptr || window != liveWindow()) return;
    while (window->queue.empty()) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 100) != 0) sdl::translateEvent(event);
        sdl::noteTerminationRequest();
        if (liveWindow() != window) return;
    }
}

}  // namespace platform
