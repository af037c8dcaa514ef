// Where the show's pictures and music are: the folder given (--data), else "data" in the
// working directory, else the data folder of the build or installation the program is part
// of. A folder counts only when it holds every file the show reads.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The eleven files of the data folder.
extern const std::array<const char*, 11> kShowDataFiles;

// True when `folder` holds each of kShowDataFiles as a file.
bool holdsShowData(const std::filesystem::path& folder);

// The places looked in, in order: only `given` when it is not empty; otherwise "data", then
// the installation's data relative to `program` (the running executable), then the data
// folder of the build that made the program.
std::vector<std::filesystem::path> dataFolderCandidates(const std::string& given, const std::filesystem::path& program);

// The first of kShowDataFiles that `folder` lacks; empty when it holds them all.
std::string firstMissingFile(const std::filesystem::path& folder);

struct DataSearch {
    std::optional<std::filesystem::path> folder;  // the first candidate that holds the data
    std::vector<std::filesystem::path> tried;
};

// Looks in the candidates in order. A folder that exists but lacks a file and is passed over
// for a later one is said once on stderr ("./data lacks music.wma; using /x/build/data"):
// the user may have meant it, and the show would otherwise quietly use other data.
DataSearch findDataFolder(const std::string& given, const std::filesystem::path& program);

// The note about each folder of `search.tried` that exists but was passed over for
// `search.folder`; nothing when the first place held the data or none did.
std::vector<std::string> passedOverMessages(const DataSearch& search);

// "no data for the show in data (no t1.tga), b or c; give a folder with --data": each place
// that exists, or the only one, with the first file it lacks.
std::string missingDataMessage(const DataSearch& search);

// The running executable, or an empty path when it cannot be told.
std::filesystem::path runningProgram();
