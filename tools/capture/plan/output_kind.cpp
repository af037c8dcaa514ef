#include "tools/capture/plan/output_kind.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<OutputKind> kindOfExtension(const fs::path& output) {
    const std::string extension = lowercase(output.extension().string());
    if (extension == ".mp4") return OutputKind::kMp4;
    if (extension == ".mkv") return OutputKind::kMkv;
    if (extension == ".webm") return OutputKind::kWebM;
    if (extension == ".png") return OutputKind::kPngFrame;
    return std::nullopt;
}

}  // namespace

bool isVideo(OutputKind kind) {
    return kind == OutputKind::kMp4 || kind == OutputKind::kMkv || kind == OutputKind::kWebM;
}

std::optional<OutputKind> outputKindOf(const fs::path& output) {
    const std::string text = output.string();
    if (!text.empty() && text.back() == '/') return OutputKind::kPngFolder;
    if (const auto kind = kindOfExtension(output)) return kind;
    std::error_code ec;
    if (fs::is_directory(output, ec)) return OutputKind::kPngFolder;
    return std::nullopt;
}
