// Cursor position and visibility in a page: the last position the mouse was seen at (a page
// cannot move the pointer), and the canvas's cursor style.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/input.h"
#include "platform/web_internal.h"

namespace platform {

namespace {
int cursorCount = 0;
Point cursor{0, 0};
bool watching = false;

// clang-format off
EM_JS(void, oyun_canvas_cursor, (const char* canvas, int hidden), {
    var element = document.querySelector(UTF8ToString(canvas));
    if (element) element.style.cursor = hidden ? "none" : "auto";
});
// clang-format on

EM_BOOL onMouseMove(int, const EmscriptenMouseEvent* event, void*) {
    cursor = Point{static_cast<int>(event->screenX), static_cast<int>(event->screenY)};
    return EM_FALSE;
}

void watchMouse() {
    if (watching) return;
    watching = true;
    emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, onMouseMove);
}
}  // namespace

Point getCursorPos() {
    watchMouse();
    return cursor;
}

void setCursorPos(int x, int y) {
    watchMouse();
    cursor = Point{x, y};
}

int showCursor(bool show) {
    cursorCount += show ? 1 : -1;
    oyun_canvas_cursor(web::kCanvas, cursorCount < 0 ? 1 : 0);
    return cursorCount;
}

}  // namespace platform
