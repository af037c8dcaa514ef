// The window procedure and the two requests that end the message loop.
#include "shell/app_window.h"
#include "shell/gl_window.h"

using namespace platform;

int programRunning = 0;
int fullScreenWanted = 0;

void requestQuit(AppWindow* window) {
    postMessage(window->windowHandle, WM_QUIT, 0, 0);
    programRunning = 0;
}

void requestModeToggle(AppWindow* window) { postMessage(window->windowHandle, WM_TOGGLEFULLSCREEN, 0, 0); }

LResult windowProcedure(WindowHandle handle, std::uint32_t message, WParam wParam, LParam lParam) {
    auto* window = static_cast<AppWindow*>(getWindowUserData(handle));
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CreateStruct*>(lParam);
        setWindowUserData(handle, create != nullptr ? create->createParams : nullptr);
        return 0;
    }
    // Nothing is handled for a window that is not bound to its record.
    if (window == nullptr) return defaultWindowProc(handle, message, wParam, lParam);

    switch (message) {
        case WM_SIZE:
            if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) {
                window->visible = 1;
                const auto packed = static_cast<std::uint32_t>(lParam);
                resizeView(static_cast<int>(packed & 0xFFFF), static_cast<int>(packed >> 16));
                return 0;
            }
            if (wParam == SIZE_MINIMIZED) {
                window->visible = 0;
                return 0;
            }
            break;
        case WM_CLOSE: requestQuit(window); return 0;
        case WM_KEYDOWN:
            if (wParam <= 255) {
                (*window->keyState)[wParam] = 1;
                return 0;
            }
            break;
        case WM_KEYUP:
            if (wParam <= 255) {
                (*window->keyState)[wParam] = 0;
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
            break;
        case WM_TOGGLEFULLSCREEN:
            fullScreenWanted = fullScreenWanted == 1 ? 0 : 1;
            postMessage(handle, WM_QUIT, 0, 0);
            break;
        default: break;
    }
    return defaultWindowProc(handle, message, wParam, lParam);
}
