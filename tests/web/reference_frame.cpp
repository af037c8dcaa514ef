// oyun_web_reference: the frames the web page is compared with, drawn natively by the same
// renderer (gles3) on the offscreen show, and that renderer's time for one frame.
//   oyun_web_reference DATA_DIR MS OUTPUT.ppm [REPEAT]
// writes the first frame at or after MS at 50 frames a second (as oyun-capture --frame picks
// it) as a binary PPM; with REPEAT, draws it that many times more and prints the median
// milliseconds a drawing took, finished ("frame ms: X").
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

bool writePpm(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    const bool written = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    return std::fclose(file) == 0 && written;
}

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
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: %s DATA_DIR MS OUTPUT.ppm [REPEAT]\n", argv[0]);
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
    show->draw();
    std::vector<std::uint8_t> rgb;
    show->readPixels(rgb);
    if (!writePpm(argv[3], show->width(), show->height(), rgb)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    show->present();
    if (argc == 5) std::printf("frame ms: %.2f\n", medianDrawMs(*show, std::atoi(argv[4])));
    return 0;
}
