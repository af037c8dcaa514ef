#include "bench/renderer_comparison.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "base/report.h"
#include "bench/scene_timing.h"
#include "demo/offscreen_show.h"
#include "gfx/gfx.h"
#include "gfx/renderer.h"
#include "sound/sound_library.h"
#include "tools/capture/capture.h"
#include "tools/capture/frame_writer.h"

namespace {

constexpr gfx::RendererKind kRenderers[2] = {gfx::RendererKind::kGl11, gfx::RendererKind::kGles3};

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct FrameTime {
    std::uint32_t tick;
    double wallMs, threadMs;  // update, drawing and glFinish; the main thread's CPU time in them
};

// A show of one renderer from tick 0: frames before `from` replayed without drawing, then up to
// `count` frames (all to the end when negative) timed. The music is pulled as a capture pulls
// it, so that the show ends with it.
bool timeFrames(gfx::RendererKind renderer, const OffscreenShowOptions& options, int fps, std::uint32_t from, int count,
                std::vector<FrameTime>& times, std::string& error) {
    OffscreenShowOptions withRenderer = options;
    withRenderer.renderer = renderer;
    const auto show = OffscreenShow::open(withRenderer, error);
    if (!show) return false;
    std::vector<std::int16_t> music;
    const auto pullMusic = [&](std::int64_t frame) {
        const auto samples = static_cast<int>(firstSampleOfFrame(frame + 1, fps) - firstSampleOfFrame(frame, fps));
        music.resize(static_cast<std::size_t>(samples) * kCaptureChannels);
        sound::pullFrames(music.data(), samples);
    };
    const std::int64_t first = firstFrameAtOrAfter(from, fps);
    std::int64_t frame = 0;
    for (; frame < first; ++frame) {
        if (!show->update(tickOfFrame(frame, fps))) return true;
        show->skip();
        pullMusic(frame);
    }
    gfx::finish();
    for (int n = 0; count < 0 || n < count; ++n, ++frame) {
        const auto start = std::chrono::steady_clock::now();
        const double threadStart = threadCpuMs();
        if (!show->update(tickOfFrame(frame, fps))) break;
        show->draw();
        gfx::finish();
        const std::chrono::duration<double, std::milli> wall = std::chrono::steady_clock::now() - start;
        times.push_back({tickOfFrame(frame, fps), wall.count(), threadCpuMs() - threadStart});
        show->present();
        pullMusic(frame);
    }
    return true;
}

bool writeWholeShow(const OffscreenShowOptions& options, const std::string& path, int fps) {
    std::vector<FrameTime> times[2];
    for (int r = 0; r < 2; ++r) {
        std::string error;
        if (!timeFrames(kRenderers[r], options, fps, 0, -1, times[r], error)) {
            base::report(base::Level::kError, error);
            return false;
        }
    }
    std::ofstream out(path);
    if (!out) {
        base::report(base::Level::kError, "cannot write " + path);
        return false;
    }
    out << "# tick_ms gl11_wall_ms gles3_wall_ms gl11_thread_ms gles3_thread_ms\n";
    const std::size_t n = std::min(times[0].size(), times[1].size());
    for (std::size_t i = 0; i < n; ++i)
        out << times[0][i].tick << ' ' << times[0][i].wallMs << ' ' << times[1][i].wallMs << ' ' << times[0][i].threadMs
            << ' ' << times[1][i].threadMs << '\n';
    std::printf("\nEvery frame's time at %d fps across the whole show (%zu frames) written to %s\n", fps, n,
                path.c_str());
    return out.good();
}

}  // namespace

bool compareRenderers(const OffscreenShowOptions& options, int frames, int fps, int rounds,
                      const std::string& frameTimesPath, int chartFps) {
    std::printf("\nRenderers, %d frames at %d fps from each span, %d rounds taking them in turns, %dx%d client\n\n",
                frames, fps, rounds, options.width, options.height);
    std::printf(
        "| scene | gl11 ms | gles3 ms | gles3 / gl11 | gl11 main thread ms | gles3 main thread ms | gles3 / gl11 "
        "main thread |\n|---|---:|---:|---:|---:|---:|---:|\n");
    for (const SceneSpan& span : benchScenes()) {
        std::vector<double> wall[2], thread[2];
        for (int round = 0; round < rounds; ++round) {
            for (int r = 0; r < 2; ++r) {
                std::vector<FrameTime> times;
                std::string error;
                if (!timeFrames(kRenderers[r], options, fps, span.fromTick, frames, times, error)) {
                    base::report(base::Level::kError, error);
                    return false;
                }
                for (const FrameTime& t : times) {
                    wall[r].push_back(t.wallMs);
                    thread[r].push_back(t.threadMs);
                }
            }
        }
        const double w0 = median(wall[0]), w1 = median(wall[1]), t0 = median(thread[0]), t1 = median(thread[1]);
        std::printf("| %s | %.1f | %.1f | %.2f | %.1f | %.1f | %.2f |\n", span.name, w0, w1, w0 > 0 ? w1 / w0 : 0.0, t0,
                    t1, t0 > 0 ? t1 / t0 : 0.0);
        std::fflush(stdout);
    }
    return frameTimesPath.empty() || writeWholeShow(options, frameTimesPath, chartFps);
}
