#include "tools/capture/parallel_capture.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "base/report.h"
#include "tools/capture/frame_writer.h"
#include "tools/capture/segment_join.h"
#include "tools/capture/staged_output.h"
#include "tools/capture/undrawn_run.h"
#include "tools/capture/worker_processes.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// A worker costs a start and a run up to its first frame (about a second together); below
// this much of the show a segment would spend more on that than it saves.
constexpr std::int64_t kLeastSecondsAJob = 5;
constexpr std::int64_t kPartsAJob = 4;
constexpr std::int64_t kLeastSecondsAPart = 2;

// A hidden folder for the parts, gone with this object.
class PartsFolder {
public:
    static std::unique_ptr<PartsFolder> make(const fs::path& inside, const fs::path& shownAs, std::string& error) {
        std::string pattern = (inside / ".oyun-capture-parts-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            error = "cannot write " + shownAs.string() + ": " + errnoText(errno);
            return nullptr;
        }
        return std::unique_ptr<PartsFolder>(new PartsFolder(pattern));
    }
    ~PartsFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    PartsFolder(const PartsFolder&) = delete;
    PartsFolder& operator=(const PartsFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    explicit PartsFolder(fs::path path) : path_(std::move(path)) {}
    fs::path path_;
};

std::string partName(int part, OutputKind kind) {
    const std::string name = "part-" + std::to_string(part);
    if (kind == OutputKind::kWebM) return name + ".webm";
    if (isVideo(kind)) return name + ".mkv";
    return name + "/";
}

std::vector<std::string> workerArguments(const CaptureOptions& options, const FrameRange& whole, int part, int parts,
                                         const fs::path& output, const fs::path& dataDir) {
    std::vector<std::string> arguments = {
        "--segment",     std::to_string(part) + "/" + std::to_string(parts),
        "--output",      output.string(),
        "--fps",         std::to_string(options.fps),
        "--size",        std::to_string(options.width) + "x" + std::to_string(options.height),
        "--supersample", std::to_string(options.supersample),
        "--to",          std::to_string(tickOfFrame(whole.end, options.fps)),
        "--data",        dataDir.string(),
        "--quiet",       "--report-frames"};
    if (whole.first > 0)
        arguments.insert(arguments.end(), {"--from", std::to_string(tickOfFrame(whole.first, options.fps))});
    return arguments;
}

// Moves each worker's PNG frames into the staged folder and puts them in place.
bool gatherFrames(const fs::path& parts, int count, StagedFolder& folder, const fs::path& target, std::int64_t last,
                  std::string& error) {
    std::vector<std::string> names;
    for (int part = 1; part <= count; ++part) {
        std::error_code ec;
        for (auto entry = fs::directory_iterator(parts / partName(part, OutputKind::kPngFolder), ec);
             !ec && entry != fs::end(entry); entry.increment(ec)) {
            const std::string name = entry->path().filename().string();
            if (!pngFrameNumber(name)) continue;
            fs::rename(entry->path(), folder.staged(name), ec);
            if (ec) break;
            names.push_back(name);
        }
        if (ec) {
            error = "cannot gather the frames in " + target.string() + ": " + errnoText(ec.value());
            return false;
        }
    }
    if (!folder.commit(names, error)) return false;
    if (const std::string kept = removeFramesAfter(target, last); !kept.empty())
        base::report(base::Level::kWarning, kept);
    return true;
}

}  // namespace

int captureJobs(const CaptureOptions& options, std::int64_t frames) {
    if (options.segment || options.renderOnly || frames <= 1) return 1;
    if (options.jobs > 0) return static_cast<int>(std::min<std::int64_t>(options.jobs, frames));
    const auto cores = static_cast<std::int64_t>(std::max(1u, std::thread::hardware_concurrency()));
    const std::int64_t worth = frames / (kLeastSecondsAJob * options.fps);
    return static_cast<int>(std::max<std::int64_t>(1, std::min(cores, worth)));
}

CaptureResult runParallelCapture(const CaptureOptions& options, const fs::path& program) {
    CaptureResult result;
    auto fail = [&result](std::string error) {
        result.error = std::move(error);
        return result;
    };
    const Clock::time_point start = Clock::now();
    const fs::path output = fs::absolute(options.output);
    const fs::path dataDir = fs::absolute(options.dataDir);
    const bool video = isVideo(options.kind);

    // An output that cannot be written fails before anything is rendered.
    std::unique_ptr<StagedFolder> folder;
    std::unique_ptr<PartsFolder> parts;
    std::string error;
    if (video) {
        parts = PartsFolder::make(output.parent_path(), output, error);
    } else {
        folder = StagedFolder::create(output, error);
        if (folder) parts = PartsFolder::make(folder->staged(""), output, error);
    }
    if (!parts) return fail(error);

    FrameRange whole = frameRangeOf(options);
    const UndrawnRun run =
        runUndrawn(dataDir, options.width, options.height, options.fps, whole, video, options.cancel);
    if (!run.ok) {
        result.cancelled = run.cancelled;
        return fail(run.error);
    }
    if (run.end <= whole.first) {
        char end[32];
        std::snprintf(end, sizeof end, "%.3f s", tickOfFrame(run.end, options.fps) / 1000.0);
        return fail(std::string("the show ends at ") + end + ", before " + std::to_string(options.fromMs.value_or(0)) +
                    " ms");
    }
    whole.end = run.end;
    const std::int64_t frames = whole.end - whole.first;
    const int jobs = captureJobs(options, frames);
    if (jobs <= 1) {
        parts.reset();
        folder.reset();
        return runCapture(options);
    }

    // Scenes differ in cost several times over; more parts than workers keep them all busy.
    const int count = static_cast<int>(std::max<std::int64_t>(
        jobs, std::min<std::int64_t>(std::int64_t{jobs} * kPartsAJob, frames / (kLeastSecondsAPart * options.fps))));
    std::vector<std::vector<std::string>> arguments;
    std::vector<fs::path> partPaths;
    for (int part = 1; part <= count; ++part) {
        partPaths.push_back(parts->path() / partName(part, options.kind));
        arguments.push_back(workerArguments(options, whole, part, count, partPaths.back(), dataDir));
    }
    WorkerProcesses workers;
    if (!workers.start(program, arguments, jobs, error)) return fail(error);
    CaptureProgress progress;
    progress.fps = options.fps;
    progress.framesTotal = frames;
    progress.endTick = tickOfFrame(whole.end, options.fps);
    const WorkerProcesses::Outcome outcome = workers.wait(options.cancel, [&](std::int64_t done) {
        if (!options.progress) return;
        progress.framesDone = done;
        progress.showTick = tickOfFrame(whole.first + done, options.fps);
        progress.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        options.progress(progress);
    });
    if (outcome.cancelled) {
        result.cancelled = true;
        return fail("interrupted; nothing was written");
    }
    if (!outcome.ok)
        return fail("segment " + std::to_string(outcome.failed + 1) + " of " + std::to_string(count) +
                    " failed: " + outcome.error);

    if (video) {
        std::vector<SegmentFile> segments;
        if (!readSegments(partPaths, segments, error) ||
            !joinSegments(segments, run.sound, run.soundFrames, output, options.kind, error, options.cancel)) {
            result.cancelled = options.cancel != nullptr && options.cancel->load();
            return fail(error);
        }
    } else if (!gatherFrames(parts->path(), count, *folder, output, whole.end - 1, error)) {
        return fail(error);
    }
    result.ok = true;
    result.frames = frames;
    result.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (options.progress) {
        progress.framesDone = frames;
        progress.showTick = tickOfFrame(whole.end - 1, options.fps);
        progress.wallSeconds = result.wallSeconds;
        progress.finished = true;
        options.progress(progress);
    }
    return result;
}
