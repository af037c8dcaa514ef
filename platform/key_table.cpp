// Held and toggled state of every virtual key, as GetKeyState reports it.
#include "platform/key_table.h"

#include <array>

#include "platform/input.h"

namespace platform {

namespace {
std::array<std::int16_t, 256> keyTable{};

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

namespace keys {
void noteKeyMessage(const Message& message) {
    if (message.wParam > 255) return;
    const int vk = static_cast<int>(message.wParam);
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) setHeld(vk, true);
    if (message.message == WM_KEYUP || message.message == WM_SYSKEYUP) setHeld(vk, false);
}
}  // namespace keys

std::int16_t getKeyState(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return 0;
    return keyTable[static_cast<std::size_t>(virtualKey)];
}

void setKeyHeld(int virtualKey, bool held) { setHeld(virtualKey, held); }

void releaseAllKeys() {
    for (auto& entry : keyTable) entry = static_cast<std::int16_t>(entry & 1);
}

}  // namespace platform
