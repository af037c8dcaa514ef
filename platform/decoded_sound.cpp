#include "platform/decoded_sound.h"

#include <filesystem>
#include <map>
#include <system_error>

namespace platform {

namespace {

std::map<std::string, DecodedSound>& sounds() {
    static std::map<std::string, DecodedSound> byPath;
    return byPath;
}

std::string key(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return (ec ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

}  // namespace

void provideDecodedSound(const std::string& path, DecodedSound sound) { sounds()[key(path)] = std::move(sound); }

const DecodedSound* findDecodedSound(const std::string& path) {
    if (path.empty()) return nullptr;
    const auto found = sounds().find(key(path));
    return found == sounds().end() ? nullptr : &found->second;
}

void forgetDecodedSounds() { sounds().clear(); }

}  // namespace platform
