// oyun_frame_time: the time one frame of the show takes the gles3 renderer natively, beside
// which bench/web_measure.py puts the same frame's time in a browser.
//   oyun_frame_time DATA_DIR MS REPEAT
// draws the first frame at or after MS at 50 frames a second (as oyun-capture --frame picks it)
// REPEAT times and prints the median milliseconds a drawing took, finished ("frame ms: X").
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo/offscreen_show.h"
#include "gfx/gfx.h"

namespace {

constexpr int kFps = 50;

double medianDrawMs(OffscreenShow& show, int repeat) {
    std::vector<double> times;
    for (int i = 0; i < repeat; ++i) {
        const auto start = std::chrono::steady_clock::now();
        show.draw();
        gfx::finish();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        show.present();
    }
    std::sort(times.begin(), times.end());
    return times.empty() ? 0.0 : times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DATA_DIR MS REPEAT\n", argv[0]);
        return 2;
    }
    OffscreenShowOptions options;
    options.dataDir = argv[1];
    options.renderer = gfx::RendererKind::kGles3;
    std::string error;
    auto show = OffscreenShow::open(options, error);
    if (!show) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
        return 1;
    }
    const std::int64_t target = firstFrameAtOrAfter(std::strtoll(argv[2], nullptr, 10), kFps);
    for (std::int64_t frame = 0; frame <= target; ++frame) {
        if (!show->update(tickOfFrame(frame, kFps))) {
            std::fprintf(stderr, "%s: the show has ended before frame %lld\n", argv[0], static_cast<long long>(target));
            return 1;
        }
        if (frame < target) show->skip();
    }
    std::printf("frame ms: %.2f\n", medianDrawMs(*show, std::max(1, std::atoi(argv[3]))));
    return 0;
}
