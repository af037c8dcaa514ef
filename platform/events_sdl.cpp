// Translation of SDL events into window messages with Windows virtual-key codes.
#include "platform/input.h"
#include "platform/sdl_internal.h"

namespace platform::sdl {

namespace {

// Virtual-key code of a physical key, or 0 for keys the program has no code for.
int virtualKeyOf(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return VK_NUMPAD0 + 1 + (scancode - SDL_SCANCODE_KP_1);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return 0x70 + (scancode - SDL_SCANCODE_F1);
    switch (scancode) {
        case SDL_SCANCODE_0: return '0';
        case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
        case SDL_SCANCODE_KP_MULTIPLY: return 106;
        case SDL_SCANCODE_KP_PLUS: return 107;
        case SDL_SCANCODE_KP_MINUS: return 109;
        case SDL_SCANCODE_KP_PERIOD: return 110;
        case SDL_SCANCODE_KP_DIVIDE: return 111;
        case SDL_SCANCODE_KP_ENTER:
        case SDL_SCANCODE_RETURN: return 13;
        case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
        case SDL_SCANCODE_BACKSPACE: return 8;
        case SDL_SCANCODE_TAB: return 9;
        case SDL_SCANCODE_SPACE: return 32;
        case SDL_SCANCODE_PAGEUP: return 33;
        case SDL_SCANCODE_PAGEDOWN: return 34;
        case SDL_SCANCODE_END: return 35;
        case SDL_SCANCODE_HOME: return 36;
        case SDL_SCANCODE_LEFT: return VK_LEFT;
        case SDL_SCANCODE_UP: return VK_UP;
        case SDL_SCANCODE_RIGHT: return VK_RIGHT;
        case SDL_SCANCODE_DOWN: return VK_DOWN;
        case SDL_SCANCODE_INSERT: return 45;
        case SDL_SCANCODE_DELETE: return 46;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT: return 16;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL: return 17;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT: return 18;
        case SDL_SCANCODE_PAUSE: return 19;
        default: return 0;
    }
}

void translateKey(Window* window, const SDL_KeyboardEvent& key) {
    const int vk = virtualKeyOf(key.keysym.scancode);
    if (vk == 0) return;
    const bool down = key.type == SDL_KEYDOWN;
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0 || vk == 18;
    // Keys pressed with Alt, and F10, are system keys.
    const bool system = alt || vk == 0x79;
    LParam lParam = 1 | (static_cast<LParam>(key.keysym.scancode & 0xFF) << 16);
    if (alt) lParam |= KEY_ALT_HELD;
    if (key.repeat != 0 || !down) lParam |= LParam{1} << 30;
    if (!down) lParam |= LParam{1} << 31;
    std::uint32_t message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    postMessage(window, message, static_cast<WParam>(vk), lParam);
}

LParam clientSizeParam(Window* window) {
    int width = 0;
    int height = 0;
    getClientSize(window, width, height);
    return static_cast<LParam>((static_cast<std::uint32_t>(height) << 16) |
                               (static_cast<std::uint32_t>(width) & 0xFFFF));
}

void translateWindowEvent(Window* window, const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE: postMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        case SDL_WINDOWEVENT_MINIMIZED: postMessage(window, WM_SIZE, SIZE_MINIMIZED, 0); break;
        case SDL_WINDOWEVENT_MAXIMIZED: postMessage(window, WM_SIZE, SIZE_MAXIMIZED, clientSizeParam(window)); break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SIZE_CHANGED: postMessage(window, WM_SIZE, SIZE_RESTORED, clientSizeParam(window)); break;
        default: break;
    }
}

}  // namespace

void translateEvent(const SDL_Event& event) {
    Window* window = liveWindow();
    if (window == nullptr) return;
    const Uint32 ours = SDL_GetWindowID(window->sdlWindow);
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (event.key.windowID == ours || event.key.windowID == 0) translateKey(window, event.key);
            break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID == ours) translateWindowEvent(window, event.window);
            break;
        case SDL_QUIT:
            // Only Ctrl+C or a termination signal makes one (closing the last window does
            // not): ask the window to close, so the program ends as by its close box.
            postMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        default: break;
    }
}

void pumpEvents() {
    if (!videoReady()) return;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) translateEvent(event);
}

}  // namespace platform::sdl
