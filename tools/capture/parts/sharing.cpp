#include "tools/capture/parts/sharing.h"

#include <algorithm>
#include <thread>

namespace {

// A worker costs a start and a run up to its first frame (about a second together); below
// this much of the show a segment would spend more on that than it saves.
constexpr std::int64_t kLeastSecondsAJob = 5;

}  // namespace

int captureJobs(const CaptureOptions& options, std::int64_t frames) {
    if (options.segment || options.renderOnly || frames <= 1) return 1;
    if (options.jobs > 0) return static_cast<int>(std::min<std::int64_t>(options.jobs, frames));
    const auto cores = static_cast<std::int64_t>(std::max(1u, std::thread::hardware_concurrency()));
    const std::int64_t worth = frames / (kLeastSecondsAJob * options.fps);
    return static_cast<int>(std::max<std::int64_t>(1, std::min(cores, worth)));
}

bool planSharing(const CaptureOptions& options, Sharing& sharing, CaptureResult& failure) {
    sharing = Sharing{};
    sharing.whole = frameRangeOf(options);
    const FrameRange asked = sharing.whole;
    // Too few frames asked for to share: no need to find where the show ends.
    if (captureJobs(options, asked.end == INT64_MAX ? INT64_MAX : asked.end - asked.first) <= 1) return true;
    sharing.run = runUndrawn(std::filesystem::absolute(options.dataDir), options.width, options.height, options.fps,
                             asked, isVideo(options.kind), options.cancel);
    if (!sharing.run.ok) {
        failure = sharing.run.failure();
        return false;
    }
    if (sharing.run.end <= asked.first) {
        failure = CaptureResult::failure(showEndsMessage(options, sharing.run.end));
        return false;
    }
    sharing.whole.end = sharing.run.end;
    sharing.jobs = captureJobs(options, sharing.whole.end - sharing.whole.first);
    return true;
}
