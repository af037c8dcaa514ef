// Whole numbers as command lines and our own files write them: decimal digits only (no sign,
// space, base prefix or trailing text), so "010" is ten and "+5" is no number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace base {

// The number `text` spells, when it lies in [low, high].
std::optional<std::int64_t> parseWholeNumber(const std::string& text, std::int64_t low, std::int64_t high);

}  // namespace base
