// The shell's records: the window class, the one window, the key-state array, and the
// operations that end the run or toggle the display mode.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/gl_context.h"
#include "platform/window.h"

// Held state of each virtual key: 1 while held, 0 when up.
using KeyState = std::array<std::int32_t, 256>;

struct WindowClassInfo {
    platform::InstanceHandle instance;
    const char* className;  // "OpenGL"
};

struct AppWindow {
    KeyState* keyState;
    platform::WindowHandle windowHandle;  // null while no window exists
    platform::DeviceContext deviceContext;
    platform::GlContext glContext;
    WindowClassInfo* classInfo;
    const char* caption;
    int width;  // requested client size; resizing changes only the view
    int height;
    int colourBits;
    int fullScreen;  // 1 full screen, 0 in a window
    int visible;     // frames are drawn only while 1
    std::uint32_t lastFrameTick;
    // Why the last opening failed when the chosen renderer could not start (no context of its
    // kind, or its own set-up failed): one line, for the opener to say; empty otherwise.
    std::string rendererError;
};

// Message 1025 (WM_USER + 1): close the window and reopen it in the other display mode.
constexpr std::uint32_t WM_TOGGLEFULLSCREEN = platform::WM_USER + 1;

// 1 while the outer loop keeps (re)opening the window.
extern int programRunning;
// Display mode of the next opening; flipped by the mode-toggle message.
extern int fullScreenWanted;

// Posts WM_QUIT to the window and stops the outer loop: the one way to end the run.
void requestQuit(AppWindow* window);

// Posts the mode-toggle message to the window.
void requestModeToggle(AppWindow* window);

platform::LResult windowProcedure(platform::WindowHandle window, std::uint32_t message, platform::WParam wParam,
                                  platform::LParam lParam);

// What the shell calls around and inside its frame loop; each program built on the shell
// (the show, the model viewer, a test) fills these in. A missing one does nothing.
struct ShellCallbacks {
    // Once the window's OpenGL context is current; false ends the run.
    bool (*initialise)(AppWindow* window, KeyState* keys) = nullptr;
    // Before each frame, with the milliseconds since the last one.
    void (*update)(std::uint32_t milliseconds) = nullptr;
    // One frame into the back buffer.
    void (*draw)() = nullptr;
    // Before the window closes.
    void (*deinitialise)() = nullptr;
    // Once a run, when its first frame is on the screen.
    void (*firstFrameShown)(AppWindow* window) = nullptr;
};

// What a program built on the shell asks of its window; the show uses the defaults.
struct ShellSettings {
    const char* caption = "Oyun motorum";
    int width = 1024;  // client size
    int height = 768;
    int colourBits = 32;
    int fullScreen = 1;  // 1 full screen (when the display allows), 0 in a window
    ShellCallbacks callbacks;
};

// The program: registers the class, runs the outer and message loops. 0 at the end of the
// run, 1 when the window cannot open, -1 when the window class cannot be registered.
int runShell(platform::InstanceHandle instance, const ShellSettings& settings);
