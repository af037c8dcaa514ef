#include "tools/capture/plan/segments.h"

#include <cstdio>
#include <map>
#include <sstream>
#include <type_traits>

#include "gfx/renderer.h"
#include "tools/capture/plan/limits.h"
#include "tools/capture/plan/numbers.h"

namespace {

constexpr int kDescriptionVersion = 2;
constexpr int kDescriptionFields = 12;

using Fields = std::map<std::string, std::string>;

// "name=value" words, each name once; nothing for anything else.
std::optional<Fields> fieldsOf(const std::string& text) {
    Fields fields;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        const auto equals = word.find('=');
        if (equals == std::string::npos || !fields.emplace(word.substr(0, equals), word.substr(equals + 1)).second)
            return std::nullopt;
    }
    return fields;
}

template <typename Number>
bool readField(const Fields& fields, const char* name, std::int64_t low, std::int64_t high, Number& value) {
    const auto field = fields.find(name);
    if (field == fields.end()) return false;
    const auto read = base::parseWholeNumber(field->second, low, high);
    if (read) value = static_cast<Number>(*read);
    return read.has_value();
}

bool readNumbers(const Fields& fields, SegmentDescription& d) {
    constexpr std::int64_t kFrames = INT32_MAX;
    return readField(fields, "part", 1, kMaxSegments, d.choice.part) &&
           readField(fields, "parts", 1, kMaxSegments, d.choice.parts) &&
           readField(fields, "first", 0, kFrames, d.frames.first) &&
           readField(fields, "end", 0, kFrames, d.frames.end) &&
           readField(fields, "whole-first", 0, kFrames, d.whole.first) &&
           readField(fields, "whole-end", 0, kFrames, d.whole.end) && readField(fields, "fps", 1, kMaxFps, d.fps) &&
           readField(fields, "supersample", 1, kMaxSupersample, d.supersample);
}

// Parts inside their span, in a span that holds frames.
bool consistent(const SegmentDescription& d) {
    return d.choice.part <= d.choice.parts && d.frames.first < d.frames.end && d.whole.first < d.whole.end &&
           d.frames.first >= d.whole.first && d.frames.end <= d.whole.end;
}

}  // namespace

std::optional<SegmentChoice> parseSegmentChoice(const std::string& text) {
    const auto slash = text.find('/');
    if (slash == std::string::npos) return std::nullopt;
    const auto part = base::parseWholeNumber(text.substr(0, slash), 1, kMaxSegments);
    const auto parts = base::parseWholeNumber(text.substr(slash + 1), 1, kMaxSegments);
    if (!part || !parts || *part > *parts) return std::nullopt;
    return SegmentChoice{static_cast<int>(*part), static_cast<int>(*parts)};
}

FrameRange segmentFrames(const FrameRange& whole, SegmentChoice choice) {
    const std::int64_t length = whole.end - whole.first;
    return {whole.first + length * (choice.part - 1) / choice.parts, whole.first + length * choice.part / choice.parts};
}

std::string SegmentDescription::text() const {
    char text[512];
    std::snprintf(text, sizeof text,
                  "version=%d part=%d parts=%d first=%lld end=%lld whole-first=%lld whole-end=%lld fps=%d size=%s "
                  "supersample=%d renderer=%s show=%s",
                  kDescriptionVersion, choice.part, choice.parts, static_cast<long long>(frames.first),
                  static_cast<long long>(frames.end), static_cast<long long>(whole.first),
                  static_cast<long long>(whole.end), fps, sizeText(width, height).c_str(), supersample,
                  renderer.c_str(), show.c_str());
    return text;
}

std::optional<SegmentDescription> SegmentDescription::parse(const std::string& text) {
    const std::optional<Fields> fields = fieldsOf(text);
    if (!fields || fields->size() != kDescriptionFields) return std::nullopt;
    int version = 0;
    const auto size = fields->find("size");
    const auto show = fields->find("show");
    const auto renderer = fields->find("renderer");
    gfx::RendererKind kind{};
    if (!readField(*fields, "version", 1, 1000, version) || version != kDescriptionVersion || size == fields->end() ||
        show == fields->end() || show->second.empty() || renderer == fields->end() ||
        !gfx::parseRendererName(renderer->second, kind))
        return std::nullopt;
    const std::optional<PictureSize> picture = parsePictureSize(size->second, kMaxPictureSide);
    SegmentDescription d;
    if (!picture || !readNumbers(*fields, d)) return std::nullopt;
    d.width = picture->width;
    d.height = picture->height;
    d.show = show->second;
    d.renderer = renderer->second;
    if (!consistent(d)) return std::nullopt;
    return d;
}
