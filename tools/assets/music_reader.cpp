// libavformat's demuxer into libavcodec's decoder, frames appended side by side.
#include "tools/assets/music_reader.h"

#include "base/av_util.h"

namespace assets {

bool readMusic(const std::string& path, StereoBuffer& audio, int& rate, std::string& error) {
    audio = StereoBuffer();
    rate = 0;
    AVFormatContext* rawFormat = nullptr;
    int status = avformat_open_input(&rawFormat, path.c_str(), nullptr, nullptr);
    if (status < 0) {
        error = "cannot open " + path + ": " + avErrorText(status);
        return false;
    }
    const AvFormatInputPtr format(rawFormat);
    avformat_find_stream_info(format.get(), nullptr);
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    const AVCodec* decoder = index < 0 ? nullptr : avcodec_find_decoder(format->streams[index]->codecpar->codec_id);
    if (decoder == nullptr) {
        error = path + " has no audio this FFmpeg can decode";
        return false;
    }
    const AvCodecContextPtr codec(avcodec_alloc_context3(decoder));
    const AvPacketPtr packet(av_packet_alloc());
    const AvFramePtr frame(av_frame_alloc());
    if (!codec || !packet || !frame) {
        error = "out of memory decoding " + path;
        return false;
    }
    avcodec_parameters_to_context(codec.get(), format->streams[index]->codecpar);
    // Opus drops its encoder's lead-in by the packets' times, which need the stream's time base.
    codec->pkt_timebase = format->streams[index]->time_base;
    status = avcodec_open2(codec.get(), decoder, nullptr);
    if (status != 0 || codec->sample_fmt != AV_SAMPLE_FMT_FLTP || codec->ch_layout.nb_channels != 2) {
        error = "cannot decode " + path + " as planar float stereo";
        return false;
    }
    rate = codec->sample_rate;
    auto drain = [&] {
        while (avcodec_receive_frame(codec.get(), frame.get()) == 0) {
            const auto* l = reinterpret_cast<const float*>(frame->data[0]);
            const auto* r = reinterpret_cast<const float*>(frame->data[1]);
            audio.left.insert(audio.left.end(), l, l + frame->nb_samples);
            audio.right.insert(audio.right.end(), r, r + frame->nb_samples);
        }
    };
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == index && avcodec_send_packet(codec.get(), packet.get()) == 0) drain();
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(codec.get(), nullptr);
    drain();
    if (audio.frames() == 0) {
        error = path + " decodes to no audio";
        return false;
    }
    return true;
}

}  // namespace assets
