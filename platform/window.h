// Windows, their message queues and window procedures: the seam that stands in for the
// Win32 window manager. One window exists at a time; each has a FIFO queue of messages.
#pragma once

#include <cstdint>

namespace platform {

struct Window;
using WindowHandle = Window*;
using InstanceHandle = const void*;

using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;
using WindowProc = LResult (*)(WindowHandle, std::uint32_t message, WParam, LParam);

// Message numbers, as the window procedure sees them.
constexpr std::uint32_t WM_CREATE = 1;
constexpr std::uint32_t WM_SIZE = 5;
constexpr std::uint32_t WM_CLOSE = 16;
constexpr std::uint32_t WM_QUIT = 18;
constexpr std::uint32_t WM_KEYDOWN = 256;
constexpr std::uint32_t WM_KEYUP = 257;
constexpr std::uint32_t WM_SYSKEYDOWN = 260;
constexpr std::uint32_t WM_SYSKEYUP = 261;
constexpr std::uint32_t WM_SYSCOMMAND = 274;
constexpr std::uint32_t WM_USER = 1024;

// WM_SIZE kinds (wParam).
constexpr WParam SIZE_RESTORED = 0;
constexpr WParam SIZE_MINIMIZED = 1;
constexpr WParam SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND values (wParam).
constexpr WParam SC_CLOSE = 0xF060;
constexpr WParam SC_SCREENSAVE = 0xF140;
constexpr WParam SC_MONITORPOWER = 0xF170;

// Bit 29 of a key message's lParam: Alt was held.
constexpr LParam KEY_ALT_HELD = LParam{1} << 29;

// Window styles.
constexpr std::uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000;
constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008;

// Class styles.
constexpr std::uint32_t CS_VREDRAW = 0x1;
constexpr std::uint32_t CS_HREDRAW = 0x2;
constexpr std::uint32_t CS_OWNDC = 0x20;

constexpr int SW_SHOWNORMAL = 1;
constexpr int IDC_ARROW = 32512;

struct Message {
    WindowHandle window = nullptr;
    std::uint32_t message = 0;
    WParam wParam = 0;
    LParam lParam = 0;
};

// What lParam of WM_CREATE points to; only the creation parameter is kept.
struct CreateStruct {
    void* createParams = nullptr;
};

struct WindowClass {
    std::uint32_t style = 0;
    WindowProc windowProc = nullptr;
    InstanceHandle instance = nullptr;
    int cursor = 0;      // cursor id, IDC_ARROW
    int background = 0;  // system colour index + 1
    const char* className = nullptr;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The handle of the running program.
InstanceHandle currentInstance();

// Returns false when the name is missing, taken, or the procedure is null.
bool registerWindowClass(const WindowClass& windowClass);
bool unregisterWindowClass(const char* className, InstanceHandle instance);

// Grows a client rectangle to the outer rectangle of a window with these styles.
void adjustWindowRect(Rect& rect, std::uint32_t style, std::uint32_t exStyle);

// Creates the window (an OpenGL-capable surface). WM_CREATE reaches the class's procedure
// before this returns. Null on failure, with the reason on stderr.
WindowHandle createWindow(std::uint32_t exStyle, const char* className, const char* title, std::uint32_t style, int x,
                          int y, int width, int height, InstanceHandle instance, void* createParam);
void destroyWindow(WindowHandle window);

// Shows the window; WM_SIZE with the client size reaches the procedure before this returns.
void showWindow(WindowHandle window, int how);

void setWindowUserData(WindowHandle window, void* data);
void* getWindowUserData(WindowHandle window);

// Client size of the window in pixels.
void getClientSize(WindowHandle window, int& width, int& height);

// Appends a message to the window's queue; false for a null or destroyed window.
bool postMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);

// Takes the oldest message of this window (after translating pending system events), if any.
bool peekMessage(Message& message, WindowHandle window);

// Calls the window procedure with the message.
LResult dispatchMessage(const Message& message);

// Blocks until the window has a message waiting.
void waitMessage(WindowHandle window);

// Default handling of a message: Alt+F4 and the close box become WM_CLOSE, everything else 0.
LResult defaultWindowProc(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);

// Sends a message straight to the window procedure, bypassing the queue.
LResult sendMessage(WindowHandle window, std::uint32_t message, WParam wParam, LParam lParam);

// Windows from now on are offscreen surfaces with real GL contexts (no display needed).
// Call before any window; false when video is already up on another driver or fails.
bool useOffscreenVideo();

// Connects to the display; false, with one line saying how to get one, when there is none.
// SDL's offscreen driver counts only where asked for (useOffscreenVideo, SDL_VIDEODRIVER).
bool openDisplay();

// True when windows go to a real screen (not the offscreen or dummy driver).
bool hasVisibleDisplay();

}  // namespace platform
