// The viewer's texture: the loader its file name calls for, with a failure told in one
// line instead of a message box.
#pragma once

#include <cstdint>
#include <string>

struct ViewerTexture {
    std::uint32_t name = 0;  // OpenGL texture name; 0 when the picture could not be loaded
    std::string problem;     // why not, naming the file; empty on success
};

// Needs a current OpenGL context. A path ending in ".bmp" (any case) goes through the bitmap
// route, anything else through the TGA route. The loaders' message boxes are taken off the
// screen for the call and their texts put into `problem`: the viewer is a command-line tool,
// and a blocking box for a picture it can draw without would stall it. Boxes show as usual
// again afterwards.
ViewerTexture loadViewerTexture(const std::string& path);
