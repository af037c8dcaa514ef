// A recording stand-in for the demo's four operations, for tests of the shell.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shell/app_window.h"

namespace fake_demo {

struct Hooks {
    std::function<bool(AppWindow*, KeyState*)> initialise;
    std::function<void(std::uint32_t)> update;
    std::function<void()> draw;
    std::function<void()> deinitialise;
};

// What happened, in order: "init", "update", "draw", "deinit".
extern std::vector<std::string> calls;
extern Hooks hooks;
extern AppWindow* window;
extern KeyState* keys;

void reset();

// The show's window settings with the recording operations.
ShellSettings settings();

}  // namespace fake_demo
