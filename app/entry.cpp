// The program's entry: start-up, the outer loop that (re)opens the window, and the
// message loop that draws a frame whenever no message is waiting.
#include "app/app_window.h"
#include "app/gl_window.h"
#include "app/html_log.h"
#include "demo/demo.h"
#include "platform/clock.h"
#include "platform/message_box.h"

using namespace platform;

namespace {

// One message or one frame per pass, until WM_QUIT is taken.
void runMessageLoop(AppWindow& window) {
    for (;;) {
        Message msg;
        if (peekMessage(msg, window.windowHandle)) {
            if (msg.message == WM_QUIT) return;
            dispatchMessage(msg);
        } else if (window.visible == 0) {
            waitMessage(window.windowHandle);
        } else {
            const std::uint32_t now = tickCount();
            updateDemo(now - window.lastFrameTick);
            window.lastFrameTick = now;
            drawDemo();
            swapBuffers(window.deviceContext);
        }
    }
}

}  // namespace

int appMain(InstanceHandle instance) { return runShell(instance, ShellSettings{}); }

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

    while (programRunning == 1) {
        window.fullScreen = fullScreenWanted;
        if (!openAppWindow(&window)) {
            messageBox("OpenGL penceresi yaratilamadi!", "Error", MB_OK | MB_ICONWARNING);
            writeLog("<b>OpenGL penceresi yaratilamadi!</b><br>");
            programRunning = 0;
            continue;
        }
        if (initialiseDemo(&window, &keys))
            runMessageLoop(window);
        else
            requestQuit(&window);
        deinitialiseDemo();
        closeAppWindow(&window);
    }
    unregisterWindowClass(application.className, application.instance);
    return 0;
}
