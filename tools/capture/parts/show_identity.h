// What tells shows apart, so that parts rendered from other data, or by another version of the
// program, are never joined.
#pragma once

#include <filesystem>
#include <string>

// A hash of the program's version and the data files' bytes, as hex. Empty when a data file
// cannot be read.
std::string showIdentity(const std::filesystem::path& dataDir);
