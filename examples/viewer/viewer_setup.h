// What the model viewer needs before its window opens: the command line, the model file,
// and which texture file (if any) goes through which loader.
#pragma once

#include <string>

#include "model/model.h"

constexpr const char* kViewerUsage = "usage: oyun-viewer MODEL [TEXTURE]";

struct ViewerOptions {
    std::string modelPath;
    std::string texturePath;    // empty: draw untextured
    bool textureGiven = false;  // named on the command line, not found next to the model
};

enum class ArgumentResult {
    Run,    // options filled
    Help,   // -h or --help: usage on stdout, exit 0
    Usage,  // wrong arguments: `error` says why; usage on stderr, exit 2
};

// argv[0] is the program. "--" ends the options, so a file name may begin with '-'.
ArgumentResult parseViewerArguments(int argc, const char* const* argv, ViewerOptions& options, std::string& error);

enum class TextureRoute { Tga, Bmp };

// A name ending in ".bmp", in any case, is a Windows bitmap; everything else is read as TGA.
TextureRoute textureRouteFor(const std::string& path);

// The picture that goes with a model when none is named: the model's path with its
// extension replaced by ".tga", when such a file exists; otherwise empty.
std::string companionTexturePath(const std::string& modelPath);

// Loads the model and computes its face normals. A file that cannot be loaded, or that
// holds no joints, gives false and one line in `error` naming the file and the reason.
bool loadViewerModel(const std::string& path, Model& model, std::string& error);
