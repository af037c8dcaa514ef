#include "bench/supersample_cost.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/report.h"
#include "tools/capture/plan/limits.h"
#include "tools/capture/render/capture.h"

namespace {

struct Span {
    const char* name;
    std::int64_t fromMs;
};

// The heaviest frames (wide lines) and the lightest (spheres, whose edges show aliasing most).
constexpr Span kSpans[] = {{"the tower", 50000}, {"the ball rings", 72000}};
constexpr std::int64_t kSpanMs = 1000;

}  // namespace

bool printSupersampleCost(const OffscreenShowOptions& show, int fps, const std::string& format) {
    const auto output = std::filesystem::temp_directory_path() /
                        ("oyun-bench-supersample-" + std::to_string(::getpid()) + "." + format);
    CaptureOptions options;
    options.output = output;
    const auto kind = outputKindOf(output);
    options.kind = kind ? *kind : OutputKind::kMp4;
    options.fps = fps;
    options.width = show.width;
    options.height = show.height;
    options.dataDir = show.dataDir;
    options.quiet = true;

    std::printf("\nSupersampling, %dx%d to %s at %d fps, 1 s each of", show.width, show.height, format.c_str(), fps);
    for (const Span& span : kSpans)
        std::printf("%s %s (%lld ms)", &span == kSpans ? "" : " and", span.name, static_cast<long long>(span.fromMs));
    std::printf(":\n\n| N | drawn at | seconds | frames/s | cost |\n|---:|---|---:|---:|---:|\n");
    double baseSeconds = 0;
    for (int factor = 1; factor <= kMaxSupersample; ++factor) {
        if (static_cast<std::int64_t>(show.width) * factor > kMaxPictureSide ||
            static_cast<std::int64_t>(show.height) * factor > kMaxPictureSide)
            break;
        options.supersample = factor;
        double seconds = 0;
        std::int64_t frames = 0;
        for (const Span& span : kSpans) {
            options.fromMs = span.fromMs;
            options.toMs = span.fromMs + kSpanMs;
            const CaptureResult result = runCapture(options);
            std::error_code ec;
            std::filesystem::remove(output, ec);
            if (!result.ok) {
                base::report(base::Level::kError,
                             "the capture with --supersample " + std::to_string(factor) + " failed: " + result.error);
                return false;
            }
            // The seek before the span is the same at every factor and draws nothing.
            seconds += result.wallSeconds - result.seekSeconds;
            frames += result.frames;
        }
        if (factor == 1) baseSeconds = seconds;
        std::printf("| %d | %dx%d | %.1f | %.1f | %.2f× |\n", factor, show.width * factor, show.height * factor,
                    seconds, static_cast<double>(frames) / seconds, seconds / baseSeconds);
        std::fflush(stdout);
    }
    return true;
}
