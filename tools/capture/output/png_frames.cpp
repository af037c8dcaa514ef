#include "tools/capture/output/png_frames.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>
#include <system_error>

#include "tools/capture/output/system_errors.h"

std::string pngFrameName(std::int64_t number) {
    char name[40];
    std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(number));
    return name;
}

std::optional<std::int64_t> pngFrameNumber(const std::string& name) {
    constexpr std::string_view kPrefix = "frame_";
    constexpr std::string_view kSuffix = ".png";
    constexpr std::size_t kLeastDigits = 6;
    if (name.size() < kPrefix.size() + kLeastDigits + kSuffix.size() || name.rfind(kPrefix, 0) != 0 ||
        name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
        return std::nullopt;
    const char* first = name.data() + kPrefix.size();
    const char* last = name.data() + name.size() - kSuffix.size();
    if (!std::all_of(first, last, [](char c) { return c >= '0' && c <= '9'; })) return std::nullopt;
    std::int64_t number = 0;
    if (std::from_chars(first, last, number).ec != std::errc()) return std::nullopt;
    // Only the spelling pngFrameName gives: "frame_0000001.png" is someone else's.
    if (pngFrameName(number) != name) return std::nullopt;
    return number;
}

std::string removeFramesAfter(const std::filesystem::path& folder, std::int64_t last) {
    std::error_code ec;
    std::size_t failed = 0;
    std::string reason;
    for (auto entry = std::filesystem::directory_iterator(folder, ec); !ec && entry != std::filesystem::end(entry);
         entry.increment(ec)) {
        const std::string name = entry->path().filename().string();
        const std::optional<std::int64_t> number = pngFrameNumber(name);
        if (!number || *number <= last) continue;
        std::error_code problem;
        if (entry->is_regular_file(problem))
            std::filesystem::remove(entry->path(), problem);
        else if (!problem)
            problem = std::make_error_code(std::errc::is_a_directory);
        if (problem) {
            ++failed;
            if (reason.empty()) reason = errnoText(problem.value());
        }
    }
    if (ec) return "cannot look for frames of an earlier capture in " + folder.string() + ": " + errnoText(ec.value());
    if (failed == 0) return {};
    return std::to_string(failed) + (failed == 1 ? " frame" : " frames") + " of an earlier capture after " +
           pngFrameName(last) + (failed == 1 ? " stays in " : " stay in ") + folder.string() + ": " + reason;
}
