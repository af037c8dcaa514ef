#include "base/whole_number.h"

#include <charconv>
#include <system_error>

namespace base {

std::optional<std::int64_t> parseWholeNumber(const std::string& text, std::int64_t low, std::int64_t high) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace base
