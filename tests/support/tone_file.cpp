// Encoding a sine tone with libavcodec and libavformat, frame by frame, with the bit-exact
// flags so that the same arguments give the same bytes on every run.
#include "tests/support/tone_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
extern "C" {
#include <libavutil/channel_layout.h>
}

#include "base/av_util.h"

namespace testing_support {

namespace {

void store(AVFrame& frame, int channel, int index, double value) {
    const auto format = static_cast<AVSampleFormat>(frame.format);
    const int channels = frame.ch_layout.nb_channels;
    const bool planar = av_sample_fmt_is_planar(format) != 0;
    const int plane = planar ? channel : 0;
    const int at = planar ? index : index * channels + channel;
    std::uint8_t* data = frame.extended_data[plane];
    switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_FLT: reinterpret_cast<float*>(data)[at] = static_cast<float>(value); break;
        case AV_SAMPLE_FMT_DBL: reinterpret_cast<double*>(data)[at] = value; break;
        case AV_SAMPLE_FMT_S16:
            reinterpret_cast<std::int16_t*>(data)[at] = static_cast<std::int16_t>(std::lrint(value * 32767.0));
            break;
        case AV_SAMPLE_FMT_S32:
            reinterpret_cast<std::int32_t*>(data)[at] = static_cast<std::int32_t>(std::lrint(value * 2147483647.0));
            break;
        default: break;
    }
}

bool drain(AVCodecContext& codec, AVFormatContext& output, AVStream& stream, AVPacket& packet, std::string& error) {
    for (;;) {
        const int code = avcodec_receive_packet(&codec, &packet);
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
        if (code < 0) {
            error = "encoding: " + avErrorText(code);
            return false;
        }
        av_packet_rescale_ts(&packet, codec.time_base, stream.time_base);
        packet.stream_index = stream.index;
        const int written = av_interleaved_write_frame(&output, &packet);
        if (written < 0) {
            error = "writing: " + avErrorText(written);
            return false;
        }
    }
}

}  // namespace

bool writeToneFile(const std::string& path, const ToneSettings& settings, std::string& error) {
    const AVCodec* encoder = avcodec_find_encoder_by_name(settings.encoder);
    if (encoder == nullptr) {
        error = std::string("no encoder ") + settings.encoder;
        return false;
    }
    AVFormatContext* rawOutput = nullptr;
    int code = avformat_alloc_output_context2(&rawOutput, nullptr, nullptr, path.c_str());
    if (code < 0 || rawOutput == nullptr) {
        error = "no container for " + path;
        return false;
    }
    AvFormatOutputPtr output(rawOutput);
    output->flags |= AVFMT_FLAG_BITEXACT;
    AVStream* stream = avformat_new_stream(output.get(), nullptr);
    AvCodecContextPtr codec(avcodec_alloc_context3(encoder));
    if (stream == nullptr || !codec) {
        error = "out of memory";
        return false;
    }
    codec->sample_rate = settings.rate;
    av_channel_layout_default(&codec->ch_layout, settings.channels);
    codec->sample_fmt = encoder->sample_fmts != nullptr ? encoder->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    codec->bit_rate = settings.bitRate;
    codec->time_base = AVRational{1, settings.rate};
    codec->flags |= AV_CODEC_FLAG_BITEXACT;
    codec->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    if ((output->oformat->flags & AVFMT_GLOBALHEADER) != 0) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    code = avcodec_open2(codec.get(), encoder, nullptr);
    if (code < 0) {
        error = std::string("cannot open ") + settings.encoder + ": " + avErrorText(code);
        return false;
    }
    avcodec_parameters_from_context(stream->codecpar, codec.get());
    stream->time_base = codec->time_base;
    code = avio_open(&output->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (code >= 0) code = avformat_write_header(output.get(), nullptr);
    if (code < 0) {
        error = "cannot write " + path + ": " + avErrorText(code);
        return false;
    }

    const bool anyFrameSize = (encoder->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) != 0 || codec->frame_size <= 0;
    const bool shortLast = anyFrameSize || (encoder->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) != 0;
    const int frameSize = codec->frame_size > 0 ? codec->frame_size : 1024;
    const std::int64_t total = std::llround(settings.seconds * settings.rate);
    AvFramePtr frame(av_frame_alloc());
    AvPacketPtr packet(av_packet_alloc());
    frame->nb_samples = frameSize;
    frame->format = codec->sample_fmt;
    frame->sample_rate = settings.rate;
    av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
    if (av_frame_get_buffer(frame.get(), 0) < 0) {
        error = "out of memory";
        return false;
    }
    constexpr double kTwoPi = 6.283185307179586;
    for (std::int64_t start = 0; start < total; start += frameSize) {
        const int count = static_cast<int>(std::min<std::int64_t>(frameSize, total - start));
        av_frame_make_writable(frame.get());
        frame->nb_samples = shortLast ? count : frameSize;
        for (int i = 0; i < frame->nb_samples; ++i) {
            // Padding after the requested length stays silent.
            const double tone =
                i < count ? settings.amplitude *
                                std::sin(kTwoPi * settings.hertz * static_cast<double>(start + i) / settings.rate)
                          : 0.0;
            for (int c = 0; c < settings.channels; ++c) store(*frame, c, i, c == 0 ? tone : tone * settings.otherScale);
        }
        frame->pts = start;
        code = avcodec_send_frame(codec.get(), frame.get());
        if (code < 0) {
            error = "encoding: " + avErrorText(code);
            return false;
        }
        if (!drain(*codec, *output, *stream, *packet, error)) return false;
    }
    avcodec_send_frame(codec.get(), nullptr);
    if (!drain(*codec, *output, *stream, *packet, error)) return false;
    code = av_write_trailer(output.get());
    if (code < 0) {
        error = "cannot finish " + path + ": " + avErrorText(code);
        return false;
    }
    return true;
}

}  // namespace testing_support
