// Texture loading for the viewer through the TGA or the bitmap route.
#include "examples/viewer/viewer_texture.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/report.h"
#include "examples/viewer/viewer_setup.h"
#include "pictures/texture_bmp.h"
#include "pictures/texture_tga.h"
#include "platform/message_box.h"

namespace {

// Why the file cannot be read at all, or empty when it can be opened.
std::string openProblem(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return "it is a directory";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return std::strerror(errno);
    std::fclose(file);
    return "";
}

}  // namespace

ViewerTexture loadViewerTexture(const std::string& path) {
    ViewerTexture texture;
    const bool bitmap = textureRouteFor(path) == TextureRoute::kBmp;
    const std::string kind = bitmap ? "bitmap texture " : "TGA texture ";
    const std::string cannotOpen = openProblem(path);
    if (!cannotOpen.empty()) {
        texture.problem = "cannot open " + kind + path + ": " + cannotOpen;
        return texture;
    }

    std::string boxTexts;
    {
        const base::ScopedReportSink keepTexts([&boxTexts](const base::Report& entry) {
            if (!boxTexts.empty()) boxTexts += "; ";
            boxTexts += entry.text;
        });
        texture.name = bitmap ? loadBmpTexture(path.c_str()) : loadTgaTexture(path.c_str());
    }

    if (texture.name == 0) {
        // The loaders end some texts with a blank.
        while (!boxTexts.empty() && (boxTexts.back() == ' ' || boxTexts.back() == '\n')) boxTexts.pop_back();
        texture.problem =
            "cannot load " + kind + path + ": " + (boxTexts.empty() ? "not a picture it can read" : boxTexts);
    }
    return texture;
}
