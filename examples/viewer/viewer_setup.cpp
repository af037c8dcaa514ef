// The model viewer's command line, texture route and model loading: all of it runs before
// any window exists, so a bad argument or model ends the program without one.
#include "examples/viewer/viewer_setup.h"

#include "base/report.h"

#include <sys/stat.h>

#include <cctype>

ArgumentResult parseViewerArguments(int argc, const char* const* argv, ViewerOptions& options, std::string& error) {
    options = ViewerOptions{};
    const char* files[2] = {nullptr, nullptr};
    int fileCount = 0;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i] != nullptr ? argv[i] : "";
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && (argument == "-h" || argument == "--help")) return ArgumentResult::Help;
        if (!optionsEnded && argument.size() > 1 && argument[0] == '-') {
            error = "unknown option " + argument;
            return ArgumentResult::Usage;
        }
        if (argument.empty()) {
            error = "an empty file name";
            return ArgumentResult::Usage;
        }
        if (fileCount == 2) {
            error = "too many arguments";
            return ArgumentResult::Usage;
        }
        files[fileCount++] = argv[i];
    }
    if (fileCount == 0) {
        error = "no model file given";
        return ArgumentResult::Usage;
    }
    options.modelPath = files[0];
    if (fileCount == 2) {
        options.texturePath = files[1];
        options.textureGiven = true;
    } else {
        options.texturePath = companionTexturePath(options.modelPath);
    }
    return ArgumentResult::Run;
}

TextureRoute textureRouteFor(const std::string& path) {
    static constexpr char kExtension[] = ".bmp";
    constexpr std::size_t length = sizeof kExtension - 1;
    if (path.size() < length) return TextureRoute::Tga;
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(path[path.size() - length + i]);
        if (std::tolower(c) != kExtension[i]) return TextureRoute::Tga;
    }
    return TextureRoute::Bmp;
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
