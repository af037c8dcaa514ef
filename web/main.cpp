// oyun in a web page: the show played from the page's Play button, again whenever asked, or,
// for tests, one frame drawn on the virtual clock (index.html?frame=MS[&repeat=N], which the
// page passes as "--frame MS [--repeat N]").
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "base/report.h"
#include "demo/demo.h"
#include "demo/timeline.h"
#include "gfx/renderer.h"
#include "platform/browser.h"
#include "platform/window.h"
#include "web/frame_mode.h"
#include "web/page_bridge.h"

namespace {

void updateAndNote(std::uint32_t milliseconds) {
    updateDemo(milliseconds);
    page::noteFrame(elapsedShowTime());
}

void tellPlaying(AppWindow*) { page::tell("playing"); }

// Played in the page, not full screen: the page's own button and F key ask for that.
[[noreturn]] void playAgainAndAgain() {
    for (;;) {
        // Every play the same show, as in a fresh run.
        seedDemoRandom(1);
        useShowOptions(ShowOptions{});
        ShellSettings settings = showShellSettings();
        settings.fullScreen = 0;
        settings.callbacks.update = updateAndNote;
        settings.callbacks.firstFrameShown = tellPlaying;
        const int status = runShell(platform::currentInstance(), settings);
        page::tell(status == 0 ? "ended" : "failed");
        page::waitForPlayAgain();
    }
}

// The number after `name` in the arguments: nullopt when there is no such option, -1 when
// what follows is not a number of 0 to `most`.
std::optional<long> numberAfter(int argc, char** argv, const char* name, long most) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) != 0) continue;
        const char* text = i + 1 < argc ? argv[i + 1] : "";
        char* end = nullptr;
        const long value = std::strtol(text, &end, 10);
        const bool valid = *text >= '0' && *text <= '9' && *end == '\0' && value <= most;
        return valid ? value : -1;
    }
    return std::nullopt;
}

// "--frame MS [--repeat N]": one frame for tests, or measured N times.
int drawOneFrame(long ms, std::optional<long> repeat) {
    if (ms < 0 || (repeat && *repeat < 0)) {
        base::report(base::Level::kError, "the frame must be 0 to 86400000 ms and the repeat count 0 to 1000");
        page::tell("failed");
        return 2;
    }
    double drawMs = 0.0;
    const int status = drawFrameAt(static_cast<std::uint32_t>(ms), static_cast<int>(repeat.value_or(0)), drawMs);
    if (status == 0 && repeat) page::noteDrawTime(drawMs);
    page::tell(status == 0 ? "drawn" : "failed");
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    base::setProgramName("oyun");
    page::sendReportsToConsole();
    std::string error;
    if (!platform::browser::useGlyphFile("data/glyphs.bin", error)) base::report(base::Level::kWarning, error);
    // A browser has WebGL 2, which is OpenGL ES 3.0, and nothing with fixed-function drawing.
    gfx::useRenderer(gfx::RendererKind::kGles3);

    if (const auto ms = numberAfter(argc, argv, "--frame", 24L * 60 * 60 * 1000))
        return drawOneFrame(*ms, numberAfter(argc, argv, "--repeat", 1000));
    playAgainAndAgain();
}
