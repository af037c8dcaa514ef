// Window classes, the one window, its queue and default handling, over SDL2.
#include <cstdio>
#include <map>
#include <string>

#include "base/report.h"
#include "platform/input.h"
#include "platform/key_table.h"
#include "platform/sdl_internal.h"

namespace platform {

namespace {

std::map<std::string, WindowClass> classes;
Window* theWindow = nullptr;

// The frame a window with WS_OVERLAPPEDWINDOW has (sizing border and caption): programs size
// a framed window by its outer size (adjustWindowRect adds the frame to the client they want),
// and the client they draw in is that size less the frame.
constexpr int kBorder = 8;
constexpr int kCaption = 23;

bool framed(std::uint32_t style) { return (style & WS_POPUP) == 0; }

const int programMarker = 0;

}  // namespace

namespace sdl {
Window* liveWindow() { return theWindow; }
}  // namespace sdl

InstanceHandle currentInstance() { return &programMarker; }

bool registerWindowClass(const WindowClass& windowClass) {
    if (windowClass.className == nullptr || windowClass.className[0] == '\0' || windowClass.windowProc == nullptr)
        return false;
    return classes.emplace(windowClass.className, windowClass).second;
}

bool unregisterWindowClass(const char* className, InstanceHandle /*instance*/) {
    if (className == nullptr) return false;
    return classes.erase(className) == 1;
}

void adjustWindowRect(Rect& rect, std::uint32_t style, std::uint32_t /*exStyle*/) {
    if (!framed(style)) return;
    rect.left -= kBorder;
    rect.right += kBorder;
    rect.top -= kBorder + kCaption;
    rect.bottom += kBorder;
}

WindowHandle createWindow(std::uint32_t /*exStyle*/, const char* className, const char* title, std::uint32_t style,
                          int x, int y, int width, int height, InstanceHandle /*instance*/, void* createParam) {
    if (className == nullptr) return nullptr;
    auto found = classes.find(className);
    if (found == classes.end()) {
        base::reportf(base::Level::kError, "window class \"%s\" is not registered", className);
        return nullptr;
    }
    if (theWindow != nullptr) {
        base::report(base::Level::kError, "only one window can exist at a time");
        return nullptr;
    }
    if (!sdl::ensureVideo()) return nullptr;

    int clientWidth = width;
    int clientHeight = height;
    if (framed(style)) {
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
    const bool fullScreen = !framed(style) && sdl::pendingFullScreenMode(mode);
    if (fullScreen)
        flags |= SDL_WINDOW_FULLSCREEN;
    else if (framed(style))
        flags |= SDL_WINDOW_RESIZABLE;
    else
        flags |= SDL_WINDOW_BORDERLESS;

    SDL_Window* sdlWindow = SDL_CreateWindow(title != nullptr ? title : "", x, y, clientWidth, clientHeight, flags);
    if (sdlWindow == nullptr) {
        base::reportf(base::Level::kError, "cannot create the window: %s", SDL_GetError());
        return nullptr;
    }
    if (fullScreen && SDL_SetWindowDisplayMode(sdlWindow, &mode) != 0)
        base::reportf(base::Level::kWarning, "cannot set the full-screen mode: %s", SDL_GetError());
    SDL_DisableScreenSaver();

    auto* window = new Window;
    window->sdlWindow = sdlWindow;
    window->windowProc = found->second.windowProc;
    window->style = style;
    theWindow = window;

    CreateStruct create;
    create.createParams = createParam;
    sendMessage(window, WM_CREATE, 0, reinterpret_cast<LParam>(&create));
    return window;
}

void destroyWindow(WindowHandle window) {
    if (window == nullptr || window != theWindow) return;
    SDL_DestroyWindow(window->sdlWindow);
    theWindow = nullptr;
    delete window;
    releaseAllKeys();
}

void showWindow(WindowHandle window, int /*how*/) {
    if (window == nullptr) return;
    SDL_ShowWindow(window->sdlWindow);
    int width = 0;
    int height = 0;
    getClientSize(window, width, height);
    sendMessage(
        window, WM_SIZE, SIZE_RESTORED,
        static_cast<LParam>((static_cast<std::uint32_t>(height) << 16) | (static_cast<std::uint32_t>(width) & 0xFFFF)));
}

void setWindowUserData(WindowHandle window, void* data) {
    if (window != nullptr) window->userData = data;
}

void* getWindowUserData(WindowHandle window) { return window != nullptr ? window->userData : nullptr; }

void getClientSize(WindowHandle window, int& width, int& height) {
    width = 0;
    height = 0;
    if (window == nullptr) return;
    SDL_GL_GetDrawableSize(window->sdlWindow, &width, &height);
    if (width == 0 || height == 0) SDL_GetWindowSize(window->sdlWindow, &width, &height);
}

bool postMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (window == nullptr || window != theWindow) return false;
    window->queue.push_back(Message{window, message, wParam, lParam});
    return true;
}

bool peekMessage(Message& message, WindowHandle window) {
    if (window == nullptr || window != theWindow) return false;
    sdl::pumpEvents();
    if (window->queue.empty()) return false;
    message = window->queue.front();
    window->queue.pop_front();
    keys::noteKeyMessage(message);
    return true;
}

LResult dispatchMessage(const Message& message) {
    return sendMessage(message.window, message.message, message.wParam, message.lParam);
}

void waitMessage(WindowHandle window) {
    if (window == nullptr || window != theWindow) return;
    while (window->queue.empty()) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 100) != 0) sdl::translateEvent(event);
        sdl::noteTerminationRequest();
        if (theWindow != window) return;
    }
}

LResult defaultWindowProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    switch (message) {
        case WM_SYSKEYDOWN:
            if (wParam == static_cast<WParam>(VK_F4) && (lParam & KEY_ALT_HELD) != 0)
                return sendMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_SYSCOMMAND:
            if (wParam == SC_CLOSE) return sendMessage(window, WM_CLOSE, 0, 0);
            return 0;
        default:
            // WM_CLOSE included: windows here are destroyed only by their owner.
            return 0;
    }
}

LResult sendMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (window == nullptr || window->windowProc == nullptr) return 0;
    return window->windowProc(window, message, wParam, lParam);
}

}  // namespace platform
