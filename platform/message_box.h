// Message boxes with an OK button and no owner. The text is always reported (on stderr as
// "caption: text"); a box is shown only where a display can show one, so nothing ever
// blocks a headless run. A warning icon makes the report a warning.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

constexpr std::uint32_t MB_OK = 0x0;
constexpr std::uint32_t MB_ICONWARNING = 0x30;

// Texts are Windows-1254 bytes.
void messageBox(const char* text, const char* caption, std::uint32_t style);

// Windows-1254 bytes as UTF-8, for terminals and window systems.
std::string cp1254ToUtf8(const std::string& text);

}  // namespace platform
