#include "tools/capture/render/capture.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <optional>

#include "demo/offscreen_show.h"
#include "sound/sound_library.h"
#include "tools/capture/output/downscale.h"
#include "tools/capture/output/frame_writer.h"
#include "tools/capture/output/open_writer.h"
#include "tools/capture/plan/limits.h"
#include "tools/capture/plan/numbers.h"
#include "tools/capture/render/capture_progress.h"
#include "tools/capture/render/encoder_thread.h"
#include "tools/capture/render/frame_pipe.h"

extern "C" {
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

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::size_t pixelBytes(int width, int height) { return static_cast<std::size_t>(width) * height * 3; }

// What the options ask for that no capture can do; empty when they make one.
std::string optionsProblem(const CaptureOptions& options, const FrameRange& range) {
    if (options.fps < 1 || options.width < 1 || options.height < 1) return "bad frame rate or size";
    if (options.supersample < 1 || options.supersample > kMaxSupersample) return "bad supersampling factor";
    if (isVideo(options.kind) && !options.renderOnly && (options.width % 2 != 0 || options.height % 2 != 0))
        return "video needs an even width and height";
    if (range.first >= range.end) return "no frame falls in the range asked for";
    return {};
}

// One capture in one process: the show's frames run from 0, those of the range drawn, read
// back and handed to the encoder thread with their sound.
class OnePieceCapture {
public:
    OnePieceCapture(const CaptureOptions& options, const FrameRange& range)
        : options_(options),
          range_(range),
          // The show moves the process into a folder of its own: every path is fixed first.
          output_(fs::absolute(options.output)),
          dataDir_(fs::absolute(options.dataDir)),
          drawnWidth_(options.width * options.supersample),
          drawnHeight_(options.height * options.supersample) {}

    CaptureResult run() {
        if (!open()) return result_;
        FramePipe<CapturedFrame> pipe(options_.renderOnly ? 0 : bufferCount());
        const std::size_t spanSamples = static_cast<std::size_t>(longestSoundSpan(options_.fps)) * kCaptureChannels;
        for (CapturedFrame& frame : pipe.buffers()) {
            frame.pixels.resize(pixelBytes(drawnWidth_, drawnHeight_));
            frame.audio.resize(spanSamples);
        }
        dropped_.resize(spanSamples);
        std::optional<EncoderThread> encoder;
        if (writer_) encoder.emplace(pipe, *writer_, downscaler_.get(), pixelBytes(options_.width, options_.height));
        CaptureProgressReport progress(options_, range_, dataDir_);
        start_ = Clock::now();
        const std::int64_t end = renderFrames(pipe, progress);
        const std::string writeError = encoder ? encoder->drain() : std::string();
        return finish(end, writeError, progress);
    }

private:
    // The writer first, so that an output that cannot be written fails before the show is set
    // up; then the show at the drawn size (its picture fitted and its lines scaled for it), and
    // the scaler down from that size.
    bool open() {
        std::string error;
        if (!options_.renderOnly) {
            writer_ = openFrameWriter(
                {output_, options_.kind, options_.width, options_.height, options_.fps, options_.segmentDescription},
                error);
            if (!writer_) return fail(error);
        }
        // The show opens at most kMaxPictureSide a side; beyond that only supersampling takes
        // it, and the message says so.
        if (options_.supersample > 1 && !fits({kMaxPictureSide, kMaxPictureSide})) return false;
        show_ = OffscreenShow::open({drawnWidth_, drawnHeight_, dataDir_, options_.renderer}, error);
        if (!show_) return fail(error);
        // Only a current context knows its limits; beyond them frames would come back cut.
        if (!fits(show_->drawingLimits())) return false;
        if (options_.supersample > 1 && writer_) {
            downscaler_ =
                Downscaler::open(options_.width, options_.height, options_.supersample, writer_->pixelOrder(), error);
            if (!downscaler_) return fail(error);
        }
        return true;
    }

    bool fits(const DrawingLimits& limits) {
        std::string tooLarge = sizeBeyondDrawing(options_.width, options_.height, limits, options_.supersample);
        if (tooLarge.empty()) return true;
        result_.wrongArguments = true;
        return fail(std::move(tooLarge));
    }

    bool fail(std::string error) {
        result_.error = std::move(error);
        return false;
    }

    std::size_t bufferCount() const {
        return std::clamp(kMaxBufferBytes / pixelBytes(drawnWidth_, drawnHeight_), kMinBuffers, kMaxBuffers);
    }

    // Runs the frames up to the range's end or the show's; the frame after the last one run.
    std::int64_t renderFrames(FramePipe<CapturedFrame>& pipe, CaptureProgressReport& progress) {
        std::int64_t frame = 0;
        for (; frame < range_.end; ++frame) {
            if (options_.cancelled()) {
                result_.cancelled = true;
                break;
            }
            const std::uint32_t tick = tickOfFrame(frame, options_.fps);
            if (!show_->update(tick)) break;
            const int span = soundFramesOf(frame, options_.fps);
            if (frame < range_.first) {
                show_->skip();
                sound::pullFrames(dropped_.data(), span);
            } else {
                if (frame == range_.first) result_.seekSeconds = secondsSince(start_);
                if (!renderFrame(frame, span, pipe)) break;  // the encoder thread stopped
                ++result_.frames;
            }
            progress.frame(frame < range_.first, result_.frames, tick, secondsSince(start_), result_.seekSeconds);
        }
        return frame;
    }

    // Draws a frame and hands it to the encoder thread with its sound; render only, draws it
    // and drops the sound. False when the encoder thread has stopped.
    bool renderFrame(std::int64_t frame, int span, FramePipe<CapturedFrame>& pipe) {
        if (!writer_) {
            show_->draw();
            show_->waitUntilDrawn();  // what reading back waits for in a real capture
            show_->present();
            sound::pullFrames(dropped_.data(), span);
            return true;
        }
        CapturedFrame* buffer = pipe.acquire();
        if (buffer == nullptr) return false;
        show_->draw();
        show_->readPixelsBottomUp(writer_->pixelOrder(), buffer->pixels.data());
        show_->present();
        buffer->number = frame;
        buffer->audioFrames = span;
        sound::pullFrames(buffer->audio.data(), span);
        pipe.submit(buffer);
        return true;
    }

    CaptureResult finish(std::int64_t end, const std::string& writeError, CaptureProgressReport& progress) {
        if (result_.cancelled) return CaptureResult::interrupted();
        if (!writeError.empty()) return CaptureResult::failure(writeError);
        if (result_.frames == 0) return CaptureResult::failure(showEndsMessage(options_, end));
        std::string error;
        if (writer_ && !writer_->finish(error)) return CaptureResult::failure(error);
        result_.wallSeconds = secondsSince(start_);
        progress.finish(result_.frames, tickOfFrame(end > 0 ? end - 1 : 0, options_.fps),
                        result_.wallSeconds - result_.seekSeconds);
        result_.ok = true;
        return result_;
    }

    const CaptureOptions& options_;
    const FrameRange range_;
    const fs::path output_;
    const fs::path dataDir_;
    const int drawnWidth_;
    const int drawnHeight_;
    CaptureResult result_;
    Clock::time_point start_;
    std::vector<std::int16_t> dropped_;  // the sound of frames not written
    // Dropped in reverse: the scaler, then the show, then the writer with what it staged.
    std::unique_ptr<FrameWriter> writer_;
    std::unique_ptr<OffscreenShow> show_;
    std::unique_ptr<Downscaler> downscaler_;
};

}  // namespace

CaptureResult runCapture(const CaptureOptions& options) {
    const FrameRange range = frameRangeOf(options);
    if (const std::string problem = optionsProblem(options, range); !problem.empty())
        return CaptureResult::failure(problem);
    av_log_set_level(AV_LOG_QUIET);  // failures come back as our own one-line errors
    try {
        OnePieceCapture capture(options, range);
        return capture.run();
    } catch (const std::bad_alloc&) {
        return CaptureResult::failure("not enough memory for frames of " +
                                      sizeText(std::int64_t{options.width} * options.supersample,
                                               std::int64_t{options.height} * options.supersample) +
                                      (options.supersample > 1 ? " (supersampled)" : ""));
    }
}
