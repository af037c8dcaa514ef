// Making and unmaking the program's one OpenGL window, and its letterboxed view.
#pragma once

#include "shell/app_window.h"

// Registers the window class "OpenGL" with windowProcedure; shows and logs a failure.
bool registerAppClass(WindowClassInfo* application);

// Switches the display to width x height x bitsPerPixel for full screen.
bool switchDisplayMode(int width, int height, int bitsPerPixel);

// Opens the window (full screen when window->fullScreen is 1 and the display allows it)
// with a current OpenGL context of the kind the chosen renderer needs, and starts the
// renderer on it. False after unwinding when any step fails; when the renderer is what
// failed, window->rendererError says why and nothing has been reported.
bool openAppWindow(AppWindow* window);

// Stops the renderer on the context, releases the context and the window and gives the
// display mode back. Always true.
bool closeAppWindow(AppWindow* window);

// The view for a client area: a band 256 rows shorter, centred, and a 45-degree
// projection of the whole client.
void resizeView(int width, int height);

// Rows left out above and below the band.
constexpr int kLetterboxRows = 128;

// A rectangle of the client, GL's way up: x and y from the bottom left.
struct ViewFrame {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The largest 4:3 frame inside a client of width x height, centred: where the 1024x768
// window's picture goes at another size.
ViewFrame fittedFrame(int width, int height);

// The view for a picture in `frame`: bars of a sixth of its height above and below the band
// and a 45-degree projection of the frame's aspect. For {0, 0, 1024, 768} it is exactly
// resizeView(1024, 768).
void frameView(const ViewFrame& frame);
