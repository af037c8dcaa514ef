#include "tools/capture/render/encoder_thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include "tools/capture/plan/frames.h"

namespace {

// Encoding (and scaling) takes what CPU rendering leaves; it only gets ahead of rendering when
// the queue is full and the renderer waits.
constexpr int kEncoderNice = 10;

}  // namespace

EncoderThread::EncoderThread(FramePipe<CapturedFrame>& pipe, FrameWriter& writer, const Downscaler* downscaler,
                             std::size_t writtenBytes)
    : pipe_(pipe) {
    if (downscaler != nullptr) small_.pixels.resize(writtenBytes);
    thread_ = std::thread([this, &writer, downscaler] { run(writer, downscaler); });
}

EncoderThread::~EncoderThread() {
    if (!thread_.joinable()) return;
    pipe_.stop();
    thread_.join();
}

std::string EncoderThread::drain() {
    pipe_.close();
    thread_.join();
    return error_;
}

void EncoderThread::run(FrameWriter& writer, const Downscaler* downscaler) {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kEncoderNice);
    while (CapturedFrame* frame = pipe_.next()) {
        const CapturedFrame* written = frame;
        if (downscaler != nullptr) {
            written = &scaledDown(*frame, *downscaler);
            // The renderer may fill the large buffer again while the small frame is encoded.
            pipe_.release(frame);
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
}

const CapturedFrame& EncoderThread::scaledDown(const CapturedFrame& frame, const Downscaler& downscaler) {
    downscaler.scale(frame.pixels.data(), small_.pixels.data());
    small_.number = frame.number;
    small_.audioFrames = frame.audioFrames;
    small_.audio.assign(frame.audio.begin(),
                        frame.audio.begin() + std::ptrdiff_t{frame.audioFrames} * kCaptureChannels);
    return small_;
}
