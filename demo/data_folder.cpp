#include "demo/data_folder.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

const std::array<const char*, 11> kShowDataFiles = {"mask.tga", "text.tga",     "shine.tga", "t1.tga",
                                                    "t2.tga",   "cre.tga",      "cre2.tga",  "mivra.tga",
                                                    "ball.tga", "ball_sur.tga", "music.wma"};

bool holdsShowData(const fs::path& folder) {
    std::error_code ec;
    return std::all_of(kShowDataFiles.begin(), kShowDataFiles.end(),
                       [&](const char* name) { return fs::is_regular_file(folder / name, ec); });
}

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
    return search;
}

std::string missingDataMessage(const DataSearch& search) {
    std::string places;
    for (std::size_t i = 0; i < search.tried.size(); ++i) {
        if (i > 0) places += i + 1 == search.tried.size() ? " or " : ", ";
        places += search.tried[i].string();
    }
    std::string message = "no data for the show in " + places;
    // One place: say what it lacks.
    if (search.tried.size() == 1) {
        std::error_code ec;
        for (const char* name : kShowDataFiles)
            if (!fs::is_regular_file(search.tried[0] / name, ec)) {
                message += " (no ";
                message += name;
                message += ")";
                break;
            }
    }
    return message + "; give a folder with --data";
}

fs::path runningProgram() {
    std::error_code ec;
    fs::path program = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : program;
}
