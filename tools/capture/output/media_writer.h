// Video files through libavformat and libavcodec: H.264 + AAC in MP4 or Matroska, VP9 + Opus
// in WebM, from frames (encoded here) or from packets copied out of segments.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tools/capture/output/frame_writer.h"

extern "C" {
struct AVCodecParameters;
struct AVPacket;
}

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

// As openFrameWriter, for a video of `settings.kind`.
std::unique_ptr<FrameWriter> openMediaWriter(const WriterSettings& settings, std::string& error);

// As openFrameWriter, for a video whose pictures are encoded as `video` describes.
std::unique_ptr<PacketWriter> openPacketWriter(const WriterSettings& settings, const AVCodecParameters& video,
                                               std::string& error);
