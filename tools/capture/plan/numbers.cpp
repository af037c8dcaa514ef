#include "tools/capture/plan/numbers.h"

#include <charconv>
#include <system_error>

std::optional<std::int64_t> parseWholeNumber(const std::string& text, std::int64_t low, std::int64_t high) {
    const char* first = text.data();
    const char* last = first + text.size();
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (text.empty() || ec != std::errc() || end != last || value < low || value > high) return std::nullopt;
    return value;
}

std::optional<PictureSize> parsePictureSize(const std::string& text, int largestSide) {
    const auto x = text.find('x');
    if (x == std::string::npos) return std::nullopt;
    const auto width = parseWholeNumber(text.substr(0, x), 1, largestSide);
    const auto height = parseWholeNumber(text.substr(x + 1), 1, largestSide);
    if (!width || !height) return std::nullopt;
    return PictureSize{static_cast<int>(*width), static_cast<int>(*height)};
}

std::string sizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}
