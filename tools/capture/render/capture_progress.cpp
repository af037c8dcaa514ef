#include "tools/capture/render/capture_progress.h"

#include <algorithm>
#include <string>

#include "demo/offscreen_show.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressInterval = std::chrono::milliseconds(200);

// The music's length from its file, for the progress display only; 0 when unknown.
std::int64_t musicMilliseconds(const std::filesystem::path& dataDir) {
    AVFormatContext* context = nullptr;
    const std::string path = (dataDir / "music.wma").string();
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) return 0;
    std::int64_t milliseconds = 0;
    if (avformat_find_stream_info(context, nullptr) >= 0 && context->duration > 0)
        milliseconds = context->duration / (AV_TIME_BASE / 1000);
    avformat_close_input(&context);
    return milliseconds;
}

}  // namespace

CaptureProgressReport::CaptureProgressReport(const CaptureOptions& options, const FrameRange& range,
                                             const std::filesystem::path& dataDir)
    : options_(options), lastReport_(Clock::now()) {
    progress_.fps = options.fps;
    if (!options.progress) return;
    const bool bounded = range.end != INT64_MAX;
    const std::int64_t endMs = bounded ? tickOfFrame(range.end, options.fps) : musicMilliseconds(dataDir);
    progress_.endTick = static_cast<std::uint32_t>(endMs);
    if (bounded)
        progress_.framesTotal = range.end - range.first;
    else if (endMs > 0)
        progress_.framesTotal = std::max<std::int64_t>(0, firstFrameAtOrAfter(endMs, options.fps) - range.first);
}

void CaptureProgressReport::frame(bool seeking, std::int64_t framesDone, std::uint32_t tick, double seconds,
                                  double seekSeconds) {
    if (!options_.progress || Clock::now() - lastReport_ < kProgressInterval) return;
    lastReport_ = Clock::now();
    report(seeking, framesDone, tick, seconds - (seeking ? 0 : seekSeconds));
}

void CaptureProgressReport::finish(std::int64_t frames, std::uint32_t lastTick, double seconds) {
    if (!options_.progress) return;
    progress_.framesTotal = frames;
    progress_.finished = true;
    report(false, frames, lastTick, seconds);
}

void CaptureProgressReport::report(bool seeking, std::int64_t framesDone, std::uint32_t tick, double seconds) {
    progress_.seeking = seeking;
    progress_.framesDone = framesDone;
    progress_.showTick = tick;
    progress_.wallSeconds = seconds;
    options_.progress(progress_);
}
