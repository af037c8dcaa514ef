// DOM events of the page as window messages: keys by their physical code, the page hidden or
// shown as the window minimised or restored, and keys let go when the page loses the focus.
#include <array>

#include "platform/dom_keys.h"
#include "platform/input.h"
#include "platform/web_internal.h"

namespace platform::web {

namespace {

std::array<bool, 256> down{};

LParam keyParam(bool pressed, bool repeat, bool alt) {
    LParam lParam = 1;
    if (alt) lParam |= KEY_ALT_HELD;
    if (repeat || !pressed) lParam |= LParam{1} << 30;
    if (!pressed) lParam |= LParam{1} << 31;
    return lParam;
}

void postKey(Window* window, int vk, bool pressed, bool repeat, bool alt) {
    const bool system = alt || vk == VK_F10;
    const std::uint32_t message = pressed ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    postMessage(window, message, static_cast<WParam>(vk), keyParam(pressed, repeat, alt));
    down[static_cast<std::size_t>(vk)] = pressed;
}

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* event, void* user) {
    auto* window = static_cast<Window*>(user);
    const int vk = virtualKeyOfDomCode(event->code);
    if (vk == 0 || window != liveWindow()) return EM_FALSE;
    const bool pressed = type == EMSCRIPTEN_EVENT_KEYDOWN;
    const bool alt = event->altKey != 0 || vk == VK_MENU;
    postKey(window, vk, pressed, event->repeat != 0, alt);
    // The browser keeps its own shortcuts (with Ctrl, Alt or Meta, and the function keys);
    // keys the page would otherwise scroll by are the program's.
    const bool browserKey =
        event->ctrlKey != 0 || event->metaKey != 0 || event->altKey != 0 || (vk >= VK_F1 && vk < VK_F1 + 12);
    return browserKey ? EM_FALSE : EM_TRUE;
}

// A key held while the focus goes would never be let go.
EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void* user) {
    auto* window = static_cast<Window*>(user);
    if (window != liveWindow()) return EM_FALSE;
    for (std::size_t vk = 0; vk < down.size(); ++vk) {
        if (down[vk]) postKey(window, static_cast<int>(vk), false, false, false);
    }
    return EM_FALSE;
}

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* event, void* user) {
    auto* window = static_cast<Window*>(user);
    if (window != liveWindow()) return EM_FALSE;
    if (event->hidden != 0) {
        postMessage(window, WM_SIZE, SIZE_MINIMIZED, 0);
    } else {
        postMessage(window, WM_SIZE, SIZE_RESTORED, clientSizeParam(window));
    }
    return EM_FALSE;
}

}  // namespace

void listenToPage(Window* window) {
    down.fill(false);
    const char* target = EMSCRIPTEN_EVENT_TARGET_WINDOW;
    emscripten_set_keydown_callback(target, window, EM_TRUE, window != nullptr ? onKey : nullptr);
    emscripten_set_keyup_callback(target, window, EM_TRUE, window != nullptr ? onKey : nullptr);
    emscripten_set_blur_callback(target, window, EM_TRUE, window != nullptr ? onBlur : nullptr);
    emscripten_set_visibilitychange_callback(window, EM_TRUE, window != nullptr ? onVisibility : nullptr);
}

}  // namespace platform::web

namespace platform::native {

// DOM events arrive between frames, straight into the queue: nothing to pump here.
void pumpEvents() {}

}  // namespace platform::native
