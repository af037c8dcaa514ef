#include "tools/capture/segment.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "base/command_line.h"
#include "demo/data_folder.h"

namespace {

constexpr int kDescriptionVersion = 1;

bool readWhole(const std::string& text, std::int64_t low, std::int64_t high, std::int64_t& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    return !text.empty() && ec == std::errc() && end == last && value >= low && value <= high;
}

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

std::optional<SegmentChoice> parseSegmentChoice(const std::string& text) {
    const auto slash = text.find('/');
    if (slash == std::string::npos) return std::nullopt;
    std::int64_t part = 0;
    std::int64_t parts = 0;
    if (!readWhole(text.substr(0, slash), 1, kMaxSegments, part) ||
        !readWhole(text.substr(slash + 1), 1, kMaxSegments, parts) || part > parts)
        return std::nullopt;
    return SegmentChoice{static_cast<int>(part), static_cast<int>(parts)};
}

FrameRange segmentFrames(const FrameRange& whole, SegmentChoice choice) {
    const std::int64_t length = whole.end - whole.first;
    return {whole.first + length * (choice.part - 1) / choice.parts, whole.first + length * choice.part / choice.parts};
}

std::string SegmentDescription::text() const {
    char text[512];
    std::snprintf(text, sizeof text,
                  "version=%d part=%d parts=%d first=%lld end=%lld whole-first=%lld whole-end=%lld fps=%d size=%dx%d "
                  "supersample=%d show=%s",
                  kDescriptionVersion, choice.part, choice.parts, static_cast<long long>(frames.first),
                  static_cast<long long>(frames.end), static_cast<long long>(whole.first),
                  static_cast<long long>(whole.end), fps, width, height, supersample, show.c_str());
    return text;
}

std::optional<SegmentDescription> SegmentDescription::parse(const std::string& text) {
    std::map<std::string, std::string> fields;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        const auto equals = word.find('=');
        if (equals == std::string::npos || !fields.emplace(word.substr(0, equals), word.substr(equals + 1)).second)
            return std::nullopt;
    }
    auto number = [&fields](const char* name, std::int64_t low, std::int64_t high, auto& value) {
        const auto field = fields.find(name);
        std::int64_t read = 0;
        if (field == fields.end() || !readWhole(field->second, low, high, read)) return false;
        value = static_cast<std::remove_reference_t<decltype(value)>>(read);
        return true;
    };
    constexpr std::int64_t kFrames = INT32_MAX;
    constexpr std::int64_t kSide = 16384;
    SegmentDescription d;
    int version = 0;
    const auto size = fields.find("size");
    const auto show = fields.find("show");
    if (!number("version", 1, 1000, version) || version != kDescriptionVersion || size == fields.end() ||
        show == fields.end() || show->second.empty() || fields.size() != 11)
        return std::nullopt;
    std::int64_t width = 0;
    std::int64_t height = 0;
    const auto x = size->second.find('x');
    if (x == std::string::npos || !readWhole(size->second.substr(0, x), 1, kSide, width) ||
        !readWhole(size->second.substr(x + 1), 1, kSide, height))
        return std::nullopt;
    d.width = static_cast<int>(width);
    d.height = static_cast<int>(height);
    d.show = show->second;
    if (!number("part", 1, kMaxSegments, d.choice.part) || !number("parts", 1, kMaxSegments, d.choice.parts) ||
        !number("first", 0, kFrames, d.frames.first) || !number("end", 0, kFrames, d.frames.end) ||
        !number("whole-first", 0, kFrames, d.whole.first) || !number("whole-end", 0, kFrames, d.whole.end) ||
        !number("fps", 1, 1000, d.fps) || !number("supersample", 1, 16, d.supersample))
        return std::nullopt;
    if (d.choice.part > d.choice.parts || d.frames.first >= d.frames.end || d.whole.first >= d.whole.end ||
        d.frames.first < d.whole.first || d.frames.end > d.whole.end)
        return std::nullopt;
    return d;
}

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
