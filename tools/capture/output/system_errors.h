// System errors in the words of this program's messages.
#pragma once

#include <filesystem>
#include <string>

// The text of an errno value, lower-case first letter as in the rest of a message; a file
// too large says which limits there are.
std::string errnoText(int error);

// "cannot write PATH: reason", for errno value `error`.
std::string cannotWrite(const std::filesystem::path& path, int error);
