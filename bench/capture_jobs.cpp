#include "bench/capture_jobs.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <system_error>

#include "base/report.h"

namespace fs = std::filesystem;

namespace {

// Runs the capture as a user would; its wall time in seconds, or a negative number when it fails.
double timeCapture(const CaptureJobsSpan& span, int jobs, const fs::path& output) {
    std::vector<std::string> words = {span.program.string(),
                                      "--data",
                                      span.dataDir.string(),
                                      "--size",
                                      std::to_string(span.width) + "x" + std::to_string(span.height),
                                      "--fps",
                                      std::to_string(span.fps),
                                      "--from",
                                      std::to_string(span.fromMs),
                                      "--to",
                                      std::to_string(span.toMs),
                                      "--jobs",
                                      std::to_string(jobs),
                                      "--output",
                                      output.string(),
                                      "--quiet"};
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

bool printCaptureJobs(const CaptureJobsSpan& span, const std::vector<int>& jobs) {
    const std::int64_t frames = (static_cast<std::int64_t>(span.toMs) * span.fps + 999) / 1000 -
                                (static_cast<std::int64_t>(span.fromMs) * span.fps + 999) / 1000;
    std::printf("\nCapture to %s of %d to %d ms at %d fps, %dx%d, about %lld frames (the show may end earlier):\n\n",
                span.format.c_str(), span.fromMs, span.toMs, span.fps, span.width, span.height,
                static_cast<long long>(frames));
    std::printf("| jobs | wall s | frames/s | speed-up |\n|---:|---:|---:|---:|\n");
    std::fflush(stdout);
    const fs::path output =
        fs::temp_directory_path() / ("oyun-bench-jobs-" + std::to_string(::getpid()) + "." + span.format);
    double first = 0;
    for (const int count : jobs) {
        const double seconds = timeCapture(span, count, output);
        std::error_code ignored;
        fs::remove(output, ignored);
        if (seconds < 0) {
            base::report(base::Level::kError, "the capture with --jobs " + std::to_string(count) + " failed");
            return false;
        }
        if (first == 0) first = seconds;
        std::printf("| %d | %.1f | %.1f | %.2f |\n", count, seconds, static_cast<double>(frames) / seconds,
                    first / seconds);
        std::fflush(stdout);
    }
    return true;
}
