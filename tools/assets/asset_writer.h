// Writes the show's data folder: the ten pictures and the music, in the order the show loads them.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace assets {

// The file names written into the folder, pictures first, then "music.wma".
const std::vector<std::string>& assetFileNames();

// Creates the folder if needed and writes every file, printing one progress line per file to
// `progress` (may be null). False with a readable reason on the first failure.
bool writeAssets(const std::string& folder, std::FILE* progress, std::string& error);

}  // namespace assets
