// Keyboard and cursor polling (GetKeyState, GetCursorPos, SetCursorPos, ShowCursor).
#pragma once

#include <cstdint>

namespace platform {

// Windows virtual-key codes used by the program.
constexpr int VK_ESCAPE = 27;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_NUMPAD0 = 96;
constexpr int VK_F4 = 0x73;

// State of a key as of the last key message taken from a queue: bit 7 (0x80, sign-extended)
// set while held, bit 0 toggled by each press.
std::int16_t getKeyState(int virtualKey);

// Tests: set a key's held state directly.
void setKeyHeld(int virtualKey, bool held);
void releaseAllKeys();

struct Point {
    int x = 0;
    int y = 0;
};

// Cursor position in screen pixels. Without a visible display a virtual cursor is used.
Point getCursorPos();
void setCursorPos(int x, int y);

// Display counter as in Win32: the cursor shows while it is 0 or more. Returns the new count.
int showCursor(bool show);

}  // namespace platform
