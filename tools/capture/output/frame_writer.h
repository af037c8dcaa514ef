// Where captured frames go: a video file, a folder of PNG frames or one PNG. Output appears
// under its name only when finished; a writer dropped before that leaves nothing behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "demo/offscreen_show.h"
#include "tools/capture/plan/output_kind.h"

struct CapturedFrame {
    std::int64_t number = 0;           // the frame's number in the show, from 0
    std::vector<std::uint8_t> pixels;  // width * height * 3 in the writer's order, bottom row first as GL gives it
    std::vector<std::int16_t> audio;   // interleaved stereo at kCaptureSampleRate
    int audioFrames = 0;               // of `audio`, the frame's span of samples
};

struct WriterSettings {
    std::filesystem::path output;  // absolute
    OutputKind kind = OutputKind::kMp4;
    int width = 0;
    int height = 0;
    int fps = 60;
    // A segment of a longer capture: a video holds only its pictures, with this description
    // in its metadata (kSegmentTag), and a PNG folder keeps the frames of other segments.
    std::optional<std::string> segment;
};

class FrameWriter {
public:
    virtual ~FrameWriter() = default;
    virtual PixelOrder pixelOrder() const = 0;
    // Frames come in show order. False with `error` set (one line) when writing fails.
    virtual bool write(const CapturedFrame& frame, std::string& error) = 0;
    // Completes the output and puts it in place under its name.
    virtual bool finish(std::string& error) = 0;
};
