// oyun in a web page: the show played from the page's Play button, again whenever asked, or,
// for tests, one frame drawn on the virtual clock (index.html?frame=MS, which the page passes
// as "--frame MS").
#include <cstdlib>
#include <cstring>
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

// "--frame MS": true with `ms` set; false for no such argument.
bool frameRequested(int argc, char** argv, std::uint32_t& ms, bool& valid) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frame") != 0) continue;
        char* end = nullptr;
        const char* text = i + 1 < argc ? argv[i + 1] : "";
        const unsigned long value = std::strtoul(text, &end, 10);
        valid = *text >= '0' && *text <= '9' && *end == '\0' && value <= 24UL * 60 * 60 * 1000;
        ms = static_cast<std::uint32_t>(value);
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    base::setProgramName("oyun");
    page::sendReportsToConsole();
    std::string error;
    if (!platform::browser::useGlyphFile("data/glyphs.bin", error)) base::report(base::Level::kWarning, error);
    // A browser has WebGL 2, which is OpenGL ES 3.0, and nothing with fixed-function drawing.
    gfx::useRenderer(gfx::RendererKind::kGles3);

    std::uint32_t ms = 0;
    bool valid = false;
    if (frameRequested(argc, argv, ms, valid)) {
        if (!valid) {
            base::report(base::Level::kError, "the frame must be a number of milliseconds, 0 to 86400000");
            page::tell("failed");
            return 2;
        }
        const int status = drawFrameAt(ms);
        page::tell(status == 0 ? "drawn" : "failed");
        return status;
    }
    playAgainAndAgain();
}
