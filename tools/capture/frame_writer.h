// Where captured frames go: a video file, a folder of PNG frames or one PNG. Output appears
// under its name only when finished; a writer dropped before that leaves nothing behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "demo/offscreen_show.h"
#include "tools/capture/capture_options.h"

extern "C" {
struct AVCodecParameters;
struct AVPacket;
}

constexpr int kCaptureSampleRate = 44100;
constexpr int kCaptureChannels = 2;

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

// A video file whose pictures come encoded, as packets in the frame time base (1/fps) copied
// from segments, and whose sound is encoded here as a capture encodes it.
class PacketWriter {
public:
    virtual ~PacketWriter() = default;
    virtual bool writeVideo(AVPacket& packet, std::string& error) = 0;
    // One frame's span of interleaved stereo at kCaptureSampleRate.
    virtual bool writeSound(const std::int16_t* samples, int frames, std::string& error) = 0;
    virtual bool finish(std::string& error) = 0;
};

// Checks that the output can be written (a temporary file or folder beside it is made at
// once) and sets the encoders up. Null with `error` set (one line) otherwise.
std::unique_ptr<FrameWriter> openFrameWriter(const WriterSettings& settings, std::string& error);

// As openFrameWriter, for a video whose pictures are encoded as `video` describes.
std::unique_ptr<PacketWriter> openPacketWriter(const WriterSettings& settings, const AVCodecParameters& video,
                                               std::string& error);

// The name of frame `number` in a PNG folder.
std::string pngFrameName(std::int64_t number);
// The number a name of pngFrameName's form gives; nothing for any other name.
std::optional<std::int64_t> pngFrameNumber(const std::string& name);
// Removes the frames of an earlier capture numbered after `last` from `folder`; no other file
// is touched. Empty, or one line on what could not be removed.
std::string removeFramesAfter(const std::filesystem::path& folder, std::int64_t last);

// Both writers' pieces, shared between their files.
std::unique_ptr<FrameWriter> openMediaWriter(const WriterSettings& settings, std::string& error);
std::unique_ptr<FrameWriter> openPngWriter(const WriterSettings& settings, std::string& error);
