// What a capture writes, as its output's name says.
#pragma once

#include <filesystem>
#include <optional>

enum class OutputKind {
    kMp4,        // H.264 + AAC
    kMkv,        // H.264 + AAC in Matroska
    kWebM,       // VP9 + Opus
    kPngFolder,  // one numbered PNG per frame
    kPngFrame,   // one PNG of one frame
};

bool isVideo(OutputKind kind);

// The kind of output a path names: a trailing slash is a PNG folder, else a known extension
// decides, else an existing folder is a PNG folder. Nothing when it cannot be told.
std::optional<OutputKind> outputKindOf(const std::filesystem::path& output);
