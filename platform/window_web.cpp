// Window classes, the one window, its queue and default handling, in a web page: the window
// is the page's canvas, its client area the canvas's drawing buffer.
#include <emscripten.h>

#include <map>
#include <string>

#include "base/report.h"
#include "platform/input.h"
#include "platform/key_table.h"
#include "platform/web_internal.h"

namespace platform {

namespace {

std::map<std::string, WindowClass> classes;
Window* theWindow = nullptr;
const int programMarker = 0;

LParam packedSize(int width, int height) {
    return static_cast<LParam>((static_cast<std::uint32_t>(height) << 16) |
                               (static_cast<std::uint32_t>(width) & 0xFFFF));
}

}  // namespace

// The program's stack is unwound into the browser and rewound at the next animation frame
// (Asyncify): the shell keeps its loop as it is on the desktop.
// clang-format off
EM_JS(void, oyun_wait_for_animation_frame, (), {
    Asyncify.handleSleep(function(wakeUp) { requestAnimationFrame(function() { wakeUp(); }); });
});
// clang-format on

namespace web {
Window* liveWindow() { return theWindow; }

void waitForAnimationFrame() { oyun_wait_for_animation_frame(); }
}  // namespace web

extern "C" {

// The page's way to close the window, as its close box would: 1 when there was one to close.
EMSCRIPTEN_KEEPALIVE int oyun_web_close_window() {
    return theWindow != nullptr && postMessage(theWindow, WM_SYSCOMMAND, SC_CLOSE, 0) ? 1 : 0;
}

}  // extern "C"

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

// A canvas has no frame: the outer size is the client size.
void adjustWindowRect(Rect& /*rect*/, std::uint32_t /*style*/, std::uint32_t /*exStyle*/) {}

WindowHandle createWindow(std::uint32_t /*exStyle*/, const char* className, const char* /*title*/, std::uint32_t style,
                          int /*x*/, int /*y*/, int width, int height, InstanceHandle /*instance*/, void* createParam) {
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
    if (emscripten_set_canvas_element_size(web::kCanvas, width > 0 ? width : 1, height > 0 ? height : 1) !=
        EMSCRIPTEN_RESULT_SUCCESS) {
        base::report(base::Level::kError, "the page has no canvas to draw in");
        return nullptr;
    }
    auto* window = new Window;
    window->windowProc = found->second.windowProc;
    window->style = style;
    theWindow = window;
    web::listenToPage(window);

    CreateStruct create;
    create.createParams = createParam;
    sendMessage(window, WM_CREATE, 0, reinterpret_cast<LParam>(&create));
    return window;
}

void destroyWindow(WindowHandle window) {
    if (window == nullptr || window != theWindow) return;
    web::listenToPage(nullptr);
    theWindow = nullptr;
    delete window;
    releaseAllKeys();
}

void showWindow(WindowHandle window, int /*how*/) {
    if (window == nullptr) return;
    int width = 0;
    int height = 0;
    getClientSize(window, width, height);
    sendMessage(window, WM_SIZE, SIZE_RESTORED, packedSize(width, height));
}

void setWindowUserData(WindowHandle window, void* data) {
    if (window != nullptr) window->userData = data;
}

void* getWindowUserData(WindowHandle window) { return window != nullptr ? window->userData : nullptr; }

void getClientSize(WindowHandle window, int& width, int& height) {
    width = 0;
    height = 0;
    if (window == nullptr) return;
    emscripten_get_canvas_element_size(web::kCanvas, &width, &height);
}

bool postMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (window == nullptr || window != theWindow) return false;
    window->queue.push_back(Message{window, message, wParam, lParam});
    return true;
}

// DOM events arrive between frames, straight into the queue: nothing to pump here.
bool peekMessage(Message& message, WindowHandle window) {
    if (window == nullptr || window != theWindow || window->queue.empty()) return false;
    message = window->queue.front();
    window->queue.pop_front();
    keys::noteKeyMessage(message);
    return true;
}

LResult dispatchMessage(const Message& message) {
    return sendMessage(message.window, message.message, message.wParam, message.lParam);
}

// The page runs on while the program waits, frame by frame, for its events.
void waitMessage(WindowHandle window) {
    while (window != nullptr && window == theWindow && window->queue.empty()) web::waitForAnimationFrame();
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
        default: return 0;
    }
}

LResult sendMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam) {
    if (window == nullptr || window->windowProc == nullptr) return 0;
    return window->windowProc(window, message, wParam, lParam);
}

// The canvas is always there to draw in, seen or not.
bool useOffscreenVideo() { return true; }

bool openDisplay() { return true; }

bool hasVisibleDisplay() { return true; }

}  // namespace platform
