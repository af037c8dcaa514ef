#include "tools/capture/output/staged_output.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>

#include "tools/capture/output/system_errors.h"

namespace fs = std::filesystem;

namespace {

// The path a chain of symbolic links ends at (which need not exist); `path` itself when it is
// no link. False with `error` set for a loop.
bool followLinks(const fs::path& path, fs::path& resolved, std::string& error) {
    constexpr int kMostLinks = 40;  // as the kernel allows before ELOOP
    resolved = path;
    for (int links = 0;; ++links) {
        struct stat info {};
        if (::lstat(resolved.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
        std::error_code ec;
        const fs::path next = fs::read_symlink(resolved, ec);
        if (ec || links == kMostLinks) {
            error = cannotWrite(path, ec ? ec.value() : ELOOP);
            return false;
        }
        resolved = next.is_absolute() ? next : resolved.parent_path() / next;
    }
}

// True when `path` has grown to the process's file size limit: the write that reached it
// was cut short, and the kernel says so only for the one after it.
bool reachedFileSizeLimit(const fs::path& path) {
    struct rlimit limit {};
    struct stat info {};
    return ::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
           ::stat(path.c_str(), &info) == 0 && static_cast<rlim_t>(info.st_size) >= limit.rlim_cur;
}

// mkstemp makes files only the owner may read; a finished output gets what any new file would.
mode_t newFileMode() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(0666 & ~std::strtoul(line.c_str() + 6, nullptr, 8));
    }
    return 0644;
}

}  // namespace

StagedFile::StagedFile(fs::path target, fs::path resolved, fs::path temporary)
    : target_(std::move(target)), resolved_(std::move(resolved)), temporary_(std::move(temporary)) {}

std::unique_ptr<StagedFile> StagedFile::create(const fs::path& target, std::string& error) {
    fs::path resolved;
    if (!followLinks(target, resolved, error)) return nullptr;
    std::string name = ".";
    name += resolved.filename().string();
    name += ".part-XXXXXX";
    std::string pattern = (resolved.parent_path() / name).string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        error = cannotWrite(target, errno);
        return nullptr;
    }
    ::close(fd);
    return std::unique_ptr<StagedFile>(new StagedFile(target, resolved, pattern));
}

StagedFile::~StagedFile() {
    if (committed_) return;
    std::error_code ignored;
    fs::remove(temporary_, ignored);
}

bool StagedFile::commit(std::string& error) {
    if (reachedFileSizeLimit(temporary_)) {
        error = cannotWrite(target_, EFBIG);
        return false;
    }
    if (::chmod(temporary_.c_str(), newFileMode()) != 0 || ::rename(temporary_.c_str(), resolved_.c_str()) != 0) {
        error = "cannot put " + target_.string() + " in place: " + errnoText(errno);
        return false;
    }
    committed_ = true;
    return true;
}

StagedFolder::StagedFolder(fs::path target, fs::path staging, bool madeTarget)
    : target_(std::move(target)), staging_(std::move(staging)), madeTarget_(madeTarget) {}

std::unique_ptr<StagedFolder> StagedFolder::create(const fs::path& target, std::string& error) {
    bool made = false;
    std::error_code ec;
    if (!fs::is_directory(target, ec)) {
        if (::mkdir(target.c_str(), 0777) != 0) {
            error = "cannot make the folder " + target.string() + ": " + errnoText(errno);
            return nullptr;
        }
        made = true;
    }
    std::string pattern = (target / ".oyun-capture-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        error = "cannot write into " + target.string() + ": " + errnoText(errno);
        if (made) fs::remove(target, ec);
        return nullptr;
    }
    return std::unique_ptr<StagedFolder>(new StagedFolder(target, pattern, made));
}

StagedFolder::~StagedFolder() {
    std::error_code ignored;
    fs::remove_all(staging_, ignored);
    if (committed_) return;
    for (const fs::path& file : moved_) fs::remove(file, ignored);
    if (madeTarget_) fs::remove(target_, ignored);  // only if nothing else came into it meanwhile
}

bool StagedFolder::commit(const std::vector<std::string>& names, std::string& error) {
    const mode_t mode = newFileMode();
    for (const std::string& name : names) {
        const fs::path from = staging_ / name;
        const fs::path to = target_ / name;
        if (::chmod(from.c_str(), mode) != 0 || ::rename(from.c_str(), to.c_str()) != 0) {
            error = "cannot put " + to.string() + " in place: " + errnoText(errno);
            return false;
        }
        moved_.push_back(to);
    }
    committed_ = true;
    return true;
}
