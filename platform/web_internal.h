// Shared state of the browser implementation of the platform layer. Only platform/*_web.cpp
// include this file.
#pragma once

#include <emscripten/html5.h>

#include "platform/window_internal.h"

namespace platform {

struct GlContextRecord {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE handle = 0;
};

namespace web {

// The canvas every window draws into (a page holds one).
constexpr const char* kCanvas = "#canvas";

// DOM events of the page become messages of `window` (keys, focus, visibility); null stops.
void listenToPage(Window* window);

// Milliseconds of sound heard so far from the open audio output, while the tick clock should
// follow it; negative when it should not (no output, or one that cannot play).
double audioHeardMilliseconds();

// Hands control back to the browser until its next animation frame (the program's stack is
// kept and resumed there).
void waitForAnimationFrame();

}  // namespace web
}  // namespace platform
