// libswresample to 48 kHz, libavcodec's libopus encoder, libavformat's Ogg muxer.
#include "tools/assets/opus_writer.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/av_util.h"
#include "tools/assets/file_output.h"
#include "tools/assets/packet_output.h"

namespace assets {

namespace {

// Where RFC 7845's identification header ("OpusHead") keeps the input sample rate.
constexpr std::size_t kHeadInputRateAt = 12;
// A fixed logical-stream serial: Ogg muxers otherwise draw a random one.
constexpr int kStreamSerial = 0x4F79756E;  // "Oyun"

// The whole music at 48 kHz, interleaved; empty with `error` set on failure.
std::vector<float> resampleTo48k(const StereoBuffer& audio, std::string& error) {
    // Not const: this FFmpeg takes the layouts by plain pointer.
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    SwrContext* raw = nullptr;
    if (swr_alloc_set_opts2(&raw, &stereo, AV_SAMPLE_FMT_FLT, kOpusRate, &stereo, AV_SAMPLE_FMT_FLTP, kSampleRate, 0,
                            nullptr) < 0 ||
        raw == nullptr || swr_init(raw) < 0) {
        swr_free(&raw);
        error = "cannot resample the music to 48 kHz for Opus";
        return {};
    }
    const SwrContextPtr swr(raw);
    const int inFrames = static_cast<int>(audio.frames());
    std::vector<float> out(static_cast<std::size_t>(swr_get_out_samples(swr.get(), inFrames) + 256) * 2);
    const std::uint8_t* in[2] = {reinterpret_cast<const std::uint8_t*>(audio.left.data()),
                                 reinterpret_cast<const std::uint8_t*>(audio.right.data())};
    int made = 0;
    for (bool flush : {false, true}) {
        std::uint8_t* into[1] = {reinterpret_cast<std::uint8_t*>(out.data() + static_cast<std::size_t>(made) * 2)};
        const int room = static_cast<int>(out.size() / 2) - made;
        const int n =
            flush ? swr_convert(swr.get(), into, room, nullptr, 0) : swr_convert(swr.get(), into, room, in, inFrames);
        if (n < 0) {
            error = "cannot resample the music to 48 kHz for Opus: " + avErrorText(n);
            return {};
        }
        made += n;
    }
    out.resize(static_cast<std::size_t>(made) * 2);
    return out;
}

// The libopus encoder, open, its header naming the music's own rate.
AvCodecContextPtr openEncoder(const AVOutputFormat* container, std::string& error) {
    const AVCodec* encoder = avcodec_find_encoder_by_name("libopus");
    if (encoder == nullptr) {
        error = "this FFmpeg has no Opus (libopus) encoder";
        return nullptr;
    }
    AvCodecContextPtr codec(avcodec_alloc_context3(encoder));
    if (!codec) {
        error = "out of memory setting up the Opus encoder";
        return nullptr;
    }
    codec->sample_fmt = AV_SAMPLE_FMT_FLT;
    codec->sample_rate = kOpusRate;
    codec->bit_rate = kOpusBitRate;
    codec->time_base = AVRational{1, kOpusRate};
    codec->flags |= AV_CODEC_FLAG_BITEXACT;
    const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&codec->ch_layout, &stereo);
    if (container->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int status = avcodec_open2(codec.get(), encoder, nullptr);
    if (status < 0) {
        error = "the Opus encoder refused 48 kHz stereo at " + std::to_string(kOpusBitRate) +
                " bit/s: " + avErrorText(status);
        return nullptr;
    }
    if (codec->extradata == nullptr || codec->extradata_size < 19 ||
        std::memcmp(codec->extradata, "OpusHead", 8) != 0) {
        error = "the Opus encoder gave no identification header";
        return nullptr;
    }
    for (std::size_t i = 0; i < 4; ++i)
        codec->extradata[kHeadInputRateAt + i] = static_cast<std::uint8_t>((kSampleRate >> (8 * i)) & 0xFF);
    return codec;
}

// Feeds the samples in full encoder frames (the last one padded with silence) and flushes.
int encodeAll(AVCodecContext* codec, AVFormatContext* format, AVStream* stream, const std::vector<float>& samples) {
    AvFramePtr frame(av_frame_alloc());
    AvPacketPtr packet(av_packet_alloc());
    if (!frame || !packet) return AVERROR(ENOMEM);
    const std::size_t frameSize = codec->frame_size > 0 ? static_cast<std::size_t>(codec->frame_size) : 960;
    const std::size_t total = samples.size() / 2;
    int status = 0;
    for (std::size_t position = 0; position < total && status >= 0; position += frameSize) {
        av_frame_unref(frame.get());
        frame->format = codec->sample_fmt;
        frame->sample_rate = codec->sample_rate;
        frame->nb_samples = static_cast<int>(frameSize);
        av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
        status = av_frame_get_buffer(frame.get(), 0);
        if (status < 0) break;
        auto* out = reinterpret_cast<float*>(frame->data[0]);
        const std::size_t n = std::min(frameSize, total - position);
        std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(position * 2), n * 2, out);
        std::fill(out + n * 2, out + frameSize * 2, 0.0f);
        frame->pts = static_cast<std::int64_t>(position);
        status = encodeAndWrite(codec, format, stream, frame.get(), packet.get());
    }
    if (status >= 0) status = encodeAndWrite(codec, format, stream, nullptr, packet.get());
    return status;
}

// Encodes into `file`, naming `path` in messages; everything is closed on return.
bool encodeOpus(const std::string& file, const std::string& path, const StereoBuffer& audio, std::string& error) {
    const std::vector<float> samples = resampleTo48k(audio, error);
    if (samples.empty()) {
        if (error.empty()) error = "no music to encode into " + path;
        return false;
    }
    AVFormatContext* rawFormat = nullptr;
    int status = avformat_alloc_output_context2(&rawFormat, nullptr, "ogg", path.c_str());
    if (status < 0 || rawFormat == nullptr) {
        error = "this FFmpeg cannot write Ogg files: " + avErrorText(status);
        return false;
    }
    AvFormatOutputPtr format(rawFormat);
    format->flags |= AVFMT_FLAG_BITEXACT;
    const AvCodecContextPtr codec = openEncoder(format->oformat, error);
    if (!codec) return false;

    AVStream* stream = avformat_new_stream(format.get(), nullptr);
    if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, codec.get()) < 0) {
        error = "out of memory setting up the Ogg stream";
        return false;
    }
    stream->time_base = codec->time_base;
    status = avio_open(&format->pb, file.c_str(), AVIO_FLAG_WRITE);
    if (status < 0) {
        error = "cannot create " + path + ": " + avErrorText(status);
        return false;
    }
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "serial_offset", kStreamSerial, 0);
    status = avformat_write_header(format.get(), &options);
    av_dict_free(&options);
    if (status < 0) {
        error = "cannot write the Ogg header of " + path + ": " + avErrorText(status);
        return false;
    }
    status = encodeAll(codec.get(), format.get(), stream, samples);
    if (status >= 0) status = av_write_trailer(format.get());
    if (status < 0) {
        error = "cannot encode or write the music to " + path + ": " + avErrorText(status);
        return false;
    }
    status = avio_closep(&format->pb);
    if (status < 0) {
        error = "cannot finish writing " + path + ": " + avErrorText(status);
        return false;
    }
    return true;
}

}  // namespace

bool writeOpus(const std::string& path, const StereoBuffer& audio, std::string& error) {
    if (!encodeOpus(partPath(path), path, audio, error)) {
        discardPart(path);
        return false;
    }
    return commitPart(path, error);
}

}  // namespace assets
