// The one window and its device contexts as both platforms keep them, and what each platform
// supplies for them. Only platform/ sources include this file.
#pragma once

#include <deque>

#include "platform/gl_context.h"
#include "platform/window.h"

namespace platform {

// The platform's own part of a window (SDL's window on the desktop); a browser has none.
struct NativeWindow;

struct Window {
    NativeWindow* native = nullptr;
    WindowProc windowProc = nullptr;
    void* userData = nullptr;
    std::uint32_t style = 0;
    std::deque<Message> queue;
};

struct DeviceContextRecord {
    Window* window = nullptr;
    int pixelFormat = 0;
};

// The one window, or null.
Window* liveWindow();

// WM_SIZE's lParam for the window's client size.
LParam clientSizeParam(WindowHandle window);

// Counts a buffer swap for swapCount.
void countSwap();

// What each platform does its own way (window_sdl.cpp, window_web.cpp, gl_context_*.cpp).
namespace native {

// Makes what shows `window` (its style is set) with this outer size; false, reported, when it
// cannot.
bool openWindow(Window& window, const char* title, int x, int y, int width, int height);
void closeWindow(Window& window);
void showWindow(Window& window);

// Turns pending system events into messages of the live window.
void pumpEvents();

// The kind of context windows are made with until requestGlApi says otherwise.
GlApi defaultGlApi();

}  // namespace native
}  // namespace platform
