// The viewer's keyboard: presses told apart from held keys, and the moves of the second
// model from the arrow and page keys.
#pragma once

#include <array>
#include <cstdint>

#include "engine/vector3.h"
#include "platform/input.h"
#include "shell/app_window.h"

// The viewer's toggles; it also reads Escape, the arrows and Page Up and Down.
constexpr int kKeyWireframe = platform::characterKey('W');
constexpr int kKeyNormals = platform::characterKey('N');
constexpr int kKeyPause = platform::characterKey('P');

// Bit 0 of each key's platform state: flips once per press, as a key message is taken.
using KeyToggles = std::array<bool, 256>;
KeyToggles currentKeyToggles();

// The shell's key array holds levels (1 while held); a toggle must flip once per press,
// not once per frame. A tap whose press and release both arrive between two frames leaves
// the level unchanged, so the toggle bits are read as well. Call update once a frame, then
// ask pressed for any key.
class KeyPresses {
public:
    void update(const KeyState& keys, const KeyToggles& toggles);
    // True in the one frame after the key was pressed.
    bool pressed(int key) const { return key >= 0 && key < 256 && pressedNow[key]; }
    // Forgets every key; for a newly opened window, whose key array starts all up. The next
    // update takes the toggle bits as they stand, with no press in them.
    void reset();

private:
    bool primed = false;
    std::array<bool, 256> heldBefore{};
    KeyToggles togglesBefore{};
    std::array<bool, 256> pressedNow{};
};

// Longest frame that moves the model in one step; a stall must not throw it across the scene.
constexpr std::uint32_t kLongestMoveStep = 100;

// Distance to move in `milliseconds` at `unitsPerSecond`: x by Left/Right, z by Up (away from
// the viewer, -z) and Down, y by PageUp/PageDown. Opposite keys cancel.
Vector3 movementFromKeys(const KeyState& keys, std::uint32_t milliseconds, float unitsPerSecond);
