#include "tests/support/image_test_tools.h"

#include <cstdio>
#include <filesystem>

namespace testing_support {

namespace {
std::string quoted(const std::string& text) {
    std::string result = "'";
    for (const char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}
}  // namespace

std::string ffmpegDecode(const std::string& path, const std::string& pixelFormat) {
    const std::string command =
        "ffmpeg -nostdin -v error -i " + quoted(path) + " -f rawvideo -pix_fmt " + pixelFormat + " -";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string bytes;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) bytes.append(buffer, got);
    return ::pclose(pipe) == 0 ? bytes : std::string();
}

bool runFfmpeg(const std::string& arguments) {
    const std::string command = "ffmpeg -nostdin -v error -y " + arguments;
    return std::system(command.c_str()) == 0;
}

std::string flipRows(const std::string& pixels, std::size_t rowBytes) {
    std::string flipped;
    for (std::size_t row = pixels.size() / rowBytes; row-- > 0;) flipped += pixels.substr(row * rowBytes, rowBytes);
    return flipped;
}

int openDescriptorCount() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

}  // namespace testing_support
