#include "bench/drawing_paths.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "base/report.h"
#include "bench/scene_timing.h"
#include "demo/offscreen_show.h"
#include "demo/scene_draw.h"
#include "gfx/gfx.h"
#include "sound/sound_library.h"
#include "tools/capture/capture.h"
#include "tools/capture/frame_writer.h"

namespace {

// A span's frames beyond these are compared but not timed, so that a check of every frame
// takes no longer than it must.
constexpr int kMostTimedFrames = 120;

struct DrawnFrame {
    std::size_t span;
    std::int64_t frame;
    double wallMs;    // drawing and glFinish
    double threadMs;  // the main thread's CPU time in them
    std::uint64_t hash;
};

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// 64-bit FNV-1a over eight bytes at a time: a frame's pixels in a few milliseconds.
std::uint64_t hashPixels(const std::vector<std::uint8_t>& pixels) {
    std::uint64_t hash = 14695981039346656037ull;
    std::size_t i = 0;
    for (; i + 8 <= pixels.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, &pixels[i], 8);
        hash = (hash ^ word) * 1099511628211ull;
    }
    for (; i < pixels.size(); ++i) hash = (hash ^ pixels[i]) * 1099511628211ull;
    return hash;
}

// One run of the show: every drawn frame in order, until the spans or the show end. Each
// frame is drawn with pathOf(frame). The music is pulled as a capture pulls it, so that the show
// ends with it.
template <typename PathOf>
bool drawSpans(PathOf pathOf, const OffscreenShowOptions& options, int frames, int fps, std::vector<DrawnFrame>& drawn,
               std::string& error) {
    useDrawingPath(pathOf(0));
    const auto show = OffscreenShow::open(options, error);
    if (!show) return false;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(show->width()) * show->height() * 3);
    const std::vector<SceneSpan>& spans = benchScenes();
    std::vector<std::int16_t> music;
    const auto pullMusic = [&](std::int64_t of) {
        const auto samples = static_cast<int>(firstSampleOfFrame(of + 1, fps) - firstSampleOfFrame(of, fps));
        music.resize(static_cast<std::size_t>(samples) * kCaptureChannels);
        sound::pullFrames(music.data(), samples);
    };
    std::int64_t frame = 0;
    for (std::size_t s = 0; s < spans.size(); ++s) {
        const std::int64_t first = firstFrameAtOrAfter(spans[s].fromTick, fps);
        std::int64_t end = first + frames;
        if (s + 1 < spans.size()) end = std::min(end, firstFrameAtOrAfter(spans[s + 1].fromTick, fps));
        for (; frame < first; ++frame) {
            if (!show->update(tickOfFrame(frame, fps))) return true;
            show->skip();
            pullMusic(frame);
        }
        gfx::finish();
        for (; frame < end; ++frame) {
            if (!show->update(tickOfFrame(frame, fps))) return true;
            useDrawingPath(pathOf(frame));
            const double cpuStart = threadCpuMs();
            const auto start = std::chrono::steady_clock::now();
            show->draw();
            gfx::finish();
            const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
            const double cpuSpent = threadCpuMs() - cpuStart;
            show->readPixelsBottomUp(PixelOrder::kRgb, pixels.data());
            show->present();
            pullMusic(frame);
            drawn.push_back({s, frame, spent.count(), cpuSpent, hashPixels(pixels)});
        }
    }
    return true;
}

double medianOf(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The path of a frame of the run in turns.
DrawingPath turnOf(std::int64_t frame) { return frame % 2 == 0 ? DrawingPath::kImmediate : DrawingPath::kCompiled; }

double changePercent(double before, double after) { return before > 0 ? 100.0 * (after - before) / before : 0; }

}  // namespace

bool measureDrawingPaths(const OffscreenShowOptions& options, int frames, int fps) {
    const DrawingPath shown = drawingPath();
    // The pixels: a whole run each way, so that each path carries its own state from frame to
    // frame as the show would. The times: one run that takes the paths in turns, frame by frame,
    // so that a neighbour's load falls on both alike.
    std::vector<DrawnFrame> reference;
    std::vector<DrawnFrame> compiled;
    std::vector<DrawnFrame> turns;
    std::string error;
    const auto always = [](DrawingPath path) { return [path](std::int64_t) { return path; }; };
    const bool drew = drawSpans(always(DrawingPath::kImmediate), options, frames, fps, reference, error) &&
                      drawSpans(always(DrawingPath::kCompiled), options, frames, fps, compiled, error) &&
                      drawSpans(turnOf, options, 2 * std::min(frames, kMostTimedFrames), fps, turns, error);
    useDrawingPath(shown);
    if (!drew) {
        base::report(base::Level::kError, error);
        return false;
    }
    if (reference.size() != compiled.size()) {
        base::reportf(base::Level::kError, "the reference drew %zu frames and the compiled path %zu", reference.size(),
                      compiled.size());
        return false;
    }

    const std::vector<SceneSpan>& spans = benchScenes();
    std::printf(
        "\nDrawing paths: up to %d frames at %d fps from each span drawn each way, %dx%d client. Times: "
        "medians of up to %d frames a path from a run that takes the paths in turns, a frame being its "
        "drawing and glFinish\n\n",
        frames, fps, options.width, options.height, std::min(frames, kMostTimedFrames));
    std::printf(
        "| scene | ms reference | ms fast | change | main thread ms reference | main thread ms fast | change | "
        "frames compared | identical |\n|---|---:|---:|---:|---:|---:|---:|---:|---|\n");
    std::int64_t differing = 0;
    for (std::size_t s = 0; s < spans.size(); ++s) {
        std::int64_t compared = 0;
        std::int64_t same = 0;
        for (std::size_t i = 0; i < reference.size(); ++i) {
            const DrawnFrame& r = reference[i];
            const DrawnFrame& c = compiled[i];
            if (r.span != s) continue;
            if (c.span != s || c.frame != r.frame) {
                base::report(base::Level::kError, "the two paths did not draw the same frames");
                return false;
            }
            ++compared;
            if (r.hash == c.hash) ++same;
        }
        if (compared == 0) continue;
        differing += compared - same;
        std::vector<double> wall[2];
        std::vector<double> thread[2];
        for (const DrawnFrame& t : turns) {
            if (t.span != s) continue;
            const std::size_t path = turnOf(t.frame) == DrawingPath::kImmediate ? 0 : 1;
            wall[path].push_back(t.wallMs);
            thread[path].push_back(t.threadMs);
        }
        const double wallBefore = medianOf(wall[0]);
        const double wallAfter = medianOf(wall[1]);
        const double threadBefore = medianOf(thread[0]);
        const double threadAfter = medianOf(thread[1]);
        std::printf("| %s | %.1f | %.1f | %+.1f %% | %.2f | %.2f | %+.1f %% | %lld | %s |\n", spans[s].name, wallBefore,
                    wallAfter, changePercent(wallBefore, wallAfter), threadBefore, threadAfter,
                    changePercent(threadBefore, threadAfter), static_cast<long long>(compared),
                    same == compared ? "yes" : ("no, " + std::to_string(compared - same) + " differ").c_str());
    }
    std::fflush(stdout);
    if (differing > 0) {
        base::reportf(base::Level::kError, "%lld frames differ between the reference and the compiled path",
                      static_cast<long long>(differing));
        return false;
    }
    return true;
}
