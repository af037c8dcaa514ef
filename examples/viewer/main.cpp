// oyun-viewer MODEL [TEXTURE]: shows a text model animated and lit, with a second instance
// that the arrow keys move, both boxes, and their overlap and contact side.
#include <csignal>
#include <cstdio>
#include <string>

#include "base/report.h"
#include "examples/viewer/viewer_scene.h"
#include "examples/viewer/viewer_setup.h"
#include "platform/clock.h"
#include "shell/app_window.h"

namespace {

// The shell calls the four operations below; this is what they work on. main fills
// it before the window opens.
ViewerScene scene;
bool windowOpened = false;

// The shell draws as fast as it can; the viewer needs no more than about 100 frames a second
// and leaves the rest of the processor alone.
constexpr std::uint32_t kShortestFrame = 10;

// SDL turns SIGINT and SIGTERM into a quit event that the shell does not act on, so Ctrl+C
// would not end the viewer. SDL keeps handlers that are already in place; with these the
// next frame quits as Escape does. A second signal ends the program at once.
volatile std::sig_atomic_t stopSignal = 0;

void onStopSignal(int signalNumber) {
    stopSignal = signalNumber;
    std::signal(signalNumber, SIG_DFL);
}

void printHelp() {
    std::printf(
        "%s\n"
        "Shows a text model animated and lit, with a second instance of it and both bounding boxes.\n"
        "TEXTURE ending in .bmp is read as a Windows bitmap, anything else as TGA; without it the\n"
        "model's name with .tga is used when that file exists.\n"
        "Keys: arrows move the second model in x and z, PageUp/PageDown in y; W wireframe,\n"
        "N normals, P pause, Escape quits.\n",
        kViewerUsage);
}

bool initialiseViewer(AppWindow* window, KeyState* keys) {
    windowOpened = true;
    return scene.initialise(window, keys);
}

void updateViewer(std::uint32_t milliseconds) {
    if (milliseconds < kShortestFrame) platform::sleepMilliseconds(kShortestFrame - milliseconds);
    if (stopSignal != 0 && scene.window != nullptr) requestQuit(scene.window);
    scene.update(milliseconds);
}

void drawViewer() { scene.draw(); }

void deinitialiseViewer() { scene.deinitialise(); }

}  // namespace

int main(int argc, char** argv) {
    base::setProgramName("oyun-viewer");
    ViewerOptions options;
    std::string error;
    switch (parseViewerArguments(argc, argv, options, error)) {
        case ArgumentResult::Help: printHelp(); return 0;
        case ArgumentResult::Usage:
            base::report(base::Level::kError, error);
            std::fprintf(stderr, "%s\n", kViewerUsage);
            return 2;
        case ArgumentResult::Run: break;
    }

    // Before the window: a model that cannot be shown ends the run without one.
    Model model;
    if (!loadViewerModel(options.modelPath, model, error)) {
        base::report(base::Level::kError, error);
        return 1;
    }
    scene.prepare(model, options.texturePath);

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);

    ShellSettings settings;
    settings.caption = "oyun-viewer";
    settings.width = 1024;
    settings.height = 768;
    settings.fullScreen = 0;
    settings.callbacks = {initialiseViewer, updateViewer, drawViewer, deinitialiseViewer};
    const int result = runShell(platform::currentInstance(), settings);
    // The shell has said why on stderr (and in log.htm).
    if (result != 0 || !windowOpened) return 1;
    // Ended by a signal: the shell's exit status for one.
    if (stopSignal != 0) return 128 + stopSignal;
    return 0;
}
