// The names of a PNG folder's frames, and the frames of an earlier capture that a folder used
// again must lose.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// The name of frame `number` in a PNG folder.
std::string pngFrameName(std::int64_t number);
// The number a name of pngFrameName's form gives; nothing for any other name.
std::optional<std::int64_t> pngFrameNumber(const std::string& name);
// Removes the frames of an earlier capture numbered after `last` from `folder`; no other file
// is touched. Empty, or one line on what could not be removed.
std::string removeFramesAfter(const std::filesystem::path& folder, std::int64_t last);
