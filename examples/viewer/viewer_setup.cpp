// The model viewer's command line, texture route and model loading: all of it runs before
// any window exists, so a bad argument or model ends the program without one.
#include "examples/viewer/viewer_setup.h"

#include "base/command_line.h"
#include "base/report.h"
#include "shell/renderer_option.h"

#include <sys/stat.h>

#include <cctype>
#include <memory>

namespace {

constexpr const char* kDescription =
    "Shows a text model animated and lit, with a second instance of it that the keys move, both bounding "
    "boxes, and their overlap and contact side.";

constexpr const char* kFooter =
    "TEXTURE ending in .bmp is read as a Windows bitmap, anything else as TGA; without it the model's name\n"
    "with .tga is used when that file exists. A name that begins with - is given as ./-name.\n"
    "Keys: arrows move the second model in x and z, PageUp/PageDown in y; W wireframe, N normals,\n"
    "P pause, Escape quits.\n"
    "Exit status: 0 when closed, 1 when the model cannot be shown, no window opens or the chosen renderer\n"
    "cannot start (gles3 needs an OpenGL ES 3.0 context), 2 for a wrong command line, 128 + n after\n"
    "signal n.";

// The model is required, which CLI11's own usage would not show: the check is ours.
class ViewerFormatter : public CLI::Formatter {
public:
    std::string make_usage(const CLI::App*, std::string name) const override {
        return "Usage: " + name + " [OPTIONS] MODEL [TEXTURE]\n";
    }
};

// CLI11 takes an empty word as a value.
const CLI::Validator kNotEmpty([](std::string& text) -> std::string { return text.empty() ? "is empty" : ""; }, "", "");

}  // namespace

std::optional<int> parseViewerArguments(int argc, char** argv, ViewerOptions& options) {
    options = ViewerOptions{};
    CLI::App app{kDescription};
    app.formatter(std::make_shared<ViewerFormatter>());
    base::prepareCommandLine(app);
    app.add_option("MODEL", options.modelPath, "The text model file")
        ->type_name("")
        ->check(base::kNotAnOption)
        ->check(kNotEmpty);
    app.add_option("TEXTURE", options.texturePath, "The picture on the model, TGA or BMP")
        ->type_name("")
        ->check(base::kNotAnOption)
        ->check(kNotEmpty);
    addRendererOption(app, options.renderer);
    app.footer(kFooter);
    if (const auto status = base::parseCommandLine(app, argc, argv)) return status;
    // Checked here rather than by CLI11, which would say so before naming an unknown option.
    if (options.modelPath.empty()) return base::usageError(app, "MODEL is required");
    options.textureGiven = !options.texturePath.empty();
    if (!options.textureGiven) options.texturePath = companionTexturePath(options.modelPath);
    return std::nullopt;
}

TextureRoute textureRouteFor(const std::string& path) {
    static constexpr char kExtension[] = ".bmp";
    constexpr std::size_t length = sizeof kExtension - 1;
    if (path.size() < length) return TextureRoute::kTga;
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(path[path.size() - length + i]);
        if (std::tolower(c) != kExtension[i]) return TextureRoute::kTga;
    }
    return TextureRoute::kBmp;
}

std::string companionTexturePath(const std::string& modelPath) {
    const std::size_t slash = modelPath.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = modelPath.find_last_of('.');
    // A dot that starts the name (".walker") or sits in a folder name is no extension.
    if (dot == std::string::npos || dot <= nameStart) dot = modelPath.size();
    const std::string candidate = modelPath.substr(0, dot) + ".tga";
    struct stat info {};
    if (stat(candidate.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return "";
    return candidate;
}

namespace {

// The loader's line reads "FILE:LINE: reason; the model is left empty"; the viewer exits
// instead of drawing an empty model, so the tail is dropped.
std::string viewerMessage(std::string message) {
    static const std::string tail = "; the model is left empty";
    if (message.size() >= tail.size() && message.compare(message.size() - tail.size(), tail.size(), tail) == 0)
        message.erase(message.size() - tail.size());
    return message;
}

}  // namespace

bool loadViewerModel(const std::string& path, Model& model, std::string& error) {
    struct stat info {};
    // A folder opens as a stream on Linux; say what it is rather than how reading it failed.
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = "cannot load model " + path + ": it is a directory";
        return false;
    }
    std::string lastModelMessage;
    bool loaded = false;
    {
        const base::ScopedReportSink keepLast(
            [&lastModelMessage](const base::Report& entry) { lastModelMessage = entry.text; });
        loaded = model.loadFile(path.c_str());
    }
    if (!loaded) {
        error = lastModelMessage.empty() ? "cannot load model " + path : viewerMessage(lastModelMessage);
        return false;
    }
    if (model.numofjoints <= 0) {
        error = "model " + path + " has no joints to show";
        return false;
    }
    model.computeFaceNormals();
    return true;
}
