// Runs a test inside a fresh temporary working directory, so that "log.htm" and "data/"
// resolve there; the directory is removed afterwards.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

class TempWorkingDir {
public:
    TempWorkingDir();
    ~TempWorkingDir();
    TempWorkingDir(const TempWorkingDir&) = delete;
    TempWorkingDir& operator=(const TempWorkingDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Whole contents of a file as bytes; empty when it cannot be read.
std::string readFileBytes(const std::filesystem::path& path);
void writeFileBytes(const std::filesystem::path& path, const std::string& bytes);
// The names in a folder, sorted.
std::vector<std::string> folderEntries(const std::filesystem::path& folder);

}  // namespace testing_support
