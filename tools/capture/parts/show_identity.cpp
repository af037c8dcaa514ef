#include "tools/capture/parts/show_identity.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

#include "base/command_line.h"
#include "demo/data_folder.h"

namespace {

// FNV-1a, 64 bits: enough to tell two data folders apart, and quick over a few megabytes.
struct Fnv1a {
    std::uint64_t hash = 14695981039346656037ULL;
    void add(const char* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            hash ^= static_cast<unsigned char>(bytes[i]);
            hash *= 1099511628211ULL;
        }
    }
    void add(const std::string& text) { add(text.data(), text.size() + 1); }
};

}  // namespace

std::string showIdentity(const std::filesystem::path& dataDir) {
    Fnv1a hash;
    hash.add(base::versionLine());
    std::vector<char> buffer(1 << 16);
    for (const char* name : kShowDataFiles) {
        std::ifstream file(dataDir / name, std::ios::binary);
        if (!file) return {};
        hash.add(name);
        while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || file.gcount() > 0)
            hash.add(buffer.data(), static_cast<std::size_t>(file.gcount()));
        if (file.bad()) return {};
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash.hash));
    return text;
}
