// Cursor position and visibility.
#include "platform/input.h"
#include "platform/sdl_internal.h"

namespace platform {

namespace {
int cursorCount = 0;
Point virtualCursor{0, 0};
}  // namespace

Point getCursorPos() {
    if (!hasVisibleDisplay()) return virtualCursor;
    Point point;
    SDL_GetGlobalMouseState(&point.x, &point.y);
    return point;
}

void setCursorPos(int x, int y) {
    virtualCursor = Point{x, y};
    if (hasVisibleDisplay()) SDL_WarpMouseGlobal(x, y);
}

int showCursor(bool show) {
    cursorCount += show ? 1 : -1;
    if (sdl::videoReady()) SDL_ShowCursor(cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCount;
}

}  // namespace platform
