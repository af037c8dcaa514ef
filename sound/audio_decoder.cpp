// FFmpeg decoding of a whole sound file: demux the best audio stream, decode every packet,
// convert each frame to interleaved signed 16-bit at the stream's first rate. FFmpeg's own
// messages are routed into our reports, at most one line per file.
#include "sound/audio_decoder.h"

#include <cstdarg>
#include <cstdio>
#include <string_view>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
}

#include "base/av_util.h"
#include "base/report.h"

namespace sound {

namespace {

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
            error = avErrorText(room);
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
            error = "cannot convert the audio: " + avErrorText(code);
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
            error = "cannot convert the audio: " + avErrorText(made);
            return false;
        }
        sample.pcm.resize(before + static_cast<std::size_t>(made) * static_cast<std::size_t>(sample.channels));
        return true;
    }

    SwrContextPtr resampler_;
    AVChannelLayout layout_{};
    int format_ = -1;
    int rate_ = 0;
};

// What FFmpeg says on this thread while one file decodes, kept to be told in one line.
struct Messages {
    std::string first;
    int count = 0;
    bool lineOpen = false;  // the last piece did not end its line; the next one continues it
};

thread_local Messages* currentMessages = nullptr;

std::string_view trimmed(std::string_view text) {
    const auto start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t\r\n") - start + 1);
}

// A message of several lines still makes one line of ours.
std::string oneLine(std::string_view text) {
    std::string line(trimmed(text));
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    return line;
}

void routeMessage(void*, int level, const char* format, va_list arguments) {
    if (level < 0) return;  // AV_LOG_QUIET
    level &= 0xff;          // the rest is colour
    // FFmpeg leaves the level check to the callback, so a program's av_log_set_level still holds.
    if (level > AV_LOG_WARNING || level > av_log_get_level()) return;
    char buffer[1024];
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    const std::string_view piece(buffer);
    const std::string_view text = trimmed(piece);
    Messages* messages = currentMessages;
    if (messages != nullptr) {
        if (messages->lineOpen) {
            if (messages->count == 1) messages->first += piece;
        } else if (!text.empty()) {
            if (++messages->count == 1) messages->first = piece;
        }
        messages->lineOpen = messages->count > 0 && !piece.empty() && piece.back() != '\n';
        return;
    }
    if (level <= AV_LOG_ERROR && !text.empty()) base::report(base::Level::kError, "ffmpeg: " + oneLine(text));
}

// FFmpeg's own stderr lines would bypass our one reporting path; set once for the process.
void routeFfmpegMessages() {
    [[maybe_unused]] static const bool routed = [] {
        av_log_set_callback(routeMessage);
        return true;
    }();
}

// Collects this thread's FFmpeg messages while it lives, those of opening the file apart
// from those of decoding it.
class MessageCollection {
public:
    MessageCollection() : previous_(currentMessages) { currentMessages = &opening_; }
    ~MessageCollection() { currentMessages = previous_; }
    MessageCollection(const MessageCollection&) = delete;
    MessageCollection& operator=(const MessageCollection&) = delete;

    // Probing says things of whole files that decode well (a duration only estimated, say),
    // so only what comes after counts as damage.
    void startDecoding() { currentMessages = &decoding_; }

    // The first message of decoding, or failing that of opening; empty when there was none.
    std::string first() const { return oneLine(decoding_.count > 0 ? decoding_.first : opening_.first); }
    int decodingCount() const { return decoding_.count; }

private:
    Messages opening_;
    Messages decoding_;
    Messages* previous_;
};

// `damage` gets the first decoding error of packets that were skipped.
bool decodeInto(const char* path, Sample& sample, std::string& error, std::string& damage,
                MessageCollection& messages) {
    AVFormatContext* rawFormat = nullptr;
    int code = avformat_open_input(&rawFormat, path, nullptr, nullptr);
    if (code < 0) {
        error = avErrorText(code);
        return false;
    }
    AvFormatInputPtr format(rawFormat);
    code = avformat_find_stream_info(format.get(), nullptr);
    if (code < 0) {
        error = "unreadable stream: " + avErrorText(code);
        return false;
    }
    messages.startDecoding();
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream < 0) {
        error = stream == AVERROR_STREAM_NOT_FOUND    ? "the file holds no audio"
                : stream == AVERROR_DECODER_NOT_FOUND ? "no decoder for its audio"
                                                      : avErrorText(stream);
        return false;
    }

    AvCodecContextPtr decoder(avcodec_alloc_context3(codec));
    AvPacketPtr packet(av_packet_alloc());
    AvFramePtr frame(av_frame_alloc());
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
        error = "cannot start the " + std::string(codec->name) + " decoder: " + avErrorText(code);
        return false;
    }

    Converter converter;
    auto receive = [&]() -> bool {
        for (;;) {
            const int got = avcodec_receive_frame(decoder.get(), frame.get());
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
            if (got < 0) {
                if (damage.empty()) damage = avErrorText(got);
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
            if (sent < 0 && sent != AVERROR(EAGAIN) && damage.empty()) damage = avErrorText(sent);
        }
        av_packet_unref(packet.get());
        if (!receive()) return false;
    }
    if (code != AVERROR_EOF && damage.empty()) damage = avErrorText(code);
    avcodec_send_packet(decoder.get(), nullptr);
    if (!receive() || !converter.flush(sample, error)) return false;

    if (sample.frames() == 0) {
        error = damage.empty() ? "the file holds no audio" : "no audio could be decoded: " + damage;
        return false;
    }
    return true;
}

}  // namespace

bool decodeAudioFile(const char* path, Sample& sample, std::string& error) {
    sample.pcm.clear();
    sample.rate = 0;
    sample.channels = 0;
    if (path == nullptr || *path == '\0') {
        error = "no file name";
        return false;
    }
    routeFfmpegMessages();
    MessageCollection messages;
    std::string damage;
    if (!decodeInto(path, sample, error, damage, messages)) {
        if (const std::string first = messages.first(); !first.empty()) error += " (" + first + ")";
        return false;
    }
    const int count = messages.decodingCount();
    if (count > 0) {
        const std::string more = count > 1 ? " (and " + std::to_string(count - 1) + " more)" : "";
        base::reportf(base::Level::kWarning, "cannot decode \"%s\" cleanly: %s%s", path, messages.first().c_str(),
                      more.c_str());
    } else if (!damage.empty()) {
        base::reportf(base::Level::kWarning, "cannot decode \"%s\" cleanly: %s", path, damage.c_str());
    }
    return true;
}

}  // namespace sound
