// Keyboard and cursor polling (GetKeyState, GetCursorPos, SetCursorPos, ShowCursor).
#pragma once

#include <cstdint>

namespace platform {

// Windows virtual-key codes, the one set every program and test names keys by.
constexpr int VK_BACK = 8;
constexpr int VK_TAB = 9;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_MENU = 18;  // Alt
constexpr int VK_PAUSE = 19;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_PRIOR = 0x21;  // Page Up
constexpr int VK_NEXT = 0x22;   // Page Down
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_NUMPAD0 = 96;
constexpr int VK_NUMPAD1 = 97;
constexpr int VK_NUMPAD2 = 98;
constexpr int VK_NUMPAD3 = 99;
constexpr int VK_NUMPAD4 = 100;
constexpr int VK_NUMPAD5 = 101;
constexpr int VK_NUMPAD6 = 102;
constexpr int VK_NUMPAD7 = 103;
constexpr int VK_NUMPAD8 = 104;
constexpr int VK_NUMPAD9 = 105;
constexpr int VK_MULTIPLY = 106;
constexpr int VK_ADD = 107;
constexpr int VK_SUBTRACT = 109;
constexpr int VK_DECIMAL = 110;
constexpr int VK_DIVIDE = 111;
constexpr int VK_F1 = 0x70;
constexpr int VK_F4 = 0x73;
constexpr int VK_F10 = 0x79;

// Letter and top-row digit keys have no Win32 names: their codes are the characters
// ('A'..'Z' = 65..90, '0'..'9' = 48..57). A lower-case letter gives its upper-case key.
constexpr int characterKey(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

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
