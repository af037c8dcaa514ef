// oyun-bench: per-scene frame times of the show rendered offscreen, the share of CPU time in
// the show's own code, and what writing a capture adds to rendering. Prints Markdown.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "base/command_line.h"
#include "base/report.h"
#include "bench/capture_jobs.h"
#include "bench/capture_overhead.h"
#include "bench/drawing_paths.h"
#include "bench/renderer_comparison.h"
#include "bench/scene_timing.h"
#include "bench/startup_phases.h"
#include "bench/supersample_cost.h"
#include "demo/offscreen_show.h"
#include "gfx/gfx.h"

// The show's sound system opens the audio device while globals are constructed, though the
// bench only ever pulls the mix itself: ask for the silent driver before that happens.
__attribute__((constructor(101))) static void useSilentAudioDevice() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

namespace {

struct BenchOptions {
    int frames = 60;
    int fps = 60;
    // The capture's span of the show, its rate and its format (by extension).
    int captureFrom = 20000;
    int captureTo = 30000;
    int captureFps = 30;
    std::string captureFormat = "mp4";
    int startupRuns = 7;
    // The worker processes the capture's throughput is measured with; 1, 2 and the cores by default.
    std::vector<int> jobs;
    OffscreenShowOptions show{1024, 768, OYUN_DATA_DIR};
    // The parts to measure; all of them when empty.
    std::vector<std::string> only;
    // The renderers part: rounds taken in turns, and where to write the whole show's frame times.
    int rendererRounds = 2;
    std::string frameTimes;
    int chartFps = 10;

    bool wants(const std::string& part) const {
        return only.empty() || std::find(only.begin(), only.end(), part) != only.end();
    }
};

constexpr const char* kDescription =
    "Times each scene of the show rendered offscreen, says where the CPU time goes, and measures what writing "
    "a capture adds to rendering the same frames. Prints Markdown.";

constexpr const char* kFooter = "Exit status: 0 when measured, 1 on a failure, 2 for a wrong command line.";

// "WIDTHxHEIGHT", each side from 1 to 16384 as the offscreen show takes.
bool parseSize(const std::string& text, int& width, int& height) {
    int w = 0;
    int h = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > 16384 || h > 16384)
        return false;
    width = w;
    height = h;
    return true;
}

// Nothing when the bench should run; otherwise the exit status of an answered command line.
std::optional<int> parse(int argc, char** argv, BenchOptions& options) {
    CLI::App app{kDescription};
    base::prepareCommandLine(app);
    CLI::Validator positive = CLI::Range(1, 1000000);
    positive.description("");
    std::string size;
    std::string data;
    app.add_option("--frames", options.frames, "Frames timed from each scene, default 60")
        ->type_name("N")
        ->check(positive);
    app.add_option("--fps", options.fps, "The rate of the timed frames, default 60")->type_name("N")->check(positive);
    app.add_option("--size", size, "The client size, default 1024x768")
        ->type_name("WxH")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                int width = 0;
                int height = 0;
                return parseSize(text, width, height) ? "" : "takes WIDTHxHEIGHT, each from 1 to 16384";
            },
            "", ""));
    app.add_option("--data", data, "The folder of the show's pictures and music, default the build's")
        ->type_name("DIR")
        ->check(base::kNotAnOption);
    app.add_option("--capture-from", options.captureFrom, "Start of the captured span, default 20000")
        ->type_name("MS")
        ->check(CLI::Range(0, 1000000));
    app.add_option("--capture-to", options.captureTo, "End of the captured span, default 30000")
        ->type_name("MS")
        ->check(positive);
    app.add_option("--capture-fps", options.captureFps, "The capture's frame rate, default 30")
        ->type_name("N")
        ->check(positive);
    app.add_option("--capture-format", options.captureFormat, "mp4, mkv or webm, default mp4")
        ->type_name("FORMAT")
        ->check(CLI::IsMember({"mp4", "mkv", "webm"}));
    app.add_option("--jobs", options.jobs, "Worker processes to time the capture with, default 1,2,CORES")
        ->type_name("N")
        ->delimiter(',')
        ->check(CLI::Range(1, 256));
    app.add_option("--startup-runs", options.startupRuns, "Launches of the show timed from its start, default 7")
        ->type_name("N")
        ->check(positive);
    app.add_option("--rounds", options.rendererRounds,
                   "Rounds of the renderers part, each renderer in turn per scene, default 2")
        ->type_name("N")
        ->check(positive);
    app.add_option("--frame-times", options.frameTimes,
                   "With the renderers part: every frame's time across the whole show for both renderers, to FILE")
        ->type_name("FILE")
        ->check(base::kNotAnOption);
    app.add_option("--chart-fps", options.chartFps, "The rate of the whole show's frames for --frame-times, default 10")
        ->type_name("N")
        ->check(positive);
    app.add_option("--only", options.only,
                   "Measure only these parts: scenes, capture, jobs, supersample, startup, drawing, renderers")
        ->type_name("PART")
        ->delimiter(',')
        ->check(CLI::IsMember({"scenes", "capture", "jobs", "supersample", "startup", "drawing", "renderers"}));
    app.footer(kFooter);
    if (const auto status = base::parseCommandLine(app, argc, argv)) return status;
    if (!size.empty()) parseSize(size, options.show.width, options.show.height);
    if (!data.empty()) options.show.dataDir = data;
    if (options.captureTo <= options.captureFrom)
        return base::usageError(app, "--capture-to must come after --capture-from");
    return std::nullopt;
}

std::string cpuModel() {
    std::ifstream info("/proc/cpuinfo");
    for (std::string line; std::getline(info, line);)
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown CPU";
}

const char* glString(gfx::Enum name) {
    const auto* text = reinterpret_cast<const char*>(gfx::getString(name));
    return text != nullptr ? text : "?";
}

// Per-scene frame times and where the CPU time goes.
bool timeScenesOf(const BenchOptions& options, const OffscreenShowOptions& showOptions) {
    std::string error;
    auto show = OffscreenShow::open(showOptions, error);
    if (!show) {
        base::report(base::Level::kError, error);
        return false;
    }
    std::printf("%s, OpenGL %s\n\n", glString(gfx::kRenderer), glString(gfx::kVersion));
    std::printf("%d frames at %d fps from each span, %dx%d client\n\n", options.frames, options.fps, showOptions.width,
                showOptions.height);
    std::printf(
        "| scene | median ms | 95th percentile ms | show's own code | GLU | GL driver and libraries | CPU samples "
        "|\n|---|---:|---:|---:|---:|---:|---:|\n");
    for (const SceneTiming& timing : timeScenes(*show, options.frames, options.fps)) {
        const CpuSamples& s = timing.samples;
        std::printf("| %s | %.1f | %.1f | %.1f %% | %.1f %% | %.1f %% | %llu |\n", timing.name.c_str(), timing.median(),
                    timing.percentile95(), 100.0 * s.share(s.own), 100.0 * s.share(s.glu), 100.0 * s.share(s.other),
                    static_cast<unsigned long long>(s.total()));
        std::fflush(stdout);
    }
    return true;
}

// What writing a capture adds to rendering the same frames.
bool measureCapture(const BenchOptions& options, const OffscreenShowOptions& showOptions) {
    const auto video = std::filesystem::temp_directory_path() /
                       ("oyun-bench-" + std::to_string(::getpid()) + "." + options.captureFormat);
    const CaptureOverhead cost =
        measureCaptureOverhead(showOptions.dataDir, video, showOptions.width, showOptions.height, options.captureFps,
                               options.captureFrom, options.captureTo);
    if (!cost.ok) {
        base::report(base::Level::kError, "the capture failed: " + cost.error);
        return false;
    }
    std::printf(
        "\nCapture to %s, %lld frames at %d fps from %d to %d ms: rendering alone %.1f s, capturing %.1f s, "
        "overhead %.1f %%\n",
        options.captureFormat.c_str(), static_cast<long long>(cost.frames), options.captureFps, options.captureFrom,
        options.captureTo, cost.renderSeconds, cost.captureSeconds, 100.0 * cost.overhead());
    return true;
}

// Capture throughput with 1, 2 and as many workers as cores (or --jobs).
bool measureCaptureJobs(const BenchOptions& options, const OffscreenShowOptions& showOptions) {
    std::vector<int> jobs = options.jobs;
    if (jobs.empty()) {
        jobs = {1, 2};
        if (const int cores = static_cast<int>(std::thread::hardware_concurrency()); cores > 2) jobs.push_back(cores);
    }
    const CaptureJobsSpan span{OYUN_CAPTURE_PROGRAM, showOptions.dataDir, showOptions.width, showOptions.height,
                               options.captureFps,   options.captureFrom, options.captureTo, options.captureFormat};
    return printCaptureJobs(span, jobs);
}

}  // namespace

int main(int argc, char** argv) {
    base::setProgramName("oyun-bench");
    BenchOptions options;
    if (const auto status = parse(argc, argv, options)) return *status;
    // The clock a show reads is virtual; paths must be resolved before it changes folder.
    OffscreenShowOptions showOptions = options.show;
    showOptions.dataDir = std::filesystem::absolute(showOptions.dataDir);
    std::printf("Machine: %s, %u hardware threads\n\n", cpuModel().c_str(), std::thread::hardware_concurrency());
    if (options.wants("scenes") && !timeScenesOf(options, showOptions)) return 1;
    if (options.wants("capture") && !measureCapture(options, showOptions)) return 1;
    if (options.wants("jobs") && !measureCaptureJobs(options, showOptions)) return 1;
    if (options.wants("startup") && !measureStartup(OYUN_PROGRAM, showOptions.dataDir, options.startupRuns)) return 1;
    if (options.wants("supersample") && !printSupersampleCost(showOptions, options.captureFps, options.captureFormat))
        return 1;
    if (options.wants("drawing") && !measureDrawingPaths(showOptions, options.frames, options.fps)) return 1;
    if (options.wants("renderers") && !compareRenderers(showOptions, options.frames, options.fps,
                                                        options.rendererRounds, options.frameTimes, options.chartFps))
        return 1;
    return 0;
}
