#include "tools/capture/segment_join.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "base/av_util.h"
#include "tools/capture/frame_writer.h"
#include "tools/capture/undrawn_run.h"

extern "C" {
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
}

namespace fs = std::filesystem;

namespace {

std::string named(const fs::path& path) { return path.string(); }

AvFormatInputPtr openPart(const fs::path& path, std::string& error) {
    av_log_set_level(AV_LOG_QUIET);  // failures come back as our own one-line errors
    AVFormatContext* context = nullptr;
    if (const int result = avformat_open_input(&context, path.c_str(), nullptr, nullptr); result < 0) {
        error = "cannot read " + named(path) + ": " + avErrorText(result);
        return nullptr;
    }
    AvFormatInputPtr part(context);
    if (part->nb_streams != 1 || part->streams[0]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) {
        error = named(path) + " is not a segment written by oyun-capture --segment (it holds other streams)";
        return nullptr;
    }
    return part;
}

// How two parts' descriptions differ, or empty.
std::string difference(const SegmentDescription& a, const SegmentDescription& b) {
    auto size = [](const SegmentDescription& d) { return std::to_string(d.width) + "x" + std::to_string(d.height); };
    auto span = [](const SegmentDescription& d) {
        return "frames " + std::to_string(d.whole.first) + "-" + std::to_string(d.whole.end);
    };
    if (a.show != b.show) return "are from different shows (or versions of the program)";
    if (a.width != b.width || a.height != b.height) return "differ in size (" + size(a) + ", " + size(b) + ")";
    if (a.fps != b.fps) return "differ in rate (" + std::to_string(a.fps) + " fps, " + std::to_string(b.fps) + " fps)";
    if (a.supersample != b.supersample) return "differ in supersampling";
    if (a.whole.first != b.whole.first || a.whole.end != b.whole.end || a.choice.parts != b.choice.parts)
        return "are parts of different spans (" + span(a) + " in " + std::to_string(a.choice.parts) + ", " + span(b) +
               " in " + std::to_string(b.choice.parts) + ")";
    return {};
}

bool sameParameters(const AVCodecParameters& a, const AVCodecParameters& b) {
    return a.codec_id == b.codec_id && a.width == b.width && a.height == b.height && a.format == b.format &&
           a.extradata_size == b.extradata_size &&
           (a.extradata_size == 0 ||
            std::memcmp(a.extradata, b.extradata, static_cast<std::size_t>(a.extradata_size)) == 0);
}

}  // namespace

bool readSegments(const std::vector<fs::path>& paths, std::vector<SegmentFile>& segments, std::string& error) {
    segments.clear();
    AvFormatInputPtr first;
    for (const fs::path& path : paths) {
        AvFormatInputPtr part = openPart(path, error);
        if (!part) return false;
        const AVDictionaryEntry* tag = av_dict_get(part->metadata, kSegmentTag, nullptr, 0);
        const auto description = tag != nullptr ? SegmentDescription::parse(tag->value) : std::nullopt;
        if (!description) {
            error = named(path) + " is not a segment written by oyun-capture --segment (it has no segment description)";
            return false;
        }
        const AVCodecParameters& codec = *part->streams[0]->codecpar;
        if (codec.width != description->width || codec.height != description->height) {
            error = named(path) + " is damaged: its pictures are not the size its description gives";
            return false;
        }
        if (!segments.empty()) {
            if (const std::string differs = difference(segments.front().description, *description); !differs.empty()) {
                error = named(segments.front().path) + " and " + named(path) + " " + differs;
                return false;
            }
            if (!sameParameters(*first->streams[0]->codecpar, codec)) {
                error = named(segments.front().path) + " and " + named(path) +
                        " were encoded differently (codec or encoder settings) and cannot be joined";
                return false;
            }
        } else {
            first = std::move(part);
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
    const SegmentDescription& whole = segments.front().description;
    const int parts = whole.choice.parts;
    std::size_t next = 0;
    for (int part = 1; part <= parts; ++part) {
        const std::string which = "part " + std::to_string(part) + " of " + std::to_string(parts);
        if (next >= segments.size() || segments[next].description.choice.part != part) {
            error = which + " is missing (frames " + std::to_string(segmentFrames(whole.whole, {part, parts}).first) +
                    "-" + std::to_string(segmentFrames(whole.whole, {part, parts}).end) + ")";
            return false;
        }
        if (next + 1 < segments.size() && segments[next + 1].description.choice.part == part) {
            error = which + " is given twice (" + named(segments[next].path) + " and " +
                    named(segments[next + 1].path) + ")";
            return false;
        }
        const FrameRange expected = segmentFrames(whole.whole, {part, parts});
        const FrameRange& frames = segments[next].description.frames;
        if (frames.first != expected.first || frames.end != expected.end) {
            error = named(segments[next].path) + " is damaged: " + which + " should hold frames " +
                    std::to_string(expected.first) + "-" + std::to_string(expected.end);
            return false;
        }
        ++next;
    }
    return true;
}

bool joinSegments(const std::vector<SegmentFile>& segments, const std::vector<std::int16_t>& sound,
                  const std::vector<int>& soundFrames, const fs::path& output, OutputKind kind, std::string& error,
                  const std::atomic<bool>* cancel) {
    const SegmentDescription& whole = segments.front().description;
    AvFormatInputPtr first = openPart(segments.front().path, error);
    if (!first) return false;
    const AVCodecID codec = first->streams[0]->codecpar->codec_id;
    const bool wantsVp9 = kind == OutputKind::kWebM;
    if (codec != (wantsVp9 ? AV_CODEC_ID_VP9 : AV_CODEC_ID_H264)) {
        error = named(segments.front().path) + " holds " +
                (codec == AV_CODEC_ID_VP9 ? "VP9" : avcodec_get_name(codec)) + "; " +
                (wantsVp9 ? "a .webm takes VP9 segments (render them to .webm)"
                          : "an .mp4 or .mkv takes H.264 segments (render them to .mkv)");
        return false;
    }
    const std::int64_t frames = whole.whole.end - whole.whole.first;
    if (static_cast<std::int64_t>(soundFrames.size()) != frames) {
        error = "the show's music ends before the segments do: " + std::to_string(soundFrames.size()) + " of " +
                std::to_string(frames) + " frames";
        return false;
    }
    WriterSettings settings{output, kind, whole.width, whole.height, whole.fps, std::nullopt};
    auto writer = openPacketWriter(settings, *first->streams[0]->codecpar, error);
    if (!writer) return false;
    first.reset();

    AvPacketPtr packet(av_packet_alloc());
    if (!packet) {
        error = "out of memory while joining";
        return false;
    }
    std::size_t soundAt = 0;
    std::int64_t frame = 0;  // from the span's first
    for (const SegmentFile& segment : segments) {
        AvFormatInputPtr part = openPart(segment.path, error);
        if (!part) return false;
        const AVRational timeBase = part->streams[0]->time_base;
        const FrameRange& own = segment.description.frames;
        std::int64_t expected = 0;  // from the part's first
        int result = 0;
        while ((result = av_read_frame(part.get(), packet.get())) >= 0) {
            if (cancel != nullptr && cancel->load()) {
                error = "interrupted; nothing was written";
                return false;
            }
            // Each part counts its frames from 0; Matroska keeps milliseconds, so each frame's
            // number is the nearest.
            const std::int64_t number =
                packet->pts == AV_NOPTS_VALUE
                    ? -1
                    : av_rescale_q_rnd(packet->pts, timeBase, {1, whole.fps}, AV_ROUND_NEAR_INF);
            if (number != expected || (expected == 0 && (packet->flags & AV_PKT_FLAG_KEY) == 0) ||
                own.first + expected >= own.end) {
                error = named(segment.path) + " is damaged: its frame " + std::to_string(expected) +
                        (expected == 0 ? " is not where a segment starts" : " is missing or out of order");
                av_packet_unref(packet.get());
                return false;
            }
            const int count = soundFrames[static_cast<std::size_t>(frame)];
            if (!writer->writeSound(sound.data() + soundAt, count, error)) return false;
            soundAt += static_cast<std::size_t>(count) * kCaptureChannels;
            packet->pts = packet->dts = frame;
            packet->duration = 1;
            packet->pos = -1;
            const bool written = writer->writeVideo(*packet, error);
            av_packet_unref(packet.get());
            if (!written) return false;
            ++expected;
            ++frame;
        }
        if (result != AVERROR_EOF) {
            error = "cannot read " + named(segment.path) + ": " + avErrorText(result);
            return false;
        }
        if (own.first + expected != own.end) {
            error = named(segment.path) + " is incomplete: it holds " + std::to_string(expected) + " of its " +
                    std::to_string(own.end - own.first) + " frames";
            return false;
        }
    }
    return writer->finish(error);
}

CaptureResult runJoin(const CaptureOptions& options) {
    CaptureResult result;
    const auto start = std::chrono::steady_clock::now();
    std::vector<SegmentFile> segments;
    if (!readSegments(options.joinParts, segments, result.error)) return result;
    const SegmentDescription& whole = segments.front().description;
    const fs::path dataDir = fs::absolute(options.dataDir);
    if (showIdentity(dataDir) != whole.show) {
        result.error = "the show in " + options.dataDir.string() +
                       " is not the one the segments were rendered from (other data or another version of the program)";
        return result;
    }
    const fs::path output = fs::absolute(options.output);
    const UndrawnRun music =
        runUndrawn(dataDir, whole.width, whole.height, whole.fps, whole.whole, true, options.cancel);
    if (!music.ok) {
        result.cancelled = music.cancelled;
        result.error = music.error;
        return result;
    }
    if (!joinSegments(segments, music.sound, music.soundFrames, output, options.kind, result.error, options.cancel)) {
        result.cancelled = options.cancel != nullptr && options.cancel->load();
        return result;
    }
    result.ok = true;
    result.frames = whole.whole.end - whole.whole.first;
    result.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}
