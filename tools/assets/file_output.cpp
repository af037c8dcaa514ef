// Whole-or-nothing file output.
#include "tools/assets/file_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace assets {

std::string partPath(const std::string& path) { return path + ".part"; }

bool commitPart(const std::string& path, std::string& error) {
    if (std::rename(partPath(path).c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        discardPart(path);
        return false;
    }
    return true;
}

void discardPart(const std::string& path) { std::remove(partPath(path).c_str()); }

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
    const std::string part = partPath(path);
    std::FILE* file = std::fopen(part.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        error = "cannot write " + path + ": " + std::strerror(written ? errno : writeErrno);
        discardPart(path);
        return false;
    }
    return commitPart(path, error);
}

}  // namespace assets
