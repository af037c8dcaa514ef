#include "web/frame_mode.h"

#include <emscripten.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/report.h"
#include "demo/offscreen_show.h"
#include "gfx/gfx.h"
#include "sound/sound_library.h"
#include "sound/sound_system.h"

namespace {

constexpr int kFps = 50;  // oyun-capture's default rate, whose frames --frame picks among

// Kept for the rest of the page's life: its canvas holds the frame.
std::unique_ptr<OffscreenShow> show;

// The sound a frame carries, pulled as a capture pulls it, so that the music ends where it does.
void pullSoundOf(std::int64_t frame) {
    const auto first = frame * kSoundMixRate / kFps;
    const auto next = (frame + 1) * kSoundMixRate / kFps;
    static std::vector<std::int16_t> dropped;
    dropped.resize(static_cast<std::size_t>(next - first) * 2);
    sound::pullFrames(dropped.data(), static_cast<int>(next - first));
}

// Reading a pixel back waits for the drawing to be done.
double medianDrawMs(int repeat) {
    std::vector<double> times;
    for (int i = 0; i < repeat; ++i) {
        const double start = emscripten_get_now();
        show->draw();
        std::uint8_t pixel[4];
        gfx::readPixels(0, 0, 1, 1, gfx::kRgba, gfx::kUnsignedByte, pixel);
        times.push_back(emscripten_get_now() - start);
    }
    std::sort(times.begin(), times.end());
    return times.empty() ? 0.0 : times[times.size() / 2];
}

}  // namespace

int drawFrameAt(std::uint32_t ms, int repeat, double& drawMs) {
    OffscreenShowOptions options;
    options.width = 1024;
    options.height = 768;
    options.dataDir = "data";
    options.renderer = gfx::RendererKind::kGles3;
    std::string error;
    show = OffscreenShow::open(options, error);
    if (!show) {
        base::report(base::Level::kError, "cannot draw the frame: " + error);
        return 1;
    }
    const std::int64_t target = firstFrameAtOrAfter(ms, kFps);
    for (std::int64_t frame = 0; frame <= target; ++frame) {
        if (!show->update(tickOfFrame(frame, kFps))) {
            base::reportf(base::Level::kError, "the show has ended before %u ms", ms);
            return 1;
        }
        if (frame < target) show->skip();
        pullSoundOf(frame);
    }
    drawMs = medianDrawMs(repeat);
    show->draw();
    show->present();
    return 0;
}
