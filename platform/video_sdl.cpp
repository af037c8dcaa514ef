// SDL video start-up, shared by windows, display modes, cursor and message boxes.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/report.h"
#include "platform/sdl_internal.h"

namespace platform::sdl {

namespace {
bool initialised = false;
bool failed = false;

bool named(const char* list, const char* driver) { return list != nullptr && std::strstr(list, driver) != nullptr; }

// SDL falls back to its offscreen driver when no display answers; only the capture, the
// tests and a user who names it may have that, since its windows are never seen.
bool unseenDriverChosenQuietly() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) return false;
    if (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) return false;
    return !named(SDL_GetHint(SDL_HINT_VIDEODRIVER), driver) && !named(std::getenv("SDL_VIDEODRIVER"), driver);
}

void reportNoDisplay(const char* why) {
    base::reportf(base::Level::kError,
                  "no display found (%s); run it in a desktop session, over ssh -X, or under xvfb-run, "
                  "or set SDL_VIDEODRIVER=offscreen to run it unseen",
                  why);
}

}  // namespace

bool ensureVideo() {
    if (initialised) return true;
    if (failed) return false;
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    // Closing a window is the window's own message; a quit event then means a signal.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Signals are the platform's own (termination.h).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Unless a driver is named, say at once that there is no window system to reach rather
    // than let SDL try each (whose libraries complain on stderr) and fall back to offscreen.
    const bool driverNamed = std::getenv("SDL_VIDEODRIVER") != nullptr || SDL_GetHint(SDL_HINT_VIDEODRIVER) != nullptr;
    const bool x11 = std::getenv("DISPLAY") != nullptr;
    const bool wayland = std::getenv("WAYLAND_DISPLAY") != nullptr;
    if (!driverNamed && !x11 && !wayland) {
        reportNoDisplay("neither DISPLAY nor WAYLAND_DISPLAY is set");
        failed = true;
        return false;
    }
    if (!driverNamed && !wayland) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        reportNoDisplay(SDL_GetError());
        failed = true;
        return false;
    }
    if (unseenDriverChosenQuietly()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        const bool none = std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr;
        reportNoDisplay(none ? "neither DISPLAY nor WAYLAND_DISPLAY is set" : "no window system answered");
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

bool openDisplay() { return sdl::ensureVideo(); }

bool hasVisibleDisplay() {
    if (!sdl::videoReady()) return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr) return false;
    return std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

}  // namespace platform
