// FFmpeg decoding of a whole sound file: demux the best audio stream, decode every packet,
// convert each frame to interleaved signed 16-bit at the stream's first rate.
#include "sound/audio_decoder.h"

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace sound {

namespace {

struct FormatCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct ResamplerFreer {
    void operator()(SwrContext* context) const { swr_free(&context); }
};

std::string describe(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// Converts decoded frames of any layout, format and rate to the output chosen at the
// first frame; rebuilds the converter when the stream's format changes mid-way.
class Converter {
public:
    Converter() = default;
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() { av_channel_layout_uninit(&layout_); }

    bool add(const AVFrame& frame, Sample& sample, std::string& error) {
        if (sample.rate <= 0 || sample.channels <= 0) {
            if (frame.sample_rate <= 0 || frame.ch_layout.nb_channels <= 0) {
                error = "the audio has no sample rate or no channels";
                return false;
            }
            sample.rate = frame.sample_rate;
            sample.channels = frame.ch_layout.nb_channels >= 2 ? 2 : 1;
        }
        if (!matches(frame) && !rebuild(frame, sample, error)) return false;
        const int room = swr_get_out_samples(resampler_.get(), frame.nb_samples);
        if (room < 0) {
            error = describe(room);
            return false;
        }
        return convert(const_cast<const std::uint8_t**>(frame.extended_data), frame.nb_samples, room, sample, error);
    }

    // Takes what the resampler still holds (only when the rate changed mid-stream).
    bool flush(Sample& sample, std::string& error) {
        if (!resampler_) return true;
        const int room = swr_get_out_samples(resampler_.get(), 0);
        return room <= 0 || convert(nullptr, 0, room, sample, error);
    }

private:
    bool matches(const AVFrame& frame) const {
        return resampler_ && frame.format == format_ && frame.sample_rate == rate_ &&
               av_channel_layout_compare(&frame.ch_layout, &layout_) == 0;
    }

    bool rebuild(const AVFrame& frame, Sample& sample, std::string& error) {
        if (resampler_ && !flush(sample, error)) return false;
        av_channel_layout_uninit(&layout_);
        av_channel_layout_copy(&layout_, &frame.ch_layout);
        format_ = frame.format;
        rate_ = frame.sample_rate;
        AVChannelLayout in{};
        if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
            av_channel_layout_default(&in, frame.ch_layout.nb_channels);
        else
            av_channel_layout_copy(&in, &frame.ch_layout);
        AVChannelLayout out{};
        av_channel_layout_default(&out, sample.channels);
        SwrContext* raw = nullptr;
        int code = swr_alloc_set_opts2(&raw, &out, AV_SAMPLE_FMT_S16, sample.rate, &in,
                                       static_cast<AVSampleFormat>(frame.format), frame.sample_rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        av_channel_layout_uninit(&out);
        resampler_.reset(raw);
        if (code >= 0) code = swr_init(raw);
        if (code < 0) {
            error = "cannot convert the audio: " + describe(code);
            resampler_.reset();
            return false;
        }
        return true;
    }

    bool convert(const std::uint8_t** input, int count, int room, Sample& sample, std::string& error) {
        const std::size_t before = sample.pcm.size();
        const std::int64_t limit = static_cast<std::int64_t>(kMaxSampleSeconds) * sample.rate;
        if (sample.frames() + room > limit) {
            error = "the sound is longer than " + std::to_string(kMaxSampleSeconds / 60) + " minutes";
            return false;
        }
        sample.pcm.resize(before + static_cast<std::size_t>(room) * static_cast<std::size_t>(sample.channels));
        std::uint8_t* output = reinterpret_cast<std::uint8_t*>(sample.pcm.data() + before);
        const int made = swr_convert(resampler_.get(), &output, room, input, count);
        if (made < 0) {
            sample.pcm.resize(before);
            error = "cannot convert the audio: " + describe(made);
            return false;
        }
        sample.pcm.resize(before + static_cast<std::size_t>(made) * static_cast<std::size_t>(sample.channels));
        return true;
    }

    std::unique_ptr<SwrContext, ResamplerFreer> resampler_;
    AVChannelLayout layout_{};
    int format_ = -1;
    int rate_ = 0;
};

}  // namespace

bool decodeAudioFile(const char* path, Sample& sample, std::string& error) {
    sample.pcm.clear();
    sample.rate = 0;
    sample.channels = 0;
    if (path == nullptr || *path == '\0') {
        error = "no file name";
        return false;
    }

    AVFormatContext* rawFormat = nullptr;
    int code = avformat_open_input(&rawFormat, path, nullptr, nullptr);
    if (code < 0) {
        error = describe(code);
        return false;
    }
    std::unique_ptr<AVFormatContext, FormatCloser> format(rawFormat);
    code = avformat_find_stream_info(format.get(), nullptr);
    if (code < 0) {
        error = "unreadable stream: " + describe(code);
        return false;
    }
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream < 0) {
        error = stream == AVERROR_STREAM_NOT_FOUND    ? "the file holds no audio"
                : stream == AVERROR_DECODER_NOT_FOUND ? "no decoder for its audio"
                                                      : describe(stream);
        return false;
    }

    std::unique_ptr<AVCodecContext, CodecFreer> decoder(avcodec_alloc_context3(codec));
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    if (!decoder || !packet || !frame) {
        error = "out of memory";
        return false;
    }
    code = avcodec_parameters_to_context(decoder.get(), format->streams[stream]->codecpar);
    if (code >= 0) {
        decoder->pkt_timebase = format->streams[stream]->time_base;
        code = avcodec_open2(decoder.get(), codec, nullptr);
    }
    if (code < 0) {
        error = "cannot start the " + std::string(codec->name) + " decoder: " + describe(code);
        return false;
    }

    Converter converter;
    std::string damage;  // the first decoding error; damaged packets are skipped
    auto receive = [&]() -> bool {
        for (;;) {
            const int got = avcodec_receive_frame(decoder.get(), frame.get());
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
            if (got < 0) {
                if (damage.empty()) damage = describe(got);
                return true;
            }
            const bool ok = converter.add(*frame, sample, error);
            av_frame_unref(frame.get());
            if (!ok) return false;
        }
    };

    for (;;) {
        code = av_read_frame(format.get(), packet.get());
        if (code < 0) break;  // the end, or a read error: keep what was decoded
        if (packet->stream_index == stream) {
            const int sent = avcodec_send_packet(decoder.get(), packet.get());
            if (sent < 0 && sent != AVERROR(EAGAIN) && damage.empty()) damage = describe(sent);
        }
        av_packet_unref(packet.get());
        if (!receive()) return false;
    }
    if (code != AVERROR_EOF && damage.empty()) damage = describe(code);
    avcodec_send_packet(decoder.get(), nullptr);
    if (!receive() || !converter.flush(sample, error)) return false;

    if (sample.frames() == 0) {
        error = damage.empty() ? "the file holds no audio" : "no audio could be decoded: " + damage;
        return false;
    }
    return true;
}

}  // namespace sound
