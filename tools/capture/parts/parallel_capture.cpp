#include "tools/capture/parts/parallel_capture.h"

#include <algorithm>
#include <chrono>

#include "demo/offscreen_show.h"
#include "gfx/renderer.h"
#include "tools/capture/parts/part_outputs.h"
#include "tools/capture/parts/worker_processes.h"
#include "tools/capture/plan/numbers.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::int64_t kPartsAJob = 4;
constexpr std::int64_t kLeastSecondsAPart = 2;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Scenes differ in cost several times over; more parts than workers keep them all busy.
int partCount(const Sharing& sharing, int fps) {
    const std::int64_t frames = sharing.whole.end - sharing.whole.first;
    return static_cast<int>(std::max<std::int64_t>(
        sharing.jobs,
        std::min<std::int64_t>(std::int64_t{sharing.jobs} * kPartsAJob, frames / (kLeastSecondsAPart * fps))));
}

// The command line of the worker that renders part `part` of `parts` of `whole` to `output`:
// every option that changes a frame's pixels must reach the workers, or their parts differ
// from a capture in one piece.
std::vector<std::string> workerArguments(const CaptureOptions& options, const FrameRange& whole, int part, int parts,
                                         const fs::path& output) {
    std::vector<std::string> arguments = {"--segment",     std::to_string(part) + "/" + std::to_string(parts),
                                          "--output",      output.string(),
                                          "--fps",         std::to_string(options.fps),
                                          "--size",        sizeText(options.width, options.height),
                                          "--supersample", std::to_string(options.supersample),
                                          "--renderer",    gfx::rendererName(options.renderer),
                                          "--to",          std::to_string(tickOfFrame(whole.end, options.fps)),
                                          "--data",        fs::absolute(options.dataDir).string(),
                                          "--quiet",       "--report-frames"};
    if (whole.first > 0)
        arguments.insert(arguments.end(), {"--from", std::to_string(tickOfFrame(whole.first, options.fps))});
    return arguments;
}

// The progress of the parts together: frames done by all workers, as the span's first ones.
class SharedProgress {
public:
    SharedProgress(const CaptureOptions& options, const FrameRange& whole) : options_(options), whole_(whole) {
        progress_.fps = options.fps;
        progress_.framesTotal = whole.end - whole.first;
        progress_.endTick = tickOfFrame(whole.end, options.fps);
    }

    void report(std::int64_t done, double seconds, bool finished = false) {
        if (!options_.progress) return;
        progress_.framesDone = done;
        progress_.showTick = tickOfFrame(whole_.first + done - (finished ? 1 : 0), options_.fps);
        progress_.wallSeconds = seconds;
        progress_.finished = finished;
        options_.progress(progress_);
    }

private:
    const CaptureOptions& options_;
    const FrameRange whole_;
    CaptureProgress progress_;
};

}  // namespace

CaptureResult runParallelCapture(const CaptureOptions& options, const Sharing& sharing, const fs::path& program) {
    const Clock::time_point start = Clock::now();
    // An output that cannot be written fails before anything is rendered.
    PartOutputs outputs(fs::absolute(options.output), options.kind);
    std::string error;
    if (!outputs.open(error)) return CaptureResult::failure(error);

    const int count = partCount(sharing, options.fps);
    std::vector<std::vector<std::string>> arguments;
    for (int part = 1; part <= count; ++part)
        arguments.push_back(workerArguments(options, sharing.whole, part, count, outputs.partPath(part)));
    WorkerProcesses workers;
    if (!workers.start(program, arguments, sharing.jobs, error)) return CaptureResult::failure(error);
    SharedProgress progress(options, sharing.whole);
    const WorkerProcesses::Outcome outcome =
        workers.wait(options.cancel, [&](std::int64_t done) { progress.report(done, secondsSince(start)); });
    if (outcome.cancelled) return CaptureResult::interrupted();
    if (!outcome.ok)
        return CaptureResult::failure("segment " + std::to_string(outcome.failed + 1) + " of " + std::to_string(count) +
                                      " failed: " + outcome.error);

    if (!outputs.putInPlace(count, sharing.run, sharing.whole.end - 1, error, options.cancel)) {
        CaptureResult result = CaptureResult::failure(error);
        result.cancelled = isVideo(options.kind) && options.cancelled();
        return result;
    }
    CaptureResult result;
    result.ok = true;
    result.frames = sharing.whole.end - sharing.whole.first;
    result.wallSeconds = secondsSince(start);
    progress.report(result.frames, result.wallSeconds, true);
    return result;
}
