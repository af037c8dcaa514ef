// Owning pointers for FFmpeg's objects and its error texts.
#pragma once

#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

struct AvCodecContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct AvFrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct AvPacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
// For a context from avformat_open_input.
struct AvFormatInputFree {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
// For a context from avformat_alloc_output_context2: closes its file, when open, and frees it.
struct AvFormatOutputFree {
    void operator()(AVFormatContext* context) const {
        if (context->pb != nullptr) avio_closep(&context->pb);
        avformat_free_context(context);
    }
};
struct SwrContextFree {
    void operator()(SwrContext* context) const { swr_free(&context); }
};

using AvCodecContextPtr = std::unique_ptr<AVCodecContext, AvCodecContextFree>;
using AvFramePtr = std::unique_ptr<AVFrame, AvFrameFree>;
using AvPacketPtr = std::unique_ptr<AVPacket, AvPacketFree>;
using AvFormatInputPtr = std::unique_ptr<AVFormatContext, AvFormatInputFree>;
using AvFormatOutputPtr = std::unique_ptr<AVFormatContext, AvFormatOutputFree>;
using SwrContextPtr = std::unique_ptr<SwrContext, SwrContextFree>;

inline std::string avErrorText(int error) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}
