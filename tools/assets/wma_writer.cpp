// libavcodec's wmav2 encoder into libavformat's ASF muxer.
#include "tools/assets/wma_writer.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include <algorithm>

#include "base/av_util.h"
#include "tools/assets/file_output.h"
#include "tools/assets/packet_output.h"

namespace assets {

namespace {

// Encodes into `file`, naming `path` in messages; everything is closed on return.
bool encodeWma(const std::string& file, const std::string& path, const StereoBuffer& audio, std::string& error) {
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (encoder == nullptr) {
        error = "this FFmpeg has no WMA version 2 (wmav2) encoder";
        return false;
    }
    AVFormatContext* rawFormat = nullptr;
    int status = avformat_alloc_output_context2(&rawFormat, nullptr, "asf", path.c_str());
    if (status < 0 || rawFormat == nullptr) {
        error = "this FFmpeg cannot write ASF files: " + avErrorText(status);
        return false;
    }
    AvFormatOutputPtr format(rawFormat);
    format->flags |= AVFMT_FLAG_BITEXACT;

    AvCodecContextPtr codec(avcodec_alloc_context3(encoder));
    if (!codec) {
        error = "out of memory setting up the WMA encoder";
        return false;
    }
    codec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    codec->sample_rate = kSampleRate;
    codec->bit_rate = kWmaBitRate;
    codec->time_base = AVRational{1, kSampleRate};
    codec->flags |= AV_CODEC_FLAG_BITEXACT;
    const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&codec->ch_layout, &stereo);
    if (format->oformat->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    status = avcodec_open2(codec.get(), encoder, nullptr);
    if (status < 0) {
        error = "the WMA encoder refused 22050 Hz stereo at " + std::to_string(kWmaBitRate) +
                " bit/s: " + avErrorText(status);
        return false;
    }

    AVStream* stream = avformat_new_stream(format.get(), nullptr);
    if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, codec.get()) < 0) {
        error = "out of memory setting up the ASF stream";
        return false;
    }
    stream->time_base = codec->time_base;

    status = avio_open(&format->pb, file.c_str(), AVIO_FLAG_WRITE);
    if (status < 0) {
        error = "cannot create " + path + ": " + avErrorText(status);
        return false;
    }
    status = avformat_write_header(format.get(), nullptr);
    if (status < 0) {
        error = "cannot write the ASF header of " + path + ": " + avErrorText(status);
        return false;
    }

    AvFramePtr frame(av_frame_alloc());
    AvPacketPtr packet(av_packet_alloc());
    if (!frame || !packet) {
        error = "out of memory encoding the music";
        return false;
    }
    const int frameSize = codec->frame_size > 0 ? codec->frame_size : 2048;
    // FFmpeg's decoder gives its output `initial_padding` samples early (the first block only
    // primes the transform), so that much silence goes first and the music decodes in time
    // with the show's clock.
    const auto lead = static_cast<std::size_t>(std::max(codec->initial_padding, 0));
    const std::size_t total = lead + audio.frames();
    for (std::size_t position = 0; position < total && status >= 0; position += static_cast<std::size_t>(frameSize)) {
        av_frame_unref(frame.get());
        frame->format = codec->sample_fmt;
        frame->sample_rate = codec->sample_rate;
        // Every frame is full: the encoder takes no short last frame, so the end is padded with silence.
        frame->nb_samples = frameSize;
        av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
        status = av_frame_get_buffer(frame.get(), 0);
        if (status < 0) break;
        auto* left = reinterpret_cast<float*>(frame->data[0]);
        auto* right = reinterpret_cast<float*>(frame->data[1]);
        for (std::size_t i = 0; i < static_cast<std::size_t>(frameSize); ++i) {
            const std::size_t at = position + i;
            const bool music = at >= lead && at < total;
            left[i] = music ? audio.left[at - lead] : 0.0f;
            right[i] = music ? audio.right[at - lead] : 0.0f;
        }
        frame->pts = static_cast<std::int64_t>(position);
        status = encodeAndWrite(codec.get(), format.get(), stream, frame.get(), packet.get());
    }
    if (status >= 0) status = encodeAndWrite(codec.get(), format.get(), stream, nullptr, packet.get());
    if (status >= 0) status = av_write_trailer(format.get());
    if (status < 0) {
        error = "cannot encode or write the music to " + path + ": " + avErrorText(status);
        return false;
    }
    // Closing flushes the last bytes; report a full disk here too.
    status = avio_closep(&format->pb);
    if (status < 0) {
        error = "cannot finish writing " + path + ": " + avErrorText(status);
        return false;
    }
    return true;
}

}  // namespace

bool writeWma(const std::string& path, const StereoBuffer& audio, std::string& error) {
    if (!encodeWma(partPath(path), path, audio, error)) {
        discardPart(path);
        return false;
    }
    return commitPart(path, error);
}

}  // namespace assets
