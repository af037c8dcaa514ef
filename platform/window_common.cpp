// Window classes, the one window, its queue and default handling, whatever shows the window.
#include <map>
#include <string>

#include "base/report.h"
#include "platform/input.h"
#include "platform/key_table.h"
#include "platform/window_internal.h"

namespace platform {

namespace {

std::map<std::string, WindowClass> classes;
Window* theWindow = nullptr;
const int programMarker = 0;

}  // namespace

Window* liveWindow() { return theWindow; }

LParam clientSizeParam(WindowHandle window) {
    int width = 0;
    int height = 0;
    getClientSize(window, width, height);
    return static_cast<LParam>((static_cast<std::uint32_t>(height) << 16) |
                               (static_cast<std::uint32_t>(width) & 0xFFFF));
}

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
    auto* window = new Window;
    window->windowProc = found->second.windowProc;
    window->style = style;
    if (!native::openWindow(*window, title, x, y, width, height)) {
        delete window;
        return nullptr;
    }
    theWindow = window;

    CreateStruct create;
    create.createParams = createParam;
    sendMessage(window, WM_CREATE, 0, reinterpret_cast<LParam>(&create));
    return window;
}

void destroyWindow(WindowHandle window) {
    if (window == nullptr || window != theWindow) return;
    native::closeWindow(*window);
    theWindow = nullptr;
    delete window;
    releaseAllKeys();
}

void showWindow(WindowHandle window, int /*how*/) {
    if (window == nullptr) return;
    native::showWindow(*window);
    sendMessage(window, WM_SIZE, SIZE_RESTORED, clientSizeParam(window));
}

void setWindowUserData(WindowHandle window, void* data) {
    if (window != nullptr) window->userData = data;
}

void* getWindowUserData(WindowHandle window) { return window != nullptr ? window->userData : nullptr; }

bool postMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (window == nullptr || window != theWindow) return false;
    window->queue.push_back(Message{window, message, wParam, lParam});
    return true;
}

bool peekMessage(Message& message, WindowHandle window) {
    if (window == nullptr || window != theWindow) return false;
    native::pumpEvents();
    if (window->queue.empty()) return false;
    message = window->queue.front();
    window->queue.pop_front();
    keys::noteKeyMessage(message);
    return true;
}

LResult dispatchMessage(const Message& message) {
    return sendMessage(message.window, message.message, message.wParam, message.lParam);
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
