// Pictures go BGR -> YUV 4:2:0 (BT.709, limited range) through libswscale; the sound is
// resampled and reframed through libswresample for what each audio encoder takes.
#include "tools/capture/output/media_writer.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "base/av_util.h"
#include "tools/capture/output/staged_output.h"
#include "tools/capture/output/system_errors.h"
#include "tools/capture/plan/frames.h"
#include "tools/capture/plan/segments.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

struct Formats {
    const char* muxer;
    const char* video;
    const char* audio;
};

Formats formatsOf(OutputKind kind) {
    switch (kind) {
        case OutputKind::kMkv: return {"matroska", "libx264", "aac"};
        case OutputKind::kWebM: return {"webm", "libvpx-vp9", "libopus"};
        default: return {"mp4", "libx264", "aac"};
    }
}

// Chosen for a 2-core machine where rendering keeps both cores busy: the cheapest settings
// (measured against rendering alone), on one thread that takes the CPU rendering leaves.
void setVideoOptions(const char* encoder, AVDictionary** options) {
    av_dict_set(options, "threads", "1", 0);
    if (std::strcmp(encoder, "libx264") == 0) {
        av_dict_set(options, "preset", "ultrafast", 0);
        av_dict_set(options, "crf", "23", 0);
    } else {
        av_dict_set(options, "deadline", "realtime", 0);
        av_dict_set(options, "cpu-used", "8", 0);
        av_dict_set(options, "row-mt", "1", 0);
        av_dict_set(options, "crf", "30", 0);
        av_dict_set(options, "b", "0", 0);
    }
}

// System errors in our own words (a full disk, the file size limit), FFmpeg's own in its.
std::string writeErrorText(int result) {
    constexpr int kLargestErrno = 4095;
    return result < 0 && result >= -kLargestErrno ? errnoText(AVUNERROR(result)) : avErrorText(result);
}

int pickSampleRate(const AVCodec* codec) {
    if (codec->supported_samplerates == nullptr) return kCaptureSampleRate;
    int first = 0;
    bool has48k = false;
    for (const int* rate = codec->supported_samplerates; *rate != 0; ++rate) {
        if (*rate == kCaptureSampleRate) return *rate;
        if (*rate == 48000) has48k = true;
        if (first == 0) first = *rate;
    }
    return has48k ? 48000 : first;
}

AVSampleFormat pickSampleFormat(const AVCodec* codec) {
    if (codec->sample_fmts == nullptr) return AV_SAMPLE_FMT_S16;
    for (const AVSampleFormat* format = codec->sample_fmts; *format != AV_SAMPLE_FMT_NONE; ++format)
        if (*format == AV_SAMPLE_FMT_S16) return *format;
    return codec->sample_fmts[0];
}

class MediaWriter : public FrameWriter, public PacketWriter {
public:
    ~MediaWriter() override {
        if (format_ != nullptr) {
            if (format_->pb != nullptr) avio_closep(&format_->pb);
            avformat_free_context(format_);
        }
        sws_freeContext(scaler_);
        swr_free(&resampler_);
        if (fifo_ != nullptr) av_audio_fifo_free(fifo_);
        if (converted_ != nullptr) av_freep(&converted_[0]);
        av_freep(&converted_);
    }

    // With `copiedVideo` the pictures come encoded; a segment has no sound.
    bool open(const WriterSettings& settings, const AVCodecParameters* copiedVideo, std::string& error) {
        target_ = settings.output.string();
        file_ = StagedFile::create(settings.output, error);
        if (!file_) return false;
        const Formats formats = formatsOf(settings.kind);
        const int result = avformat_alloc_output_context2(&format_, nullptr, formats.muxer, file_->temporary().c_str());
        if (result < 0 || format_ == nullptr) {
            error = std::string("this FFmpeg cannot write ") + formats.muxer + ": " + avErrorText(result);
            return false;
        }
        packet_.reset(av_packet_alloc());
        if (!packet_) return outOfMemory(error);
        const bool videoOpen = copiedVideo != nullptr ? copyVideo(settings, *copiedVideo, error)
                                                      : openVideo(settings, formats.video, error);
        if (!videoOpen || (!settings.segment && !openAudio(formats.audio, error))) return false;
        if (settings.segment) av_dict_set(&format_->metadata, kSegmentTag, settings.segment->c_str(), 0);

        if (const int opened = avio_open(&format_->pb, file_->temporary().c_str(), AVIO_FLAG_WRITE); opened < 0) {
            error = "cannot write " + target_ + ": " + writeErrorText(opened);
            return false;
        }
        AVDictionary* muxerOptions = nullptr;
        if (settings.kind == OutputKind::kMp4) av_dict_set(&muxerOptions, "movflags", "+faststart", 0);
        const int written = avformat_write_header(format_, &muxerOptions);
        av_dict_free(&muxerOptions);
        if (written < 0) {
            error = "cannot write " + target_ + ": " + writeErrorText(written);
            return false;
        }
        return true;
    }

    // BGR is what libswscale converts to YUV 4:2:0 without a scaling pass: a third of the
    // time RGBA takes, on a CPU that rendering already keeps busy.
    PixelOrder pixelOrder() const override { return PixelOrder::kBgr; }

    bool write(const CapturedFrame& frame, std::string& error) override {
        if (const int result = av_frame_make_writable(videoFrame_.get()); result < 0) return outOfMemory(error);
        // GL gives rows bottom first: start at the last row and step backwards.
        const int stride = video_->width * 3;
        const std::uint8_t* top = frame.pixels.data() + static_cast<std::ptrdiff_t>(video_->height - 1) * stride;
        const int negativeStride = -stride;
        sws_scale(scaler_, &top, &negativeStride, 0, video_->height, videoFrame_->data, videoFrame_->linesize);
        videoFrame_->pts = videoPts_++;
        if (!encode(video_.get(), videoStream_, videoFrame_.get(), error)) return false;
        return writeSound(frame.audio.data(), frame.audioFrames, error);
    }

    bool writeVideo(AVPacket& packet, std::string& error) override {
        av_packet_rescale_ts(&packet, {1, fps_}, videoStream_->time_base);
        packet.stream_index = videoStream_->index;
        if (const int result = av_interleaved_write_frame(format_, &packet); result < 0) {
            error = "cannot write " + target_ + ": " + writeErrorText(result);
            return false;
        }
        return true;
    }

    bool writeSound(const std::int16_t* samples, int frames, std::string& error) override {
        if (!audio_) return true;
        if (frames > 0) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(samples);
            if (!resample(&bytes, frames, error)) return false;
        }
        return encodeAudio(false, error);
    }

    bool finish(std::string& error) override {
        if (audio_ && (!resample(nullptr, 0, error) || !encodeAudio(true, error) ||
                       !encode(audio_.get(), audioStream_, nullptr, error)))
            return false;
        if (video_ && !encode(video_.get(), videoStream_, nullptr, error)) return false;
        if (const int result = av_write_trailer(format_); result < 0) {
            error = "cannot finish " + target_ + ": " + writeErrorText(result);
            return false;
        }
        if (const int result = avio_closep(&format_->pb); result < 0) {
            error = "cannot finish " + target_ + ": " + writeErrorText(result);
            return false;
        }
        return file_->commit(error);
    }

private:
    bool outOfMemory(std::string& error) {
        error = "out of memory while writing " + target_;
        return false;
    }

    bool copyVideo(const WriterSettings& settings, const AVCodecParameters& parameters, std::string& error) {
        videoStream_ = avformat_new_stream(format_, nullptr);
        if (videoStream_ == nullptr || avcodec_parameters_copy(videoStream_->codecpar, &parameters) < 0)
            return outOfMemory(error);
        videoStream_->codecpar->codec_tag = 0;  // the tag of the segments' container, not of this one
        fps_ = settings.fps;
        videoStream_->time_base = {1, settings.fps};
        videoStream_->avg_frame_rate = {settings.fps, 1};
        videoStream_->r_frame_rate = {settings.fps, 1};
        return true;
    }

    // The encoder `name` with a stream of its own and a frame to fill, started once `configure`
    // has set it up. False with `error` set.
    bool startEncoder(const char* name, AvCodecContextPtr& context, AVStream*& stream, AvFramePtr& frame,
                      const std::function<void(const AVCodec&, AVCodecContext&)>& configure, AVDictionary** options,
                      std::string& error) {
        const AVCodec* codec = avcodec_find_encoder_by_name(name);
        if (codec == nullptr) {
            error = std::string("this FFmpeg has no ") + name + " encoder";
            return false;
        }
        context.reset(avcodec_alloc_context3(codec));
        stream = avformat_new_stream(format_, nullptr);
        frame.reset(av_frame_alloc());
        if (!context || stream == nullptr || !frame) return outOfMemory(error);
        configure(*codec, *context);
        if ((format_->oformat->flags & AVFMT_GLOBALHEADER) != 0) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (const int result = avcodec_open2(context.get(), codec, options); result < 0) {
            error = std::string("cannot start the ") + name + " encoder: " + avErrorText(result);
            return false;
        }
        if (avcodec_parameters_from_context(stream->codecpar, context.get()) < 0) return outOfMemory(error);
        stream->time_base = context->time_base;
        return true;
    }

    bool openVideo(const WriterSettings& settings, const char* name, std::string& error) {
        AVDictionary* options = nullptr;
        setVideoOptions(name, &options);
        const bool started = startEncoder(
            name, video_, videoStream_, videoFrame_,
            [&settings](const AVCodec&, AVCodecContext& c) {
                c.width = settings.width;
                c.height = settings.height;
                c.pix_fmt = AV_PIX_FMT_YUV420P;
                c.time_base = {1, settings.fps};
                c.framerate = {settings.fps, 1};
                c.gop_size = 2 * settings.fps;  // a key frame every two seconds keeps seeking quick
                c.color_range = AVCOL_RANGE_MPEG;
                c.colorspace = AVCOL_SPC_BT709;
                c.color_primaries = AVCOL_PRI_BT709;
                c.color_trc = AVCOL_TRC_BT709;
            },
            &options, error);
        av_dict_free(&options);
        if (!started) return false;
        const AVCodecContext& c = *video_;
        videoStream_->avg_frame_rate = c.framerate;
        videoStream_->r_frame_rate = c.framerate;
        videoFrame_->width = c.width;
        videoFrame_->height = c.height;
        videoFrame_->format = c.pix_fmt;
        if (av_frame_get_buffer(videoFrame_.get(), 0) < 0) return outOfMemory(error);
        scaler_ = sws_getContext(c.width, c.height, AV_PIX_FMT_BGR24, c.width, c.height, AV_PIX_FMT_YUV420P,
                                 SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (scaler_ == nullptr) {
            error = "cannot convert BGR to YUV 4:2:0 at this size";
            return false;
        }
        sws_setColorspaceDetails(scaler_, sws_getCoefficients(SWS_CS_DEFAULT), 1, sws_getCoefficients(SWS_CS_ITU709), 0,
                                 0, 1 << 16, 1 << 16);
        return true;
    }

    bool openAudio(const char* name, std::string& error) {
        const bool started = startEncoder(
            name, audio_, audioStream_, audioFrame_,
            [](const AVCodec& codec, AVCodecContext& c) {
                c.sample_fmt = pickSampleFormat(&codec);
                c.sample_rate = pickSampleRate(&codec);
                av_channel_layout_default(&c.ch_layout, kCaptureChannels);
                c.bit_rate = codec.id == AV_CODEC_ID_OPUS ? 128000 : 192000;
                c.time_base = {1, c.sample_rate};
            },
            nullptr, error);
        if (!started) return false;
        AVCodecContext& c = *audio_;
        const AVCodec* codec = c.codec;
        const bool anySize = (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) != 0 || c.frame_size <= 0;
        audioFrameSize_ = anySize ? 1024 : c.frame_size;
        shortLastFrame_ = anySize || (codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) != 0;
        audioFrame_->nb_samples = audioFrameSize_;
        audioFrame_->format = c.sample_fmt;
        audioFrame_->sample_rate = c.sample_rate;
        if (av_channel_layout_copy(&audioFrame_->ch_layout, &c.ch_layout) < 0 ||
            av_frame_get_buffer(audioFrame_.get(), 0) < 0)
            return outOfMemory(error);

        AVChannelLayout stereo{};
        av_channel_layout_default(&stereo, kCaptureChannels);
        const int made = swr_alloc_set_opts2(&resampler_, &c.ch_layout, c.sample_fmt, c.sample_rate, &stereo,
                                             AV_SAMPLE_FMT_S16, kCaptureSampleRate, 0, nullptr);
        av_channel_layout_uninit(&stereo);
        if (made < 0 || swr_init(resampler_) < 0) {
            error = "cannot convert the sound for the " + std::string(name) + " encoder";
            return false;
        }
        fifo_ = av_audio_fifo_alloc(c.sample_fmt, kCaptureChannels, 4 * audioFrameSize_);
        if (fifo_ == nullptr) return outOfMemory(error);
        return true;
    }

    // Converts stereo 16-bit samples into the encoder's format and rate, queued for whole
    // encoder frames; null input drains what the resampler holds back.
    bool resample(const std::uint8_t** samples, int frames, std::string& error) {
        const int room = swr_get_out_samples(resampler_, frames);
        if (room < 0) return outOfMemory(error);
        if (room > convertedRoom_) {
            if (converted_ != nullptr) av_freep(&converted_[0]);
            av_freep(&converted_);
            if (av_samples_alloc_array_and_samples(&converted_, nullptr, kCaptureChannels, room, audio_->sample_fmt,
                                                   0) < 0)
                return outOfMemory(error);
            convertedRoom_ = room;
        }
        const int got = swr_convert(resampler_, converted_, room, samples, frames);
        if (got < 0) {
            error = "cannot convert the sound: " + avErrorText(got);
            return false;
        }
        if (got > 0 && av_audio_fifo_write(fifo_, reinterpret_cast<void**>(converted_), got) < got)
            return outOfMemory(error);
        return true;
    }

    // Encodes every whole frame of queued sound; at the end also the rest, as a short or
    // silence-padded last frame.
    bool encodeAudio(bool last, std::string& error) {
        while (av_audio_fifo_size(fifo_) >= audioFrameSize_ || (last && av_audio_fifo_size(fifo_) > 0)) {
            if (av_frame_make_writable(audioFrame_.get()) < 0) return outOfMemory(error);
            const int count = std::min(audioFrameSize_, av_audio_fifo_size(fifo_));
            av_audio_fifo_read(fifo_, reinterpret_cast<void**>(audioFrame_->data), count);
            if (count < audioFrameSize_) {
                if (shortLastFrame_) {
                    audioFrame_->nb_samples = count;
                } else {
                    av_samples_set_silence(audioFrame_->data, count, audioFrameSize_ - count, kCaptureChannels,
                                           audio_->sample_fmt);
                }
            }
            audioFrame_->pts = audioPts_;
            audioPts_ += audioFrame_->nb_samples;
            const bool ok = encode(audio_.get(), audioStream_, audioFrame_.get(), error);
            audioFrame_->nb_samples = audioFrameSize_;
            if (!ok) return false;
        }
        return true;
    }

    // Sends one frame (null: the end) and writes every packet the encoder has ready.
    bool encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame, std::string& error) {
        int result = avcodec_send_frame(codec, frame);
        while (result >= 0) {
            result = avcodec_receive_packet(codec, packet_.get());
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
            if (result < 0) break;
            av_packet_rescale_ts(packet_.get(), codec->time_base, stream->time_base);
            packet_->stream_index = stream->index;
            result = av_interleaved_write_frame(format_, packet_.get());
            if (result < 0) {
                error = "cannot write " + target_ + ": " + writeErrorText(result);
                return false;
            }
        }
        error = std::string("cannot encode with ") + codec->codec->name + ": " + avErrorText(result);
        return false;
    }

    std::string target_;
    std::unique_ptr<StagedFile> file_;
    AVFormatContext* format_ = nullptr;
    AvCodecContextPtr video_;
    AvCodecContextPtr audio_;
    AVStream* videoStream_ = nullptr;
    AVStream* audioStream_ = nullptr;
    AvFramePtr videoFrame_;
    AvFramePtr audioFrame_;
    AvPacketPtr packet_;
    SwsContext* scaler_ = nullptr;
    SwrContext* resampler_ = nullptr;
    AVAudioFifo* fifo_ = nullptr;
    std::uint8_t** converted_ = nullptr;
    int convertedRoom_ = 0;
    int audioFrameSize_ = 1024;
    bool shortLastFrame_ = false;
    std::int64_t videoPts_ = 0;
    std::int64_t audioPts_ = 0;
    int fps_ = 50;
};

}  // namespace

std::unique_ptr<FrameWriter> openMediaWriter(const WriterSettings& settings, std::string& error) {
    auto writer = std::make_unique<MediaWriter>();
    if (!writer->open(settings, nullptr, error)) return nullptr;
    return writer;
}

std::unique_ptr<PacketWriter> openPacketWriter(const WriterSettings& settings, const AVCodecParameters& video,
                                               std::string& error) {
    auto writer = std::make_unique<MediaWriter>();
    if (!writer->open(settings, &video, error)) return nullptr;
    return writer;
}
