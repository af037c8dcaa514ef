#include "tests/support/fake_demo.h"

namespace fake_demo {
std::vector<std::string> calls;
Hooks hooks;
AppWindow* window = nullptr;
KeyState* keys = nullptr;

void reset() {
    calls.clear();
    hooks = Hooks{};
    window = nullptr;
    keys = nullptr;
}

namespace {

bool initialise(AppWindow* newWindow, KeyState* newKeys) {
    calls.push_back("init");
    window = newWindow;
    keys = newKeys;
    return hooks.initialise ? hooks.initialise(newWindow, newKeys) : true;
}

void update(std::uint32_t milliseconds) {
    calls.push_back("update");
    if (hooks.update) hooks.update(milliseconds);
}

void draw() {
    calls.push_back("draw");
    if (hooks.draw) hooks.draw();
}

void deinitialise() {
    calls.push_back("deinit");
    if (hooks.deinitialise) hooks.deinitialise();
}
}  // namespace

ShellSettings settings() {
    ShellSettings result;
    result.callbacks = {initialise, update, draw, deinitialise};
    return result;
}
}  // namespace fake_demo
