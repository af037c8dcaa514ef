// The window in a web page: the page's canvas, its client area the canvas's drawing buffer,
// and its wait for events a wait for the browser's next animation frame.
#include <emscripten.h>

#include "base/report.h"
#include "platform/web_internal.h"

namespace platform {

// The program's stack is unwound into the browser and rewound at the next animation frame
// (Asyncify): the shell keeps its loop as it is on the desktop.
// clang-format off
EM_JS(void, oyun_wait_for_animation_frame, (), {
    Asyncify.handleSleep(function(wakeUp) { requestAnimationFrame(function() { wakeUp(); }); });
});
// clang-format on

namespace web {
void waitForAnimationFrame() { oyun_wait_for_animation_frame(); }
}  // namespace web

extern "C" {

// The page's way to close the window, as its close box would: 1 when there was one to close.
EMSCRIPTEN_KEEPALIVE int oyun_web_close_window() {
    return liveWindow() != nullptr && postMessage(liveWindow(), WM_SYSCOMMAND, SC_CLOSE, 0) ? 1 : 0;
}

}  // extern "C"

bool native::openWindow(Window& window, const char* /*title*/, int /*x*/, int /*y*/, int width, int height) {
    if (emscripten_set_canvas_element_size(web::kCanvas, width > 0 ? width : 1, height > 0 ? height : 1) !=
        EMSCRIPTEN_RESULT_SUCCESS) {
        base::report(base::Level::kError, "the page has no canvas to draw in");
        return false;
    }
    web::listenToPage(&window);
    return true;
}

void native::closeWindow(Window& /*window*/) { web::listenToPage(nullptr); }

// The canvas is always shown.
void native::showWindow(Window& /*window*/) {}

// A canvas has no frame: the outer size is the client size.
void adjustWindowRect(Rect& /*rect*/, std::uint32_t /*style*/, std::uint32_t /*exStyle*/) {}

void getClientSize(WindowHandle window, int& width, int& height) {
    width = 0;
    height = 0;
    if (window == nullptr) return;
    emscripten_get_canvas_element_size(web::kCanvas, &width, &height);
}

// The page runs on while the program waits, frame by frame, for its events.
void waitMessage(WindowHandle window) {
    while (window != nullptr && window == liveWindow() && window->queue.empty()) web::waitForAnimationFrame();
}

// The canvas is always there to draw in, seen or not.
bool useOffscreenVideo() { return true; }

bool openDisplay() { return true; }

bool hasVisibleDisplay() { return true; }

}  // namespace platform
