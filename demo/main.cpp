// oyun: the show.
#include <string>

#include "base/command_line.h"
#include "base/report.h"
#include "base/startup_phases.h"
#include "demo/data_folder.h"
#include "demo/demo.h"
#include "gfx/renderer.h"
#include "platform/gl_context.h"
#include "platform/termination.h"
#include "platform/window.h"
#include "shell/renderer_option.h"

namespace {

constexpr const char* kFooter =
    "Without --data the show reads ./data, else the data of the build or installation it belongs to.\n"
    "Keys: Escape ends the show; W, S, A and D steer the camera in the third part; keypad 3 writes the\n"
    "camera to log.htm.\n"
    "Exit status: 0 when the music is over or the show is closed, 1 on a failure (also when the chosen\n"
    "renderer cannot start: gles3 needs an OpenGL ES 3.0 context), 2 for a wrong command line, 128 + n after\n"
    "signal n.";

// The show's music lasts 141 s; a later start is refused rather than ended at once.
constexpr std::uint32_t kLatestStart = 24 * 60 * 60 * 1000;

// --startup-phases: the phases on stderr, then the end of the run.
void reportStartupAndEnd(AppWindow* window) {
    base::reportStartupPhases();
    requestQuit(window);
}

}  // namespace

int main(int argc, char** argv) {
    base::markPhase("main");
    base::setProgramName("oyun");
    CLI::App app{
        "Oyun motorum: a two-minute real-time show drawn to its own music, full screen where the display "
        "allows it."};
    base::prepareCommandLine(app);
    std::string data;
    bool windowed = false;
    std::uint32_t fromMs = 0;
    bool noVsync = false;
    bool startupPhases = false;
    app.add_option("--data", data, "The folder of the show's pictures and music")->check(base::kNotAnOption);
    app.add_flag("--window", windowed, "Start in a window, without changing the display mode");
    app.add_option("--from", fromMs, "Start the show MS milliseconds in, picture and music in step")
        ->type_name("MS")
        ->check(CLI::Range(std::uint32_t{0}, kLatestStart));
    app.add_flag("--no-vsync", noVsync, "Draw as fast as possible, not in step with the display (for measuring)");
    app.add_flag("--startup-phases", startupPhases,
                 "Write when each start-up phase ended and end once the first frame is shown (for measuring)");
    gfx::RendererKind renderer = gfx::RendererKind::kGl11;
    addRendererOption(app, renderer);
    app.footer(kFooter);
    if (const auto status = base::parseCommandLine(app, argc, argv)) return *status;

    const DataSearch search = findDataFolder(data, runningProgram());
    if (!search.folder) {
        base::report(base::Level::kError, missingDataMessage(search));
        return 1;
    }
    gfx::useRenderer(renderer);
    platform::watchTerminationSignals();
    if (!platform::openDisplay()) return 1;
    base::markPhase("display");
    platform::setVsyncWanted(!noVsync);

    ShowOptions options;
    options.dataFolder = search.folder->string();
    options.fromMs = fromMs;
    useShowOptions(options);
    ShellSettings settings = showShellSettings();
    if (windowed) settings.fullScreen = 0;
    if (startupPhases) settings.callbacks.firstFrameShown = reportStartupAndEnd;
    const int status = runShell(platform::currentInstance(), settings);
    if (platform::terminationSignal() != 0) return 128 + platform::terminationSignal();
    return status == 0 ? 0 : 1;
}
