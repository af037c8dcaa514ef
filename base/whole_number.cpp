#include "base/whole_number.h"

#include <charconv>
#include <system_error>

namespace base {

std::optional<std::int64_t> parseWholeNumber(const std::string& text, std::int64_t low, std::int64_t high) {
    // A minus sign only where the range goes below zero.
    const std::size_t digits = low < 0 && !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == digits || text.find_first_not_of("0123456789", digits) != std::string::npos) return std::nullopt;
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace base
