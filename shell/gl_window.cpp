// The OpenGL window: class, display mode, creation with its pixel format and context,
// teardown, and the letterboxed view.
#include "shell/gl_window.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "base/html_log.h"
#include "base/report.h"
#include "gfx/gfx.h"
#include "gfx/renderer.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/message_box.h"

using namespace platform;

namespace {

// Gives back the device context and the window of a failed opening.
void unwind(AppWindow* window) {
    releaseDeviceContext(window->windowHandle, window->deviceContext);
    window->deviceContext = nullptr;
    destroyWindow(window->windowHandle);
    window->windowHandle = nullptr;
}

// A failed opening after a successful full-screen switch must not leave the display
// switched and the cursor hidden.
bool failOpening(bool switched) {
    if (switched) {
        restoreDisplayMode();
        showCursor(true);
    }
    return false;
}

// A context of the kind the renderer needs is the renderer's to have: without it the renderer
// cannot start, and that is said once, by whoever opened the window.
void noteContextFailure(AppWindow* window, const std::string& error) {
    if (requestedGlApi() == GlApi::kEs3)
        window->rendererError = error;
    else
        base::report(base::Level::kError, error);
}

// With the new context current; on failure releases it, leaving it to the caller to delete.
bool startRenderer(AppWindow* window) {
    std::string error;
    if (gfx::startContext(error)) return true;
    window->rendererError = error.empty() ? std::string("the ") + gfx::rendererName(gfx::activeRenderer()) +
                                                " renderer cannot start on this context"
                                          : error;
    makeCurrent(window->deviceContext, nullptr);
    return false;
}

}  // namespace

bool registerAppClass(WindowClassInfo* application) {
    WindowClass windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.windowProc = windowProcedure;
    windowClass.instance = application->instance;
    windowClass.cursor = IDC_ARROW;
    windowClass.background = 12;  // COLOR_INACTIVEBORDER + 1
    windowClass.className = application->className;
    if (!registerWindowClass(windowClass)) {
        messageBox("RegisterClassEx hata verdi!", "HATA", MB_OK | MB_ICONWARNING);
        writeLog("<b>RegiserClassEx hata verdi.</b><br>");
        return false;
    }
    return true;
}

bool switchDisplayMode(int width, int height, int bitsPerPixel) {
    return changeDisplayMode(width, height, bitsPerPixel);
}

bool openAppWindow(AppWindow* window) {
    window->rendererError.clear();
    std::uint32_t style = WS_OVERLAPPEDWINDOW;
    std::uint32_t exStyle = WS_EX_APPWINDOW;
    PixelFormatDescriptor pfd;
    pfd.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.pixelType = PFD_TYPE_RGBA;
    pfd.colourBits = static_cast<std::uint8_t>(window->colourBits);
    pfd.depthBits = 16;
    pfd.layerType = PFD_MAIN_PLANE;
    Rect windowRect{0, 0, window->width, window->height};

    const bool fullScreenOnEntry = window->fullScreen == 1;
    bool switched = false;
    if (fullScreenOnEntry) {
        if (switchDisplayMode(window->width, window->height, window->colourBits)) {
            switched = true;
            showCursor(false);
            style = WS_POPUP;
            exStyle |= WS_EX_TOPMOST;
        } else {
            messageBox("Tam ekran olamiyor.\nPencerede calisacak", "HATA", MB_OK | MB_ICONWARNING);
            window->fullScreen = 0;
            writeLog("<b>Tam ekran olamadi. Pencerede calisacak.</b><br>");
        }
    }
    // On the refused path the rectangle stays unadjusted: the outer size is the requested one.
    if (!fullScreenOnEntry) adjustWindowRect(windowRect, style, exStyle);

    window->windowHandle = createWindow(exStyle, window->classInfo->className, window->caption, style, 0, 0,
                                        windowRect.right - windowRect.left, windowRect.bottom - windowRect.top,
                                        window->classInfo->instance, window);
    if (window->windowHandle == nullptr) {
        writeLog("<b>Pencere yarat\xFDlam\xFDyor!!!</b><br>");
        return failOpening(switched);
    }
    writeLog("<b>Pencere yaratildi.</b><br>");

    window->deviceContext = getDeviceContext(window->windowHandle);
    if (window->deviceContext == nullptr) {
        destroyWindow(window->windowHandle);
        window->windowHandle = nullptr;
        return failOpening(switched);
    }
    const int format = choosePixelFormat(window->deviceContext, pfd);
    if (format == 0 || !setPixelFormat(window->deviceContext, format, pfd)) {
        unwind(window);
        return failOpening(switched);
    }
    std::string error;
    window->glContext = createGlContext(window->deviceContext, error);
    if (window->glContext == nullptr) {
        noteContextFailure(window, error);
        unwind(window);
        return failOpening(switched);
    }
    if (!makeCurrent(window->deviceContext, window->glContext) || !startRenderer(window)) {
        deleteGlContext(window->glContext);
        window->glContext = nullptr;
        unwind(window);
        return failOpening(switched);
    }

    showWindow(window->windowHandle, SW_SHOWNORMAL);
    window->visible = 1;
    resizeView(window->width, window->height);
    window->keyState->fill(0);
    window->lastFrameTick = tickCount();
    return true;
}

bool closeAppWindow(AppWindow* window) {
    if (window->windowHandle != nullptr) {
        if (window->glContext != nullptr) gfx::stopContext();
        if (window->deviceContext != nullptr) makeCurrent(window->deviceContext, nullptr);
        if (window->glContext != nullptr) {
            deleteGlContext(window->glContext);
            window->glContext = nullptr;
        }
        releaseDeviceContext(window->windowHandle, window->deviceContext);
        window->deviceContext = nullptr;
        destroyWindow(window->windowHandle);
        window->windowHandle = nullptr;
    }
    if (window->fullScreen != 0) {
        restoreDisplayMode();
        showCursor(true);
    }
    return true;
}

namespace {

void applyView(int x, int bandY, int width, int bandHeight, double aspect) {
    gfx::viewport(x, bandY, width, bandHeight);
    // The same box for drawing that must stay inside the band (the scissor test is off
    // unless a frame turns it on).
    gfx::scissor(x, bandY, width, bandHeight);
    gfx::matrixMode(gfx::kProjection);
    gfx::loadIdentity();
    gfx::perspective(45.0, aspect > 0.0 ? aspect : 1.0, 1.0, 4000.0);
    gfx::matrixMode(gfx::kModelview);
    gfx::loadIdentity();
}

}  // namespace

void resizeView(int width, int height) {
    // A client no taller than the two bands still gets a one-row view, and a zero height
    // no division by zero.
    int bandHeight = height - 2 * kLetterboxRows;
    if (bandHeight < 1) bandHeight = 1;
    if (width < 0) width = 0;
    const double aspect = height > 0 ? static_cast<double>(width) / static_cast<double>(height) : 1.0;
    applyView(0, kLetterboxRows, width, bandHeight, aspect);
}

ViewFrame fittedFrame(int width, int height) {
    ViewFrame frame;
    if (width < 1 || height < 1) return frame;
    // Sides rounded to the nearest pixel, never below one.
    if (std::int64_t{width} * 3 >= std::int64_t{height} * 4) {
        frame.height = height;
        frame.width = std::max(1, static_cast<int>((std::int64_t{height} * 4 + 1) / 3));
    } else {
        frame.width = width;
        frame.height = std::max(1, static_cast<int>((std::int64_t{width} * 3 + 2) / 4));
    }
    frame.x = (width - frame.width) / 2;
    frame.y = (height - frame.height) / 2;
    return frame;
}

void frameView(const ViewFrame& frame) {
    // 768 rows give bars of 128, as resizeView's.
    const int bars = (std::max(frame.height, 0) + 3) / 6;
    const int bandHeight = std::max(1, frame.height - 2 * bars);
    const int width = std::max(frame.width, 0);
    const double aspect = frame.height > 0 ? static_cast<double>(width) / static_cast<double>(frame.height) : 1.0;
    applyView(frame.x, frame.y + bars, width, bandHeight, aspect);
}
