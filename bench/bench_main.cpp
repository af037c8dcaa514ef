// oyun-bench: per-scene frame times of the show rendered offscreen, the share of CPU time in
// the show's own code, and what writing a capture adds to rendering. Prints Markdown.
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include <unistd.h>

#include "base/report.h"
#include "bench/capture_overhead.h"
#include "bench/scene_timing.h"
#include "demo/offscreen_show.h"

namespace {

struct BenchOptions {
    int frames = 60;
    int fps = 60;
    // The capture's span of the show, its rate and its format (by extension).
    int captureFrom = 20000;
    int captureTo = 30000;
    int captureFps = 30;
    std::string captureFormat = "mp4";
    OffscreenShowOptions show{1024, 768, OYUN_DATA_DIR};
};

[[noreturn]] void usage(const char* message) {
    std::fprintf(
        stderr,
        "oyun-bench: %s\nusage: oyun-bench [--frames N] [--fps N] [--size WxH] [--data DIR] [--capture-from MS] "
        "[--capture-to MS] [--capture-fps N] [--capture-format mp4|mkv|webm]\n",
        message);
    std::exit(2);
}

int positive(const char* text, const char* what) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 1000000) usage((std::string("bad ") + what).c_str());
    return static_cast<int>(value);
}

BenchOptions parse(int argc, char** argv) {
    BenchOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) usage(("missing value after " + flag).c_str());
        const char* value = argv[++i];
        if (flag == "--frames") {
            options.frames = positive(value, "--frames");
        } else if (flag == "--fps") {
            options.fps = positive(value, "--fps");
        } else if (flag == "--capture-from") {
            options.captureFrom = positive(value, "--capture-from");
        } else if (flag == "--capture-to") {
            options.captureTo = positive(value, "--capture-to");
        } else if (flag == "--capture-fps") {
            options.captureFps = positive(value, "--capture-fps");
        } else if (flag == "--capture-format") {
            options.captureFormat = value;
            if (options.captureFormat != "mp4" && options.captureFormat != "mkv" && options.captureFormat != "webm")
                usage("--capture-format is mp4, mkv or webm");
        } else if (flag == "--data") {
            options.show.dataDir = value;
        } else if (flag == "--size") {
            int w = 0;
            int h = 0;
            char tail = 0;
            if (std::sscanf(value, "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1) usage("bad --size");
            options.show.width = w;
            options.show.height = h;
        } else {
            usage(("unknown option " + flag).c_str());
        }
    }
    return options;
}

std::string cpuModel() {
    std::ifstream info("/proc/cpuinfo");
    for (std::string line; std::getline(info, line);)
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown CPU";
}

const char* glString(GLenum name) {
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text != nullptr ? text : "?";
}

}  // namespace

int main(int argc, char** argv) {
    base::setProgramName("oyun-bench");
    const BenchOptions options = parse(argc, argv);
    // The clock a show reads is virtual; paths must be resolved before it changes folder.
    OffscreenShowOptions showOptions = options.show;
    showOptions.dataDir = std::filesystem::absolute(showOptions.dataDir);
    std::string error;
    auto show = OffscreenShow::open(showOptions, error);
    if (!show) {
        base::report(base::Level::kError, error);
        return 1;
    }
    std::printf("Machine: %s, %u hardware threads; %s, OpenGL %s\n\n", cpuModel().c_str(),
                std::thread::hardware_concurrency(), glString(GL_RENDERER), glString(GL_VERSION));
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
    show.reset();

    if (options.captureTo <= options.captureFrom) usage("--capture-to must come after --capture-from");
    const auto video = std::filesystem::temp_directory_path() /
                       ("oyun-bench-" + std::to_string(::getpid()) + "." + options.captureFormat);
    const CaptureOverhead cost =
        measureCaptureOverhead(showOptions.dataDir, video, showOptions.width, showOptions.height, options.captureFps,
                               options.captureFrom, options.captureTo);
    if (!cost.ok) {
        base::report(base::Level::kError, "the capture failed: " + cost.error);
        return 1;
    }
    std::printf(
        "\nCapture to %s, %lld frames at %d fps from %d to %d ms: rendering alone %.1f s, capturing %.1f s, "
        "overhead %.1f %%\n",
        options.captureFormat.c_str(), static_cast<long long>(cost.frames), options.captureFps, options.captureFrom,
        options.captureTo, cost.renderSeconds, cost.captureSeconds, 100.0 * cost.overhead());
    return 0;
}
