// libavformat's output, libavcodec's encoder set-up and frame loop for the music writers.
#include "tools/assets/music_output.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

#include "tools/assets/file_output.h"
#include "tools/assets/packet_output.h"

namespace assets {

AvFormatOutputPtr makeMusicOutput(const char* muxer, const char* container, const std::string& path,
                                  std::string& error) {
    AVFormatContext* raw = nullptr;
    const int status = avformat_alloc_output_context2(&raw, nullptr, muxer, path.c_str());
    if (status < 0 || raw == nullptr) {
        error = std::string("this FFmpeg cannot write ") + container + " files: " + avErrorText(status);
        return nullptr;
    }
    AvFormatOutputPtr format(raw);
    format->flags |= AVFMT_FLAG_BITEXACT;
    return format;
}

AvCodecContextPtr openStereoEncoder(const AVCodec* encoder, const AVOutputFormat* output,
                                    const StereoEncoding& encoding, std::string& error) {
    AvCodecContextPtr codec(avcodec_alloc_context3(encoder));
    if (!codec) {
        error = std::string("out of memory setting up the ") + encoding.codec + " encoder";
        return nullptr;
    }
    codec->sample_fmt = encoding.sampleFormat;
    codec->sample_rate = encoding.sampleRate;
    codec->bit_rate = encoding.bitRate;
    codec->time_base = AVRational{1, encoding.sampleRate};
    codec->flags |= AV_CODEC_FLAG_BITEXACT;
    const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&codec->ch_layout, &stereo);
    if (output->flags & AVFMT_GLOBALHEADER) codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int status = avcodec_open2(codec.get(), encoder, nullptr);
    if (status < 0) {
        error = std::string("the ") + encoding.codec + " encoder refused " + encoding.rateText + " stereo at " +
                std::to_string(encoding.bitRate) + " bit/s: " + avErrorText(status);
        return nullptr;
    }
    return codec;
}

AVStream* beginMusicFile(AVFormatContext* format, const AVCodecContext* codec, const char* container,
                         const std::string& file, const std::string& path, AVDictionary** options, std::string& error) {
    AVStream* stream = avformat_new_stream(format, nullptr);
    if (stream == nullptr || avcodec_parameters_from_context(stream->codecpar, codec) < 0) {
        error = std::string("out of memory setting up the ") + container + " stream";
        return nullptr;
    }
    stream->time_base = codec->time_base;
    int status = avio_open(&format->pb, file.c_str(), AVIO_FLAG_WRITE);
    if (status < 0) {
        error = "cannot create " + path + ": " + avErrorText(status);
        return nullptr;
    }
    status = avformat_write_header(format, options);
    if (status < 0) {
        error = std::string("cannot write the ") + container + " header of " + path + ": " + avErrorText(status);
        return nullptr;
    }
    return stream;
}

bool encodeMusic(AVCodecContext* codec, AVFormatContext* format, AVStream* stream, std::size_t frames,
                 int fallbackFrameSize, const FrameFill& fill, const std::string& path, std::string& error) {
    AvFramePtr frame(av_frame_alloc());
    AvPacketPtr packet(av_packet_alloc());
    if (!frame || !packet) {
        error = "out of memory encoding the music";
        return false;
    }
    const int frameSize = codec->frame_size > 0 ? codec->frame_size : fallbackFrameSize;
    int status = 0;
    for (std::size_t position = 0; position < frames && status >= 0; position += static_cast<std::size_t>(frameSize)) {
        av_frame_unref(frame.get());
        frame->format = codec->sample_fmt;
        frame->sample_rate = codec->sample_rate;
        // Every frame is full: not every encoder takes a short last frame.
        frame->nb_samples = frameSize;
        av_channel_layout_copy(&frame->ch_layout, &codec->ch_layout);
        status = av_frame_get_buffer(frame.get(), 0);
        if (status < 0) break;
        fill(*frame, position);
        frame->pts = static_cast<std::int64_t>(position);
        status = encodeAndWrite(codec, format, stream, frame.get(), packet.get());
    }
    if (status >= 0) status = encodeAndWrite(codec, format, stream, nullptr, packet.get());
    if (status >= 0) status = av_write_trailer(format);
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

bool writeMusicFile(const std::string& path, std::string& error,
                    const std::function<bool(const std::string& file, std::string& error)>& encode) {
    if (!encode(partPath(path), error)) {
        discardPart(path);
        return false;
    }
    return commitPart(path, error);
}

}  // namespace assets
