#include "tools/capture/parts/segment_files.h"

#include <algorithm>
#include <cstring>

#include "tools/capture/plan/numbers.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace fs = std::filesystem;

namespace {

std::string frames(const FrameRange& range) {
    return "frames " + std::to_string(range.first) + "-" + std::to_string(range.end);
}

// How two parts' descriptions differ, or empty.
std::string difference(const SegmentDescription& a, const SegmentDescription& b) {
    if (a.show != b.show) return "are from different shows (or versions of the program)";
    if (a.width != b.width || a.height != b.height)
        return "differ in size (" + sizeText(a.width, a.height) + ", " + sizeText(b.width, b.height) + ")";
    if (a.fps != b.fps) return "differ in rate (" + std::to_string(a.fps) + " fps, " + std::to_string(b.fps) + " fps)";
    if (a.supersample != b.supersample) return "differ in supersampling";
    if (a.renderer != b.renderer) return "differ in renderer (" + a.renderer + ", " + b.renderer + ")";
    if (a.whole.first != b.whole.first || a.whole.end != b.whole.end || a.choice.parts != b.choice.parts)
        return "are parts of different spans (" + frames(a.whole) + " in " + std::to_string(a.choice.parts) + ", " +
               frames(b.whole) + " in " + std::to_string(b.choice.parts) + ")";
    return {};
}

bool sameParameters(const AVCodecParameters& a, const AVCodecParameters& b) {
    return a.codec_id == b.codec_id && a.width == b.width && a.height == b.height && a.format == b.format &&
           a.extradata_size == b.extradata_size &&
           (a.extradata_size == 0 ||
            std::memcmp(a.extradata, b.extradata, static_cast<std::size_t>(a.extradata_size)) == 0);
}

// The description of the open segment at `path`, checked against its pictures.
std::optional<SegmentDescription> describedPart(const fs::path& path, const AVFormatContext& part, std::string& error) {
    const AVDictionaryEntry* tag = av_dict_get(part.metadata, kSegmentTag, nullptr, 0);
    const auto description = tag != nullptr ? SegmentDescription::parse(tag->value) : std::nullopt;
    if (!description) {
        error = path.string() + " is not a segment written by oyun-capture --segment (it has no segment description)";
        return std::nullopt;
    }
    const AVCodecParameters& codec = *part.streams[0]->codecpar;
    if (codec.width != description->width || codec.height != description->height) {
        error = path.string() + " is damaged: its pictures are not the size its description gives";
        return std::nullopt;
    }
    return description;
}

// Each part of the span once, in order, with the frames its number gives it.
bool coverTheSpan(const std::vector<SegmentFile>& segments, std::string& error) {
    const SegmentDescription& whole = segments.front().description;
    const int parts = whole.choice.parts;
    std::size_t next = 0;
    for (int part = 1; part <= parts; ++part, ++next) {
        const std::string which = "part " + std::to_string(part) + " of " + std::to_string(parts);
        const FrameRange expected = segmentFrames(whole.whole, {part, parts});
        if (next >= segments.size() || segments[next].description.choice.part != part) {
            error = which + " is missing (" + frames(expected) + ")";
            return false;
        }
        if (next + 1 < segments.size() && segments[next + 1].description.choice.part == part) {
            error = which + " is given twice (" + segments[next].path.string() + " and " +
                    segments[next + 1].path.string() + ")";
            return false;
        }
        const FrameRange& own = segments[next].description.frames;
        if (own.first != expected.first || own.end != expected.end) {
            error = segments[next].path.string() + " is damaged: " + which + " should hold " + frames(expected);
            return false;
        }
    }
    return true;
}

}  // namespace

AvFormatInputPtr openSegment(const fs::path& path, std::string& error) {
    av_log_set_level(AV_LOG_QUIET);  // failures come back as our own one-line errors
    AVFormatContext* context = nullptr;
    if (const int result = avformat_open_input(&context, path.c_str(), nullptr, nullptr); result < 0) {
        error = "cannot read " + path.string() + ": " + avErrorText(result);
        return nullptr;
    }
    AvFormatInputPtr part(context);
    if (part->nb_streams != 1 || part->streams[0]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) {
        error = path.string() + " is not a segment written by oyun-capture --segment (it holds other streams)";
        return nullptr;
    }
    return part;
}

bool readSegments(const std::vector<fs::path>& paths, std::vector<SegmentFile>& segments, std::string& error) {
    segments.clear();
    AvFormatInputPtr first;
    for (const fs::path& path : paths) {
        AvFormatInputPtr part = openSegment(path, error);
        if (!part) return false;
        const std::optional<SegmentDescription> description = describedPart(path, *part, error);
        if (!description) return false;
        if (segments.empty()) {
            first = std::move(part);
        } else if (const std::string differs = difference(segments.front().description, *description);
                   !differs.empty()) {
            error = segments.front().path.string() + " and " + path.string() + " " + differs;
            return false;
        } else if (!sameParameters(*first->streams[0]->codecpar, *part->streams[0]->codecpar)) {
            error = segments.front().path.string() + " and " + path.string() +
                    " were encoded differently (codec or encoder settings) and cannot be joined";
            return false;
        }
        segments.push_back({path, *description});
    }
    if (segments.empty()) {
        error = "no segments to join";
        return false;
    }
    std::sort(segments.begin(), segments.end(), [](const SegmentFile& a, const SegmentFile& b) {
        return a.description.choice.part < b.description.choice.part;
    });
    return coverTheSpan(segments, error);
}
