#include "tools/capture/plan/numbers.h"

std::optional<PictureSize> parsePictureSize(const std::string& text, int largestSide) {
    const auto x = text.find('x');
    if (x == std::string::npos) return std::nullopt;
    const auto width = base::parseWholeNumber(text.substr(0, x), 1, largestSide);
    const auto height = base::parseWholeNumber(text.substr(x + 1), 1, largestSide);
    if (!width || !height) return std::nullopt;
    return PictureSize{static_cast<int>(*width), static_cast<int>(*height)};
}

std::string sizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}
