// What the model viewer needs before its window opens: the command line, the model file,
// and which texture file (if any) goes through which loader.
#pragma once

#include <optional>
#include <string>

#include "gfx/renderer.h"
#include "model/model.h"

struct ViewerOptions {
    std::string modelPath;
    std::string texturePath;    // empty: draw untextured
    bool textureGiven = false;  // named on the command line, not found next to the model
    gfx::RendererKind renderer = gfx::RendererKind::kGl11;
};

// Reads argv (argv[0] the program): MODEL, an optional TEXTURE and --renderer, through CLI11.
// Nothing when the viewer should run; otherwise the exit status, once --help or --version has
// been answered on stdout (0) or a wrong command line reported with the usage on stderr (2).
std::optional<int> parseViewerArguments(int argc, char** argv, ViewerOptions& options);

enum class TextureRoute { kTga, kBmp };

// A name ending in ".bmp", in any case, is a Windows bitmap; everything else is read as TGA.
TextureRoute textureRouteFor(const std::string& path);

// The picture that goes with a model when none is named: the model's path with its
// extension replaced by ".tga", when such a file exists; otherwise empty.
std::string companionTexturePath(const std::string& modelPath);

// Loads the model and computes its face normals. A file that cannot be loaded, or that
// holds no joints, gives false and one line in `error` naming the file and the reason.
bool loadViewerModel(const std::string& path, Model& model, std::string& error);
