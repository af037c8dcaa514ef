// Edge detection over the shell's held-key array, and the arrow-key moves.
#include "examples/viewer/viewer_input.h"

#include <algorithm>

#include "platform/input.h"

KeyToggles currentKeyToggles() {
    KeyToggles toggles{};
    for (std::size_t key = 0; key < toggles.size(); ++key)
        toggles[key] = (platform::getKeyState(static_cast<int>(key)) & 1) != 0;
    return toggles;
}

void KeyPresses::update(const KeyState& keys, const KeyToggles& toggles) {
    if (!primed) {
        togglesBefore = toggles;
        primed = true;
    }
    for (std::size_t key = 0; key < keys.size(); ++key) {
        const bool held = keys[key] != 0;
        // A press that is still held shows in both; one that came and went, in the toggle only.
        pressedNow[key] = (held && !heldBefore[key]) || toggles[key] != togglesBefore[key];
        heldBefore[key] = held;
        togglesBefore[key] = toggles[key];
    }
}

void KeyPresses::reset() {
    primed = false;
    heldBefore.fill(false);
    togglesBefore.fill(false);
    pressedNow.fill(false);
}

Vector3 movementFromKeys(const KeyState& keys, std::uint32_t milliseconds, float unitsPerSecond) {
    const float step = unitsPerSecond * static_cast<float>(std::min(milliseconds, kLongestMoveStep)) / 1000.0f;
    auto axis = [&](int plusKey, int minusKey) {
        return static_cast<float>((keys[plusKey] != 0 ? 1 : 0) - (keys[minusKey] != 0 ? 1 : 0)) * step;
    };
    return Vector3(axis(platform::VK_RIGHT, platform::VK_LEFT), axis(platform::VK_PRIOR, platform::VK_NEXT),
                   axis(platform::VK_DOWN, platform::VK_UP));
}
