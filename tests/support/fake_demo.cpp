#include "tests/support/fake_demo.h"

#include "demo/demo.h"

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
}  // namespace fake_demo

bool initialiseDemo(AppWindow* window, KeyState* keys) {
    fake_demo::calls.push_back("init");
    fake_demo::window = window;
    fake_demo::keys = keys;
    return fake_demo::hooks.initialise ? fake_demo::hooks.initialise(window, keys) : true;
}

void updateDemo(std::uint32_t milliseconds) {
    fake_demo::calls.push_back("update");
    if (fake_demo::hooks.update) fake_demo::hooks.update(milliseconds);
}

void drawDemo() {
    fake_demo::calls.push_back("draw");
    if (fake_demo::hooks.draw) fake_demo::hooks.draw();
}

void deinitialiseDemo() {
    fake_demo::calls.push_back("deinit");
    if (fake_demo::hooks.deinitialise) fake_demo::hooks.deinitialise();
}
