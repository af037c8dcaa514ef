// Fonts and conventions shared by the full-view pictures.
#include <algorithm>

#include "tools/assets/pictures.h"

namespace assets {

bool loadFonts(FontLibrary& library, Fonts& fonts, std::string& error) {
    const std::vector<std::string> sans = {"DejaVu Sans", "Liberation Sans"};
    const std::vector<std::string> serif = {"DejaVu Serif", "Liberation Serif"};
    return library.load({sans, FontWeight::kBold, false, false}, fonts.title, error) &&
           library.load({sans, FontWeight::kExtraLight, false, false}, fonts.light, error) &&
           library.load({sans, FontWeight::kRegular, false, false}, fonts.body, error) &&
           library.load({serif, FontWeight::kRegular, true, false}, fonts.italic, error);
}

void markCornerTexels(Canvas& canvas) {
    // Two texels each way, so the lines keep their colour however the sampler rounds.
    const int n = std::min({2, canvas.width, canvas.height});
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            canvas.at(x, y) = {1.0f, 1.0f, 1.0f};
            canvas.at(canvas.width - 1 - x, y) = {1.0f, 1.0f, 1.0f};
            canvas.at(x, canvas.height - 1 - y) = {1.0f, 1.0f, 1.0f};
            canvas.at(canvas.width - 1 - x, canvas.height - 1 - y) = {1.0f, 1.0f, 1.0f};
        }
    }
}

}  // namespace assets
