// The step every encoder of the tool shares: one frame in, every packet it gives back written.
#pragma once

#include "base/av_util.h"

namespace assets {

// Sends `frame` (or the flush, when null) and writes every packet the encoder returns into
// `stream`, rescaled to its time base. 0, or FFmpeg's negative error code.
int encodeAndWrite(AVCodecContext* codec, AVFormatContext* format, AVStream* stream, AVFrame* frame, AVPacket* packet);

}  // namespace assets
