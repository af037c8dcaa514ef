// The browser's key codes reach the program as the same virtual keys as the desktop's.
#include <gtest/gtest.h>

#include "platform/dom_keys.h"
#include "platform/input.h"

using namespace platform;

TEST(DomKeys, PhysicalKeysBecomeTheDesktopsVirtualKeys) {
    const struct {
        const char* code;
        int virtualKey;
    } cases[] = {
        {"KeyA", 'A'},
        {"KeyW", 'W'},
        {"KeyZ", 'Z'},
        {"Digit0", '0'},
        {"Digit9", '9'},
        {"Numpad0", VK_NUMPAD0},
        {"Numpad3", VK_NUMPAD3},
        {"Numpad9", VK_NUMPAD9},
        {"F1", VK_F1},
        {"F4", VK_F4},
        {"F10", VK_F10},
        {"F12", VK_F1 + 11},
        {"Escape", VK_ESCAPE},
        {"Enter", VK_RETURN},
        {"NumpadEnter", VK_RETURN},
        {"Space", VK_SPACE},
        {"ArrowLeft", VK_LEFT},
        {"ArrowUp", VK_UP},
        {"ArrowRight", VK_RIGHT},
        {"ArrowDown", VK_DOWN},
        {"ShiftRight", VK_SHIFT},
        {"ControlLeft", VK_CONTROL},
        {"AltRight", VK_MENU},
        {"NumpadAdd", VK_ADD},
        {"NumpadDivide", VK_DIVIDE},
        {"PageDown", VK_NEXT},
    };
    for (const auto& c : cases) EXPECT_EQ(virtualKeyOfDomCode(c.code), c.virtualKey) << c.code;
}

TEST(DomKeys, UnknownAndMalformedCodesHaveNoKey) {
    for (const char* code : {"", "Key", "Keya", "KeyAB", "Digit", "Digit10", "Numpad", "NumpadX", "F0", "F13", "F1x",
                             "F", "MetaLeft", "IntlBackslash", "escape"}) {
        EXPECT_EQ(virtualKeyOfDomCode(code), 0) << code;
    }
    EXPECT_EQ(virtualKeyOfDomCode(nullptr), 0);
}
