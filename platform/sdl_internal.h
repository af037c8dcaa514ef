// Shared state of the SDL implementation of the platform layer. Only platform/*_sdl.cpp
// include this file.
#pragma once

#include <SDL.h>

#include "platform/window_internal.h"

namespace platform {

struct NativeWindow {
    SDL_Window* sdlWindow = nullptr;
};

struct GlContextRecord {
    SDL_GLContext sdlContext = nullptr;
};

namespace sdl {

// Initialises SDL's video subsystem once; false (with the reason on stderr) when no
// display can be opened.
bool ensureVideo();
bool videoReady();

// Translates an SDL event into messages of the live window.
void translateEvent(const SDL_Event& event);
// Turns a pending SIGINT or SIGTERM into the close message of the live window.
void noteTerminationRequest();

// The display mode set by changeDisplayMode, for a full-screen window.
bool pendingFullScreenMode(SDL_DisplayMode& mode);

}  // namespace sdl
}  // namespace platform
