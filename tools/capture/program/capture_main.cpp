// oyun-capture: the show written to a video file or PNG frames, rendered offscreen on a
// virtual clock at a fixed frame rate, with the music in step.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/report.h"
#include "demo/data_folder.h"
#include "tools/capture/plan/frames.h"
#include "tools/capture/program/command_line.h"
#include "tools/capture/program/dispatch.h"
#include "tools/capture/program/progress_bar.h"

// The show's sound system opens the audio device while globals are constructed, though a
// capture only ever pulls the mix itself: ask for the silent driver before that happens.
__attribute__((constructor(101))) static void useSilentAudioDevice() { setenv("SDL_AUDIODRIVER", "dummy", 1); }

namespace {

std::atomic<bool> cancelRequested{false};
volatile std::sig_atomic_t cancelSignal = 0;

extern "C" void onSignal(int signal) {
    cancelSignal = signal;
    cancelRequested.store(true);
}

// Installed before the show starts its window system, which then leaves them to us: a
// signal must cancel the capture, not end the show as if its music had run out.
void catchSignals() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;  // a second signal ends the program at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    base::setProgramName("oyun-capture");
    CaptureOptions options;
    CaptureCommandLine commandLine;
    if (const auto status = commandLine.parse(argc, argv, options)) return *status;
    if (const std::string warning = animationStepWarning(options.fps); !warning.empty())
        base::reportf(base::Level::kWarning, "%s", warning.c_str());
    if (options.dataDir.empty()) {
        const DataSearch search = findDataFolder("", runningProgram());
        if (!search.folder) {
            base::report(base::Level::kError, missingDataMessage(search));
            return 1;
        }
        options.dataDir = *search.folder;
    }

    catchSignals();
    // Past a file size limit (ulimit -f) writes then fail with EFBIG, and the capture ends as
    // on a full disk, tidily, instead of being killed with its temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    options.cancel = &cancelRequested;
    ProgressBar bar(stderr);
    if (options.reportFrames)
        options.progress = [](const CaptureProgress& progress) {
            std::printf("frames %lld\n", static_cast<long long>(progress.framesDone));
            std::fflush(stdout);
        };
    else if (!options.quiet && isatty(STDERR_FILENO) == 1)
        options.progress = [&bar](const CaptureProgress& progress) { bar.show(progress); };

    const CaptureResult result = runAskedCapture(options);
    bar.end();
    if (result.wrongArguments) return commandLine.usageError(result.error);
    if (!result.ok) {
        base::report(base::Level::kError, result.error);
        return result.cancelled ? 128 + static_cast<int>(cancelSignal) : 1;
    }
    if (!options.quiet && !options.progress)
        base::reportf(base::Level::kInfo, "wrote %lld frames to %s", static_cast<long long>(result.frames),
                      options.output.c_str());
    return 0;
}
