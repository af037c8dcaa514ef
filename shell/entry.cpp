// The program's entry: start-up, the outer loop that (re)opens the window, and the
// message loop that draws a frame whenever no message is waiting.
#include "base/html_log.h"
#include "base/report.h"
#include "base/startup_phases.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "shell/app_window.h"
#include "shell/gl_window.h"

using namespace platform;

namespace {

// One message or one frame per pass, until WM_QUIT is taken. `firstFrame` holds until the
// run's first frame is shown, whichever window showed it.
void runMessageLoop(AppWindow& window, const ShellCallbacks& program, bool& firstFrame) {
    for (;;) {
        Message msg;
        if (peekMessage(msg, window.windowHandle)) {
            if (msg.message == WM_QUIT) return;
            dispatchMessage(msg);
        } else if (window.visible == 0) {
            waitMessage(window.windowHandle);
        } else {
            const std::uint32_t now = tickCount();
            if (program.update != nullptr) program.update(now - window.lastFrameTick);
            window.lastFrameTick = now;
            if (program.draw != nullptr) program.draw();
            if (firstFrame) base::markPhase("first frame drawn");
            swapBuffers(window.deviceContext);
            if (firstFrame) {
                firstFrame = false;
                base::markPhase("first frame shown");
                if (program.firstFrameShown != nullptr) program.firstFrameShown(&window);
            }
        }
    }
}

}  // namespace

int runShell(InstanceHandle instance, const ShellSettings& settings) {
    WindowClassInfo application{instance, "OpenGL"};
    KeyState keys{};
    AppWindow window{};
    window.keyState = &keys;
    window.classInfo = &application;
    window.caption = settings.caption;
    window.width = settings.width;
    window.height = settings.height;
    window.colourBits = settings.colourBits;
    window.fullScreen = settings.fullScreen;
    keys.fill(0);

    if (!registerAppClass(&application)) {
        messageBox("Pencere sinif kaydinda hata!", "Error", MB_OK | MB_ICONWARNING);
        writeLog(
            "<b>Pencere s\xFDn\xFD"
            "f kayd\xFD yap\xFDlamad\xFD.</b><br>");
        return -1;
    }
    programRunning = 1;
    fullScreenWanted = window.fullScreen;
    int status = 0;
    bool firstFrame = true;

    while (programRunning == 1) {
        window.fullScreen = fullScreenWanted;
        if (!openAppWindow(&window)) {
            // A renderer that cannot start is said in one line; it never falls back to another.
            if (!window.rendererError.empty()) {
                base::report(base::Level::kError, window.rendererError);
            } else {
                messageBox("OpenGL penceresi yaratilamadi!", "Error", MB_OK | MB_ICONWARNING);
                writeLog("<b>OpenGL penceresi yaratilamadi!</b><br>");
            }
            programRunning = 0;
            status = 1;
            continue;
        }
        base::markPhase("window");
        const ShellCallbacks& program = settings.callbacks;
        if (program.initialise == nullptr || program.initialise(&window, &keys))
            runMessageLoop(window, program, firstFrame);
        else
            requestQuit(&window);
        if (program.deinitialise != nullptr) program.deinitialise();
        closeAppWindow(&window);
    }
    unregisterWindowClass(application.className, application.instance);
    return status;
}
