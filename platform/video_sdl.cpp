// SDL video start-up, shared by windows, display modes, cursor and message boxes.
#include <cstdio>
#include <cstring>

#include "base/report.h"
#include "platform/sdl_internal.h"

namespace platform::sdl {

namespace {
bool initialised = false;
bool failed = false;
}  // namespace

bool ensureVideo() {
    if (initialised) return true;
    if (failed) return false;
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    // Closing a window is the window's own message; a quit event then means a signal.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        base::reportf(base::Level::kError, "no display available: %s", SDL_GetError());
        failed = true;
        return false;
    }
    initialised = true;
    return true;
}

bool videoReady() { return initialised; }

}  // namespace platform::sdl

namespace platform {

bool useOffscreenVideo() {
    if (sdl::videoReady()) {
        const char* driver = SDL_GetCurrentVideoDriver();
        return driver != nullptr && std::strcmp(driver, "offscreen") == 0;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    return sdl::ensureVideo();
}

bool hasVisibleDisplay() {
    if (!sdl::videoReady()) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) return false;
    return std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

}  // namespace platform
