#include "platform/dom_keys.h"

#include <cstring>

#include "platform/input.h"

namespace platform {

namespace {

struct NamedKey {
    const char* code;
    int virtualKey;
};

constexpr NamedKey kNamedKeys[] = {
    {"Escape", VK_ESCAPE},
    {"Enter", VK_RETURN},
    {"NumpadEnter", VK_RETURN},
    {"Backspace", VK_BACK},
    {"Tab", VK_TAB},
    {"Space", VK_SPACE},
    {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT},
    {"End", VK_END},
    {"Home", VK_HOME},
    {"ArrowLeft", VK_LEFT},
    {"ArrowUp", VK_UP},
    {"ArrowRight", VK_RIGHT},
    {"ArrowDown", VK_DOWN},
    {"Insert", VK_INSERT},
    {"Delete", VK_DELETE},
    {"ShiftLeft", VK_SHIFT},
    {"ShiftRight", VK_SHIFT},
    {"ControlLeft", VK_CONTROL},
    {"ControlRight", VK_CONTROL},
    {"AltLeft", VK_MENU},
    {"AltRight", VK_MENU},
    {"Pause", VK_PAUSE},
    {"NumpadMultiply", VK_MULTIPLY},
    {"NumpadAdd", VK_ADD},
    {"NumpadSubtract", VK_SUBTRACT},
    {"NumpadDecimal", VK_DECIMAL},
    {"NumpadDivide", VK_DIVIDE},
};

// "<prefix><one character from first to last>", e.g. "KeyW" or "Numpad3": the character's offset.
int offsetAfter(const char* code, const char* prefix, char first, char last) {
    const std::size_t length = std::strlen(prefix);
    if (std::strncmp(code, prefix, length) != 0) return -1;
    const char c = code[length];
    if (c < first || c > last || code[length + 1] != '\0') return -1;
    return c - first;
}

}  // namespace

int virtualKeyOfDomCode(const char* code) {
    if (code == nullptr) return 0;
    if (const int letter = offsetAfter(code, "Key", 'A', 'Z'); letter >= 0) return characterKey('A') + letter;
    if (const int digit = offsetAfter(code, "Digit", '0', '9'); digit >= 0) return characterKey('0') + digit;
    if (const int pad = offsetAfter(code, "Numpad", '0', '9'); pad >= 0) return VK_NUMPAD0 + pad;
    if (code[0] == 'F' && code[1] >= '1' && code[1] <= '9') {
        int number = code[1] - '0';
        if (code[2] >= '0' && code[2] <= '9' && code[3] == '\0')
            number = number * 10 + (code[2] - '0');
        else if (code[2] != '\0')
            number = 0;
        if (number >= 1 && number <= 12) return VK_F1 + number - 1;
    }
    for (const NamedKey& key : kNamedKeys) {
        if (std::strcmp(code, key.code) == 0) return key.virtualKey;
    }
    return 0;
}

}  // namespace platform
