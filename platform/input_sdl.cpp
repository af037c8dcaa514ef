// Key-state polling, cursor position and visibility.
#include <array>

#include "platform/input.h"
#include "platform/sdl_internal.h"

namespace platform {

namespace {
std::array<std::int16_t, 256> keyTable{};
int cursorCount = 0;
Point virtualCursor{0, 0};

void setHeld(int virtualKey, bool held) {
    if (virtualKey < 0 || virtualKey > 255) return;
    std::int16_t& entry = keyTable[static_cast<std::size_t>(virtualKey)];
    if (held) {
        if ((entry & 0x80) == 0) entry = static_cast<std::int16_t>((entry ^ 1) & 1);
        entry = static_cast<std::int16_t>(entry | static_cast<std::int16_t>(0xFF80));
    } else {
        entry = static_cast<std::int16_t>(entry & 1);
    }
}
}  // namespace

namespace sdl {
void noteKeyMessage(const Message& message) {
    if (message.wParam > 255) return;
    const int vk = static_cast<int>(message.wParam);
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) setHeld(vk, true);
    if (message.message == WM_KEYUP || message.message == WM_SYSKEYUP) setHeld(vk, false);
}
}  // namespace sdl

std::int16_t getKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return 0;
    return keyTable[static_cast<std::size_t>(virtualKey)];
}

void setKeyHeld(int virtualKey, bool held) { setHeld(virtualKey, held); }

void releaseAllKeys() {
    for (auto& entry : keyTable) entry = static_cast<std::int16_t>(entry & 1);
}

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
