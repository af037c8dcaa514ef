// Windows-1254 (Turkish) to UTF-8, for the texts the program holds as code-page bytes.
#include <array>
#include <cstdint>

#include "platform/message_box.h"

namespace platform {

namespace {
// Code points of bytes 0x80..0x9F; 0 where the code page has no character.
constexpr std::array<std::uint16_t, 32> kHigh80 = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0,      0,
                                                   0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0,      0x0178};

std::uint32_t codePoint(unsigned char byte) {
    if (byte < 0x80) return byte;
    if (byte < 0xA0) return kHigh80[byte - 0x80] != 0 ? kHigh80[byte - 0x80] : 0xFFFD;
    // Latin-1 except the six Turkish letters.
    switch (byte) {
        case 0xD0: return 0x011E;  // Ğ
        case 0xDD: return 0x0130;  // İ
        case 0xDE: return 0x015E;  // Ş
        case 0xF0: return 0x011F;  // ğ
        case 0xFD: return 0x0131;  // ı
        case 0xFE: return 0x015F;  // ş
        default: return byte;
    }
}

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
}  // namespace

std::string cp1254ToUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) appendUtf8(out, codePoint(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace platform
