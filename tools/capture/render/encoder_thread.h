// The encoder thread of a capture: it takes the rendered frames from the pipe in order, scales
// each down when frames are drawn large, and writes it, on the CPU that rendering leaves.
#pragma once

#include <cstddef>
#include <string>
#include <thread>

#include "tools/capture/output/downscale.h"
#include "tools/capture/output/frame_writer.h"
#include "tools/capture/render/frame_pipe.h"

class EncoderThread {
public:
    // With a downscaler, the pipe's frames are drawn large and each is scaled into a frame of
    // `writtenBytes` pixel bytes before it is written.
    EncoderThread(FramePipe<CapturedFrame>& pipe, FrameWriter& writer, const Downscaler* downscaler,
                  std::size_t writtenBytes);
    // Stops and joins the thread: it never outlives its writer.
    ~EncoderThread();
    EncoderThread(const EncoderThread&) = delete;
    EncoderThread& operator=(const EncoderThread&) = delete;

    // Waits for every queued frame to be written; the error of the first that failed.
    std::string drain();

private:
    void run(FrameWriter& writer, const Downscaler* downscaler);
    // The frame scaled into small_, its sound with it.
    const CapturedFrame& scaledDown(const CapturedFrame& frame, const Downscaler& downscaler);

    FramePipe<CapturedFrame>& pipe_;
    CapturedFrame small_;  // the frame written when frames are drawn large
    std::string error_;
    std::thread thread_;
};
