// Output files that appear whole or not at all: each is written beside its final name and
// renamed into place once complete, so a failed run never leaves a cut-short picture or song
// that a later build would take for finished.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// The name a file is written under until it is complete.
std::string partPath(const std::string& path);

// Renames the finished part file to `path`; false with a readable reason when it cannot.
bool commitPart(const std::string& path, std::string& error);

// Removes a part file left by a failed write.
void discardPart(const std::string& path);

// Writes bytes to a file through its part file; false with a readable reason when it cannot.
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace assets
