#include "tools/capture/capture.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <new>
#include <numeric>
#include <optional>
#include <thread>

#include "demo/offscreen_show.h"
#include "sound/sound_library.h"
#include "tools/capture/downscale.h"
#include "tools/capture/frame_pipe.h"
#include "tools/capture/frame_writer.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// Enough frames in flight to ride out an encoder's uneven pace (key frames, look-ahead)
// without holding more than a modest amount of memory at large sizes.
constexpr std::size_t kMaxBufferBytes = 128u << 20;
constexpr std::size_t kMinBuffers = 2;
constexpr std::size_t kMaxBuffers = 6;
constexpr int kWorkerNice = 10;
constexpr auto kProgressInterval = std::chrono::milliseconds(200);

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The music's length from its file, for the progress display only; 0 when unknown.
std::int64_t musicMilliseconds(const fs::path& dataDir) {
    AVFormatContext* context = nullptr;
    const std::string path = (dataDir / "music.wma").string();
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) return 0;
    std::int64_t milliseconds = 0;
    if (avformat_find_stream_info(context, nullptr) >= 0 && context->duration > 0)
        milliseconds = context->duration / (AV_TIME_BASE / 1000);
    avformat_close_input(&context);
    return milliseconds;
}

std::string secondsText(std::uint32_t tick) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", tick / 1000.0);
    return text;
}

// Joins the encoding thread on every way out, so that it never outlives its writer.
class Worker {
public:
    // With a downscaler, the pipe's frames are drawn large and each is scaled into a frame
    // of `writtenBytes` pixels before it is written.
    Worker(FramePipe<CapturedFrame>& pipe, FrameWriter& writer, const Downscaler* downscaler, std::size_t writtenBytes)
        : pipe_(pipe) {
        if (downscaler != nullptr) small_.pixels.resize(writtenBytes);
        thread_ = std::thread([this, &writer, downscaler] {
            // Encoding (and scaling) takes what CPU rendering leaves; it only gets ahead of
            // rendering when the queue is full and the renderer waits.
            setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);
            while (CapturedFrame* frame = pipe_.next()) {
                const CapturedFrame* written = frame;
                if (downscaler != nullptr) {
                    downscaler->scale(frame->pixels.data(), small_.pixels.data());
                    small_.number = frame->number;
                    small_.audioFrames = frame->audioFrames;
                    small_.audio.assign(frame->audio.begin(),
                                        frame->audio.begin() + std::ptrdiff_t{frame->audioFrames} * kCaptureChannels);
                    // The renderer may fill the large buffer again while the small frame is encoded.
                    pipe_.release(frame);
                    written = &small_;
                }
                std::string error;
                const bool ok = writer.write(*written, error);
                if (downscaler == nullptr) pipe_.release(frame);
                if (!ok) {
                    error_ = error;
                    pipe_.stop();
                    return;
                }
            }
        });
    }
    ~Worker() {
        if (thread_.joinable()) {
            pipe_.stop();
            thread_.join();
        }
    }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Waits for every queued frame to be written; the error of the first that failed.
    std::string drain() {
        pipe_.close();
        thread_.join();
        return error_;
    }

private:
    FramePipe<CapturedFrame>& pipe_;
    CapturedFrame small_;  // the frame written when frames are drawn large
    std::thread thread_;
    std::string error_;
};

}  // namespace

std::string sizeBeyondDrawing(int width, int height, const DrawingLimits& limits, int supersample) {
    auto size = [](std::int64_t w, std::int64_t h) { return std::to_string(w) + "x" + std::to_string(h); };
    const std::int64_t drawnWidth = std::int64_t{width} * supersample;
    const std::int64_t drawnHeight = std::int64_t{height} * supersample;
    if (drawnWidth <= limits.width && drawnHeight <= limits.height) return {};
    const int fits = std::min(limits.width / width, limits.height / height);
    if (supersample <= 1 || fits < 1)
        return "this OpenGL draws at most " + size(limits.width, limits.height) + ", not " + size(width, height);
    return "--supersample " + std::to_string(supersample) + " draws " + size(drawnWidth, drawnHeight) +
           ", more than the " + size(limits.width, limits.height) + " this machine can draw; take --supersample " +
           std::to_string(fits) + (fits > 1 ? " or less" : "") + ", or a smaller --size";
}

std::string animationStepWarning(int fps) {
    constexpr int kStepsASecond = 50;
    if (fps < 1 || kStepsASecond % fps == 0) return {};
    const std::string head = "at " + std::to_string(fps) + " fps the animation moves in 20 ms steps, so ";
    const std::string tail = "; 50 fps (or 25) moves it every frame by the same amount";
    if (fps > kStepsASecond) {
        // Every step is shown, so a second's fps - 50 other frames are repeats.
        const int common = std::gcd(fps - kStepsASecond, fps);
        const int repeats = (fps - kStepsASecond) / common;
        return head + std::to_string(repeats) + (repeats == 1 ? " frame in " : " frames in ") +
               std::to_string(fps / common) + (repeats == 1 ? " repeats" : " repeat") + " the one before" + tail;
    }
    const int fewer = kStepsASecond / fps;
    return head + "frames move it unevenly, by " + std::to_string(fewer) + " or " + std::to_string(fewer + 1) +
           " steps" + tail;
}

FrameRange frameRangeOf(const CaptureOptions& options) {
    if (options.frames) return *options.frames;
    FrameRange range;
    if (options.frameMs) {
        range.first = firstFrameAtOrAfter(*options.frameMs, options.fps);
        range.end = range.first + 1;
        return range;
    }
    if (options.fromMs) range.first = firstFrameAtOrAfter(*options.fromMs, options.fps);
    if (options.toMs) range.end = firstFrameAtOrAfter(*options.toMs, options.fps);
    return range;
}

CaptureResult runCapture(const CaptureOptions& options) {
    CaptureResult result;
    auto fail = [&result](std::string error) {
        result.error = std::move(error);
        return result;
    };
    if (options.fps < 1 || options.width < 1 || options.height < 1) return fail("bad frame rate or size");
    if (options.supersample < 1 || options.supersample > kMaxSupersample) return fail("bad supersampling factor");
    if (isVideo(options.kind) && !options.renderOnly && (options.width % 2 != 0 || options.height % 2 != 0))
        return fail("video needs an even width and height");
    const FrameRange range = frameRangeOf(options);
    if (range.first >= range.end) return fail("no frame falls in the range asked for");
    av_log_set_level(AV_LOG_QUIET);  // failures come back as our own one-line errors

    // The show moves the process into a folder of its own: every path is fixed first.
    const fs::path output = fs::absolute(options.output);
    const fs::path dataDir = fs::absolute(options.dataDir);
    const int drawnWidth = options.width * options.supersample;
    const int drawnHeight = options.height * options.supersample;
    const std::size_t frameBytes = static_cast<std::size_t>(options.width) * options.height * 3;
    const std::size_t drawnBytes = static_cast<std::size_t>(drawnWidth) * drawnHeight * 3;
    const std::size_t bufferCount = std::clamp(kMaxBufferBytes / drawnBytes, kMinBuffers, kMaxBuffers);
    const auto maxSpan = static_cast<std::size_t>(kCaptureSampleRate / options.fps + 1);

    try {
        // An output that cannot be written fails before the show is set up.
        std::unique_ptr<FrameWriter> writer;
        std::string error;
        if (!options.renderOnly) {
            writer = openFrameWriter(
                {output, options.kind, options.width, options.height, options.fps, options.segmentDescription}, error);
            if (!writer) return fail(error);
        }
        // The show opens at most kMaxPictureSide a side; beyond that only supersampling takes
        // it, and the message says so.
        if (options.supersample > 1) {
            if (std::string tooLarge = sizeBeyondDrawing(options.width, options.height,
                                                         {kMaxPictureSide, kMaxPictureSide}, options.supersample);
                !tooLarge.empty()) {
                result.wrongArguments = true;
                return fail(std::move(tooLarge));
            }
        }
        // Drawn larger, the show fits its picture and scales its lines for that size.
        auto show = OffscreenShow::open({drawnWidth, drawnHeight, dataDir}, error);
        if (!show) return fail(error);
        // Only a current context knows its limits; beyond them frames would come back cut.
        if (std::string tooLarge =
                sizeBeyondDrawing(options.width, options.height, show->drawingLimits(), options.supersample);
            !tooLarge.empty()) {
            result.wrongArguments = true;
            return fail(std::move(tooLarge));
        }
        std::unique_ptr<Downscaler> downscaler;
        if (options.supersample > 1 && writer) {
            downscaler =
                Downscaler::open(options.width, options.height, options.supersample, writer->pixelOrder(), error);
            if (!downscaler) return fail(error);
        }

        CaptureProgress progress;
        progress.fps = options.fps;
        if (options.progress) {
            const std::int64_t endMs =
                range.end != INT64_MAX ? tickOfFrame(range.end, options.fps) : musicMilliseconds(dataDir);
            progress.endTick = static_cast<std::uint32_t>(endMs);
            if (range.end != INT64_MAX)
                progress.framesTotal = range.end - range.first;
            else if (endMs > 0)
                progress.framesTotal = std::max<std::int64_t>(0, firstFrameAtOrAfter(endMs, options.fps) - range.first);
        }

        FramePipe<CapturedFrame> pipe(options.renderOnly ? 0 : bufferCount);
        for (CapturedFrame& frame : pipe.buffers()) {
            frame.pixels.resize(drawnBytes);
            frame.audio.resize(maxSpan * kCaptureChannels);
        }
        std::vector<std::int16_t> dropped(maxSpan * kCaptureChannels);
        const PixelOrder readOrder = writer ? writer->pixelOrder() : PixelOrder::kRgb;
        std::optional<Worker> worker;
        if (writer) worker.emplace(pipe, *writer, downscaler.get(), frameBytes);

        const Clock::time_point start = Clock::now();
        Clock::time_point lastReport = start;
        std::int64_t frame = 0;
        for (; frame < range.end; ++frame) {
            if (options.cancel != nullptr && options.cancel->load()) {
                result.cancelled = true;
                break;
            }
            const std::uint32_t tick = tickOfFrame(frame, options.fps);
            if (!show->update(tick)) break;
            const auto span =
                static_cast<int>(firstSampleOfFrame(frame + 1, options.fps) - firstSampleOfFrame(frame, options.fps));
            if (frame < range.first) {
                show->skip();
                sound::pullFrames(dropped.data(), span);
            } else {
                if (frame == range.first) result.seekSeconds = secondsSince(start);
                if (options.renderOnly) {
                    show->draw();
                    show->waitUntilDrawn();  // what reading back waits for in a real capture
                    show->present();
                    sound::pullFrames(dropped.data(), span);
                } else {
                    CapturedFrame* buffer = pipe.acquire();
                    if (buffer == nullptr) break;  // the writer failed
                    show->draw();
                    show->readPixelsBottomUp(readOrder, buffer->pixels.data());
                    show->present();
                    buffer->number = frame;
                    buffer->audioFrames = span;
                    sound::pullFrames(buffer->audio.data(), span);
                    pipe.submit(buffer);
                }
                ++result.frames;
            }
            if (options.progress && Clock::now() - lastReport >= kProgressInterval) {
                lastReport = Clock::now();
                progress.seeking = frame < range.first;
                progress.framesDone = result.frames;
                progress.showTick = tick;
                progress.wallSeconds = secondsSince(start) - (progress.seeking ? 0 : result.seekSeconds);
                options.progress(progress);
            }
        }

        const std::string writeError = worker ? worker->drain() : std::string();
        if (result.cancelled) return fail("interrupted; nothing was written");
        if (!writeError.empty()) return fail(writeError);
        if (result.frames == 0) {
            const std::int64_t wanted = options.frameMs ? *options.frameMs : options.fromMs.value_or(0);
            return fail("the show ends at " + secondsText(tickOfFrame(frame, options.fps)) + ", before " +
                        std::to_string(wanted) + " ms");
        }
        if (writer && !writer->finish(error)) return fail(error);
        result.wallSeconds = secondsSince(start);
        if (options.progress) {
            progress.seeking = false;
            progress.framesDone = result.frames;
            progress.framesTotal = result.frames;
            progress.showTick = tickOfFrame(frame > 0 ? frame - 1 : 0, options.fps);
            progress.wallSeconds = result.wallSeconds - result.seekSeconds;
            progress.finished = true;
            options.progress(progress);
        }
        result.ok = true;
        return result;
    } catch (const std::bad_alloc&) {
        return fail("not enough memory for frames of " + std::to_string(drawnWidth) + "x" +
                    std::to_string(drawnHeight) + (options.supersample > 1 ? " (supersampled)" : ""));
    }
}
