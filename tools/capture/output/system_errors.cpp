#include "tools/capture/output/system_errors.h"

#include <cerrno>
#include <cstring>

std::string errnoText(int error) {
    // EFBIG comes from `ulimit -f` as well as from a file system's largest file (FAT's 4 GiB).
    if (error == EFBIG) return "file too large for the file size limit (ulimit -f) or the file system";
    std::string text = std::strerror(error);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z' && (text.size() < 2 || text[1] < 'A' || text[1] > 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string cannotWrite(const std::filesystem::path& path, int error) {
    return "cannot write " + path.string() + ": " + errnoText(error);
}
