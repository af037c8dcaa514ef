// oyun-viewer MODEL [TEXTURE]: shows a text model animated and lit, with a second instance
// that the arrow keys move, both boxes, and their overlap and contact side.
#include <string>

#include "base/report.h"
#include "examples/viewer/viewer_scene.h"
#include "examples/viewer/viewer_setup.h"
#include "gfx/renderer.h"
#include "platform/clock.h"
#include "platform/termination.h"
#include "platform/window.h"
#include "shell/app_window.h"

namespace {

// The shell calls the four operations below; this is what they work on. main fills
// it before the window opens.
ViewerScene scene;
bool windowOpened = false;

// The shell draws as fast as it can; the viewer needs no more than about 100 frames a second
// and leaves the rest of the processor alone.
constexpr std::uint32_t kShortestFrame = 10;

bool initialiseViewer(AppWindow* window, KeyState* keys) {
    windowOpened = true;
    return scene.initialise(window, keys);
}

void updateViewer(std::uint32_t milliseconds) {
    if (milliseconds < kShortestFrame) platform::sleepMilliseconds(kShortestFrame - milliseconds);
    scene.update(milliseconds);
}

void drawViewer() { scene.draw(); }

void deinitialiseViewer() { scene.deinitialise(); }

}  // namespace

int main(int argc, char** argv) {
    base::setProgramName("oyun-viewer");
    ViewerOptions options;
    if (const auto status = parseViewerArguments(argc, argv, options)) return *status;
    gfx::useRenderer(options.renderer);
    // Before the window system starts, so that it leaves the handlers to us: a signal then
    // closes the window as its close box does.
    platform::watchTerminationSignals();

    // Before the window: a model that cannot be shown ends the run without one.
    Model model;
    std::string error;
    if (!loadViewerModel(options.modelPath, model, error)) {
        base::report(base::Level::kError, error);
        return 1;
    }
    scene.prepare(model, options.texturePath);
    if (!platform::openDisplay()) return 1;  // it has said why, in one line

    ShellSettings settings;
    settings.caption = "oyun-viewer";
    settings.width = 1024;
    settings.height = 768;
    settings.fullScreen = 0;
    settings.callbacks = {initialiseViewer, updateViewer, drawViewer, deinitialiseViewer};
    const int result = runShell(platform::currentInstance(), settings);
    if (platform::terminationSignal() != 0) return 128 + platform::terminationSignal();
    // The shell has said why on stderr (and in log.htm).
    if (result != 0 || !windowOpened) return 1;
    return 0;
}
