// Making and unmaking the program's one OpenGL window, and its letterboxed view.
#pragma once

#include "shell/app_window.h"

// Registers the window class "OpenGL" with windowProcedure; shows and logs a failure.
bool registerAppClass(WindowClassInfo* application);

// Switches the display to width x height x bitsPerPixel for full screen.
bool switchDisplayMode(int width, int height, int bitsPerPixel);

// Opens the window (full screen when window->fullScreen is 1 and the display allows it)
// with a current OpenGL context. False after unwinding when any step fails.
bool openAppWindow(AppWindow* window);

// Releases the context and the window and gives the display mode back. Always true.
bool closeAppWindow(AppWindow* window);

// The view for a client area: a band 256 rows shorter, centred, and a 45-degree
// projection of the whole client.
void resizeView(int width, int height);

// Rows left out above and below the band.
constexpr int kLetterboxRows = 128;
