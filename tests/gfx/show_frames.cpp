#include "tests/gfx/show_frames.h"

#include "demo/offscreen_show.h"
#include "tests/support/golden_frames.h"

namespace gfx_test {

using namespace testing_support;

bool renderShowFrames(gfx::RendererKind renderer, const std::vector<std::uint32_t>& ticks,
                      const std::function<void(std::size_t, const std::vector<std::uint8_t>&)>& visit,
                      std::string& error, const std::function<void()>& afterFrame, bool drawEvery) {
    OffscreenShowOptions options;
    options.width = kGoldenWidth;
    options.height = kGoldenHeight;
    options.dataDir = OYUN_DATA_DIR;
    options.renderer = renderer;
    std::unique_ptr<OffscreenShow> show = OffscreenShow::open(options, error);
    if (show == nullptr) return false;
    std::vector<std::uint8_t> rgb;
    std::size_t next = 0;
    for (std::int64_t frame = 0; next < ticks.size(); ++frame) {
        const std::uint32_t tick = tickOfFrame(frame, kGoldenFps);
        if (!show->update(tick)) {
            error = "the show ended before " + std::to_string(ticks[next]) + " ms";
            return false;
        }
        const bool wanted = tick == ticks[next];
        if (!wanted && !drawEvery) {
            show->skip();
            continue;
        }
        show->draw();
        if (wanted) show->readPixels(rgb);
        show->present();
        if (afterFrame) afterFrame();
        if (wanted) visit(next++, rgb);
    }
    return true;
}

std::vector<std::uint8_t> bandOf(const std::vector<std::uint8_t>& rgb) {
    const std::size_t row = std::size_t{kGoldenWidth} * 3;
    const auto first = rgb.begin() + static_cast<std::ptrdiff_t>(kLetterboxRows * row);
    return {first, first + static_cast<std::ptrdiff_t>(kBandHeight * row)};
}

}  // namespace gfx_test
