// Translation of SDL events into window messages with Windows virtual-key codes.
#include "platform/input.h"
#include "platform/sdl_internal.h"
#include "platform/termination.h"

namespace platform::sdl {

namespace {

// Virtual-key code of a physical key, or 0 for keys the program has no code for.
int virtualKeyOf(SDL_Scancode scancode) {
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return characterKey('A') + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return characterKey('1') + (scancode - SDL_SCANCODE_1);
    if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9)
        return VK_NUMPAD1 + (scancode - SDL_SCANCODE_KP_1);
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return VK_F1 + (scancode - SDL_SCANCODE_F1);
    switch (scancode) {
        case SDL_SCANCODE_0: return characterKey('0');
        case SDL_SCANCODE_KP_0: return VK_NUMPAD0;
        case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
        case SDL_SCANCODE_KP_PLUS: return VK_ADD;
        case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
        case SDL_SCANCODE_KP_PERIOD: return VK_DECIMAL;
        case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
        case SDL_SCANCODE_KP_ENTER:
        case SDL_SCANCODE_RETURN: return VK_RETURN;
        case SDL_SCANCODE_ESCAPE: return VK_ESCAPE;
        case SDL_SCANCODE_BACKSPACE: return VK_BACK;
        case SDL_SCANCODE_TAB: return VK_TAB;
        case SDL_SCANCODE_SPACE: return VK_SPACE;
        case SDL_SCANCODE_PAGEUP: return VK_PRIOR;
        case SDL_SCANCODE_PAGEDOWN: return VK_NEXT;
        case SDL_SCANCODE_END: return VK_END;
        case SDL_SCANCODE_HOME: return VK_HOME;
        case SDL_SCANCODE_LEFT: return VK_LEFT;
        case SDL_SCANCODE_UP: return VK_UP;
        case SDL_SCANCODE_RIGHT: return VK_RIGHT;
        case SDL_SCANCODE_DOWN: return VK_DOWN;
        case SDL_SCANCODE_INSERT: return VK_INSERT;
        case SDL_SCANCODE_DELETE: return VK_DELETE;
        case SDL_SCANCODE_LSHIFT:
        case SDL_SCANCODE_RSHIFT: return VK_SHIFT;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL: return VK_CONTROL;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT: return VK_MENU;
        case SDL_SCANCODE_PAUSE: return VK_PAUSE;
        default: return 0;
    }
}

void translateKey(Window* window, const SDL_KeyboardEvent& key) {
    const int vk = virtualKeyOf(key.keysym.scancode);
    if (vk == 0) return;
    const bool down = key.type == SDL_KEYDOWN;
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU;
    // Keys pressed with Alt, and F10, are system keys.
    const bool system = alt || vk == VK_F10;
    LParam lParam = 1 | (static_cast<LParam>(key.keysym.scancode & 0xFF) << 16);
    if (alt) lParam |= KEY_ALT_HELD;
    if (key.repeat != 0 || !down) lParam |= LParam{1} << 30;
    if (!down) lParam |= LParam{1} << 31;
    std::uint32_t message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    postMessage(window, message, static_cast<WParam>(vk), lParam);
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
    const Uint32 ours = SDL_GetWindowID(window->native->sdlWindow);
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (event.key.windowID == ours || event.key.windowID == 0) translateKey(window, event.key);
            break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID == ours) translateWindowEvent(window, event.window);
            break;
        case SDL_QUIT:
            // Only a signal that SDL caught makes one (closing the last window does not):
            // ask the window to close, so the program ends as by its close box.
            postMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        default: break;
    }
}

void noteTerminationRequest() {
    Window* window = liveWindow();
    // A signal closes the window as its close box does, so the program ends as tidily.
    if (window != nullptr && takeTerminationRequest()) postMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace platform::sdl

namespace platform::native {

void pumpEvents() {
    if (!sdl::videoReady()) return;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) sdl::translateEvent(event);
    sdl::noteTerminationRequest();
}

}  // namespace platform::native
