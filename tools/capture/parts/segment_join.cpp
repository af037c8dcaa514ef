#include "tools/capture/parts/segment_join.h"

#include <chrono>

#include "base/av_util.h"
#include "tools/capture/output/media_writer.h"
#include "tools/capture/parts/show_identity.h"
#include "tools/capture/render/undrawn_run.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mathematics.h>
}

namespace fs = std::filesystem;

namespace {

// The pictures of the first part are what `kind` takes.
bool takesCodec(const SegmentFile& first, AVCodecID codec, OutputKind kind, std::string& error) {
    const bool wantsVp9 = kind == OutputKind::kWebM;
    if (codec == (wantsVp9 ? AV_CODEC_ID_VP9 : AV_CODEC_ID_H264)) return true;
    error = first.path.string() + " holds " + (codec == AV_CODEC_ID_VP9 ? "VP9" : avcodec_get_name(codec)) + "; " +
            (wantsVp9 ? "a .webm takes VP9 segments (render them to .webm)"
                      : "an .mp4 or .mkv takes H.264 segments (render them to .mkv)");
    return false;
}

// Copies the pictures of one part, each with its frame's sound, numbering them on from `frame`.
class PartCopier {
public:
    PartCopier(PacketWriter& writer, const std::vector<std::int16_t>& sound, const std::vector<int>& soundFrames,
               int fps, const std::atomic<bool>* cancel)
        : writer_(writer), sound_(sound), soundFrames_(soundFrames), fps_(fps), cancel_(cancel) {}

    bool copy(const SegmentFile& segment, std::string& error) {
        AvFormatInputPtr part = openSegment(segment.path, error);
        if (!part) return false;
        AvPacketPtr packet(av_packet_alloc());
        if (!packet) {
            error = "out of memory while joining";
            return false;
        }
        const FrameRange& own = segment.description.frames;
        std::int64_t expected = 0;  // from the part's first
        int result = 0;
        while ((result = av_read_frame(part.get(), packet.get())) >= 0) {
            const bool copied = copyPacket(segment, part->streams[0]->time_base, expected, *packet, error);
            av_packet_unref(packet.get());
            if (!copied) return false;
            ++expected;
        }
        if (result != AVERROR_EOF) {
            error = "cannot read " + segment.path.string() + ": " + avErrorText(result);
            return false;
        }
        if (own.first + expected == own.end) return true;
        error = segment.path.string() + " is incomplete: it holds " + std::to_string(expected) + " of its " +
                std::to_string(own.end - own.first) + " frames";
        return false;
    }

private:
    bool copyPacket(const SegmentFile& segment, AVRational timeBase, std::int64_t expected, AVPacket& packet,
                    std::string& error) {
        if (cancel_ != nullptr && cancel_->load()) {
            error = kInterrupted;
            return false;
        }
        // Each part counts its frames from 0; Matroska keeps milliseconds, so each frame's
        // number is the nearest.
        const std::int64_t number =
            packet.pts == AV_NOPTS_VALUE ? -1 : av_rescale_q_rnd(packet.pts, timeBase, {1, fps_}, AV_ROUND_NEAR_INF);
        const FrameRange& own = segment.description.frames;
        if (number != expected || (expected == 0 && (packet.flags & AV_PKT_FLAG_KEY) == 0) ||
            own.first + expected >= own.end) {
            error = segment.path.string() + " is damaged: its frame " + std::to_string(expected) +
                    (expected == 0 ? " is not where a segment starts" : " is missing or out of order");
            return false;
        }
        const int count = soundFrames_[static_cast<std::size_t>(frame_)];
        if (!writer_.writeSound(sound_.data() + soundAt_, count, error)) return false;
        soundAt_ += static_cast<std::size_t>(count) * kCaptureChannels;
        packet.pts = packet.dts = frame_++;
        packet.duration = 1;
        packet.pos = -1;
        return writer_.writeVideo(packet, error);
    }

    PacketWriter& writer_;
    const std::vector<std::int16_t>& sound_;
    const std::vector<int>& soundFrames_;
    const int fps_;
    const std::atomic<bool>* cancel_;
    std::size_t soundAt_ = 0;
    std::int64_t frame_ = 0;  // from the span's first
};

}  // namespace

bool joinSegments(const std::vector<SegmentFile>& segments, const std::vector<std::int16_t>& sound,
                  const std::vector<int>& soundFrames, const fs::path& output, OutputKind kind, std::string& error,
                  const std::atomic<bool>* cancel) {
    const SegmentDescription& whole = segments.front().description;
    AvFormatInputPtr first = openSegment(segments.front().path, error);
    if (!first || !takesCodec(segments.front(), first->streams[0]->codecpar->codec_id, kind, error)) return false;
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
    PartCopier copier(*writer, sound, soundFrames, whole.fps, cancel);
    for (const SegmentFile& segment : segments)
        if (!copier.copy(segment, error)) return false;
    return writer->finish(error);
}

CaptureResult runJoin(const CaptureOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<SegmentFile> segments;
    std::string error;
    if (!readSegments(options.joinParts, segments, error)) return CaptureResult::failure(error);
    const SegmentDescription& whole = segments.front().description;
    const fs::path dataDir = fs::absolute(options.dataDir);
    if (showIdentity(dataDir) != whole.show)
        return CaptureResult::failure(
            "the show in " + options.dataDir.string() +
            " is not the one the segments were rendered from (other data or another version of the program)");
    const fs::path output = fs::absolute(options.output);
    const UndrawnRun music =
        runUndrawn(dataDir, whole.width, whole.height, whole.fps, whole.whole, true, options.cancel);
    if (!music.ok) return music.failure();
    CaptureResult result;
    if (!joinSegments(segments, music.sound, music.soundFrames, output, options.kind, result.error, options.cancel)) {
        result.cancelled = options.cancelled();
        return result;
    }
    result.ok = true;
    result.frames = whole.whole.end - whole.whole.first;
    result.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}
