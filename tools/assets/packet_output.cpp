#include "tools/assets/packet_output.h"

namespace assets {

int encodeAndWrite(AVCodecContext* codec, AVFormatContext* format, AVStream* stream, AVFrame* frame, AVPacket* packet) {
    int status = avcodec_send_frame(codec, frame);
    if (status < 0) return status;
    for (;;) {
        status = avcodec_receive_packet(codec, packet);
        if (status == AVERROR(EAGAIN) || status == AVERROR_EOF) return 0;
        if (status < 0) return status;
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        status = av_interleaved_write_frame(format, packet);
        if (status < 0) return status;
    }
}

}  // namespace assets
