// Shared state of the SDL implementation of the platform layer. Only platform/*_sdl.cpp
// include this file.
#pragma once

#include <SDL.h>

#include <deque>
#include <string>

#include "platform/gl_context.h"
#include "platform/window.h"

namespace platform {

struct Window {
    SDL_Window* sdlWindow = nullptr;
    WindowProc windowProc = nullptr;
    void* userData = nullptr;
    std::uint32_t style = 0;
    std::deque<Message> queue;
};

struct DeviceContextRecord {
    Window* window = nullptr;
    int pixelFormat = 0;
};

struct GlContextRecord {
    SDL_GLContext sdlContext = nullptr;
};

namespace sdl {

// Initialises SDL's video subsystem once; false (with the reason on stderr) when no
// display can be opened.
bool ensureVideo();
bool videoReady();

// The one window, or null.
Window* liveWindow();

// Translates pending SDL events into messages of the live window.
void pumpEvents();
void translateEvent(const SDL_Event& event);
// Turns a pending SIGINT or SIGTERM into the close message of the live window.
void noteTerminationRequest();

// The display mode set by changeDisplayMode, for a full-screen window.
bool pendingFullScreenMode(SDL_DisplayMode& mode);

}  // namespace sdl
}  // namespace platform
