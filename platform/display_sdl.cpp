// The full-screen display-mode switch. SDL applies a mode to a full-screen window, so a
// switch is checked against the display's modes here and applied when the window is made;
// SDL gives the old mode back when that window goes.
#include "platform/display.h"
#include "platform/sdl_internal.h"

namespace platform {

namespace {
DisplayModePolicy policy = DisplayModePolicy::kReal;
bool changed = false;
SDL_DisplayMode chosen{};

bool depthMatches(Uint32 format, int bitsPerPixel) {
    return static_cast<int>(SDL_BITSPERPIXEL(format)) == bitsPerPixel ||
           static_cast<int>(SDL_BYTESPERPIXEL(format)) * 8 == bitsPerPixel;
}
}  // namespace

namespace sdl {
bool pendingFullScreenMode(SDL_DisplayMode& mode) {
    if (!changed) return false;
    mode = chosen;
    return true;
}
}  // namespace sdl

void setDisplayModePolicy(DisplayModePolicy newPolicy) { policy = newPolicy; }

bool changeDisplayMode(int width, int height, int bitsPerPixel) {
    changed = false;
    if (policy == DisplayModePolicy::kAlwaysRefuse) return false;
    if (policy == DisplayModePolicy::kAlwaysAccept) {
        chosen = SDL_DisplayMode{SDL_PIXELFORMAT_RGB888, width, height, 0, nullptr};
        changed = true;
        return true;
    }
    if (!sdl::ensureVideo()) return false;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        if (mode.w == width && mode.h == height && depthMatches(mode.format, bitsPerPixel)) {
            chosen = mode;
            changed = true;
            return true;
        }
    }
    return false;
}

void restoreDisplayMode() { changed = false; }

bool displayModeChanged() { return changed; }

}  // namespace platform
