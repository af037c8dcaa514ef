#include "demo/data_folder.h"

#include <algorithm>
#include <system_error>

#include "base/report.h"

namespace fs = std::filesystem;

const std::array<const char*, 11> kShowDataFiles = {"mask.tga", "text.tga",     "shine.tga", "t1.tga",
                                                    "t2.tga",   "cre.tga",      "cre2.tga",  "mivra.tga",
                                                    "ball.tga", "ball_sur.tga", "music.wma"};

namespace {

bool isFolder(const fs::path& folder) {
    std::error_code ec;
    return fs::is_directory(folder, ec);
}

// A relative place as the user would write it: "./data".
std::string shownPlace(const fs::path& folder) {
    if (folder.is_absolute() || folder.empty() || *folder.begin() == "." || *folder.begin() == "..")
        return folder.string();
    return "./" + folder.string();
}

}  // namespace

std::string firstMissingFile(const fs::path& folder) {
    std::error_code ec;
    for (const char* name : kShowDataFiles)
        if (!fs::is_regular_file(folder / name, ec)) return name;
    return {};
}

bool holdsShowData(const fs::path& folder) { return firstMissingFile(folder).empty(); }

std::vector<fs::path> dataFolderCandidates(const std::string& given, const fs::path& program) {
    if (!given.empty()) return {fs::path(given)};
    std::vector<fs::path> candidates = {"data"};
    // An installation keeps its data in share/oyun/ beside bin/, wherever its prefix is; a
    // program of the build uses the data the build wrote.
    if (!program.empty()) candidates.push_back((program.parent_path() / OYUN_INSTALLED_DATA).lexically_normal());
    const fs::path build = OYUN_BUILD_DIR;
    const fs::path relative = program.lexically_normal().lexically_relative(build);
    if (!program.empty() && !relative.empty() && *relative.begin() != "..") candidates.push_back(build / "data");
    return candidates;
}

DataSearch findDataFolder(const std::string& given, const fs::path& program) {
    DataSearch search;
    for (const fs::path& candidate : dataFolderCandidates(given, program)) {
        search.tried.push_back(candidate);
        if (holdsShowData(candidate)) {
            search.folder = candidate;
            break;
        }
    }
    for (const std::string& note : passedOverMessages(search)) base::report(base::Level::kWarning, note);
    return search;
}

std::vector<std::string> passedOverMessages(const DataSearch& search) {
    std::vector<std::string> notes;
    if (!search.folder) return notes;
    for (const fs::path& place : search.tried) {
        if (place == *search.folder || !isFolder(place)) continue;
        notes.push_back(shownPlace(place) + " lacks " + firstMissingFile(place) + "; using " + search.folder->string());
    }
    return notes;
}

std::string missingDataMessage(const DataSearch& search) {
    std::string places;
    for (std::size_t i = 0; i < search.tried.size(); ++i) {
        if (i > 0) places += i + 1 == search.tried.size() ? " or " : ", ";
        const fs::path& place = search.tried[i];
        places += place.string();
        // The only place, or one that exists: what it lacks.
        if (search.tried.size() == 1 || isFolder(place)) places += " (no " + firstMissingFile(place) + ")";
    }
    return "no data for the show in " + places + "; give a folder with --data";
}

fs::path runningProgram() {
    std::error_code ec;
    fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : program;
}
