// Output written under a temporary name beside its target and moved into place only when
// complete, so that a failed or interrupted capture leaves nothing half-written. A target that
// is a symbolic link is written through: the link stays and what it points to is replaced.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class StagedFile {
public:
    // Makes the temporary file at once, beside the file the target names (through links),
    // which proves that folder writable.
    static std::unique_ptr<StagedFile> create(const std::filesystem::path& target, std::string& error);
    ~StagedFile();  // removes the temporary file unless committed
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::filesystem::path& temporary() const { return temporary_; }
    // Gives the file the permissions a new file gets and renames it over the target. A file
    // that reached the file size limit is refused: the write that crossed it was cut short.
    bool commit(std::string& error);

private:
    StagedFile(std::filesystem::path target, std::filesystem::path resolved, std::filesystem::path temporary);
    std::filesystem::path target_;    // as given, for messages
    std::filesystem::path resolved_;  // the file that is replaced
    std::filesystem::path temporary_;
    bool committed_ = false;
};

// A folder of files staged in a hidden folder inside it; the folder itself is made if
// missing (its parent must exist) and removed again on failure if this made it.
class StagedFolder {
public:
    static std::unique_ptr<StagedFolder> create(const std::filesystem::path& target, std::string& error);
    ~StagedFolder();  // removes every file of this run unless committed
    StagedFolder(const StagedFolder&) = delete;
    StagedFolder& operator=(const StagedFolder&) = delete;

    // Where a file of this name is written before commit.
    std::filesystem::path staged(const std::string& name) const { return staging_ / name; }
    // Moves every staged file (named in `names`) into the folder.
    bool commit(const std::vector<std::string>& names, std::string& error);

private:
    StagedFolder(std::filesystem::path target, std::filesystem::path staging, bool madeTarget);
    std::filesystem::path target_;
    std::filesystem::path staging_;
    bool madeTarget_;
    std::vector<std::filesystem::path> moved_;
    bool committed_ = false;
};
