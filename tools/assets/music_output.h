// The steps both music writers take through FFmpeg, whatever the codec and container: a
// bit-exact output, a stereo encoder, the stream and header, the frames, the trailer.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "base/av_util.h"

namespace assets {

// An output of FFmpeg's muxer `muxer` for `path`, writing the same bytes on every run; null
// with the reason in `error`. `container` names the format in messages ("Ogg").
AvFormatOutputPtr makeMusicOutput(const char* muxer, const char* container, const std::string& path,
                                  std::string& error);

struct StereoEncoding {
    AVSampleFormat sampleFormat = AV_SAMPLE_FMT_FLT;
    int sampleRate = 0;
    int bitRate = 0;
    const char* codec = "";     // in messages: "Opus"
    const char* rateText = "";  // in messages: "48 kHz"
};

// `encoder` set up for bit-exact stereo as `encoding` asks, with the global header `output`
// wants, and open; null with the reason in `error`.
AvCodecContextPtr openStereoEncoder(const AVCodec* encoder, const AVOutputFormat* output,
                                    const StereoEncoding& encoding, std::string& error);

// Adds the encoder's stream to `format`, opens `file` and writes the header with the muxer's
// `options` (may be null); the stream, or null with the reason naming `path` in `error`.
AVStream* beginMusicFile(AVFormatContext* format, const AVCodecContext* codec, const char* container,
                         const std::string& file, const std::string& path, AVDictionary** options, std::string& error);

// Fills `frame` (format, rate, layout and size set, buffers allocated) with the sample frames
// from `position` on; past the end of the music, with silence.
using FrameFill = std::function<void(AVFrame& frame, std::size_t position)>;

// Encodes `frames` sample frames in whole encoder frames (of `fallbackFrameSize` where the
// encoder names no size), flushes the encoder, writes the trailer and closes the file; false
// with the reason naming `path` in `error`.
bool encodeMusic(AVCodecContext* codec, AVFormatContext* format, AVStream* stream, std::size_t frames,
                 int fallbackFrameSize, const FrameFill& fill, const std::string& path, std::string& error);

// Writes `path` through its part file with `encode`, which names `path` in its messages: the
// file appears whole or not at all.
bool writeMusicFile(const std::string& path, std::string& error,
                    const std::function<bool(const std::string& file, std::string& error)>& encode);

}  // namespace assets
