#include "bench/scene_timing.h"

#include <algorithm>
#include <chrono>

#include "demo/offscreen_show.h"
#include "gfx/gfx.h"

namespace {

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

}  // namespace

const std::vector<SceneSpan>& benchScenes() {
    static const std::vector<SceneSpan> scenes = {
        {"1 tower", 5000},         {"1 + ball chain", 24000},      {"2 tower", 45000},     {"3 ball rings", 65000},
        {"4 rising balls", 81000}, {"6 giant ball + glow", 86500}, {"6 + credits", 95000}, {"6 + credits 2", 110000},
    };
    return scenes;
}

double SceneTiming::median() const { return percentile(frameMilliseconds, 0.5); }
double SceneTiming::percentile95() const { return percentile(frameMilliseconds, 0.95); }

std::vector<SceneTiming> timeScenes(OffscreenShow& show, int frames, int fps) {
    std::vector<SceneTiming> timings;
    CpuSampler sampler;
    std::int64_t frame = 0;
    for (const SceneSpan& span : benchScenes()) {
        const std::int64_t first = firstFrameAtOrAfter(span.fromTick, fps);
        for (; frame < first; ++frame) {
            if (!show.update(tickOfFrame(frame, fps))) return timings;
            show.skip();
        }
        SceneTiming timing{span.name, {}, {}};
        gfx::finish();
        sampler.take();
        for (int i = 0; i < frames; ++i, ++frame) {
            const auto start = std::chrono::steady_clock::now();
            if (!show.update(tickOfFrame(frame, fps))) return timings;
            show.draw();
            gfx::finish();
            show.present();
            const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
            timing.frameMilliseconds.push_back(spent.count());
        }
        timing.samples = sampler.take();
        timings.push_back(std::move(timing));
    }
    return timings;
}
