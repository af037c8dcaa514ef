// The full-screen display mode of a page: the Fullscreen API on the canvas, which the browser
// then fits to the screen, its aspect kept, on black.
#include <emscripten/html5.h>

#include "platform/display.h"
#include "platform/web_internal.h"

namespace platform {

namespace {
DisplayModePolicy policy = DisplayModePolicy::kReal;
bool changed = false;
}  // namespace

void setDisplayModePolicy(DisplayModePolicy newPolicy) { policy = newPolicy; }

// The size and depth are the screen's own in a browser; only the switch can be asked for. A
// browser grants it only in answer to the user's input, so it may wait for the next key or click.
bool changeDisplayMode(int /*width*/, int /*height*/, int /*bitsPerPixel*/) {
    changed = false;
    if (policy == DisplayModePolicy::kAlwaysRefuse) return false;
    if (policy == DisplayModePolicy::kReal) {
        const EMSCRIPTEN_RESULT result = emscripten_request_fullscreen(web::kCanvas, EM_TRUE);
        if (result != EMSCRIPTEN_RESULT_SUCCESS && result != EMSCRIPTEN_RESULT_DEFERRED) return false;
    }
    changed = true;
    return true;
}

void restoreDisplayMode() {
    if (changed && policy == DisplayModePolicy::kReal) emscripten_exit_fullscreen();
    changed = false;
}

bool displayModeChanged() { return changed; }

}  // namespace platform
