// FFmpeg decoding of a whole sound file: demux the best audio stream, decode every packet,
// convert each frame to interleaved signed 16-bit at the stream's first rate. FFmpeg's own
// messages are routed into our reports, at most one line per file.
#include "sound/audio_decoder.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <memory>
#include <string_view>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
}

#include "base/av_util.h"
#include "base/report.h"
#include "sound/decode_start.h"

namespace sound {

namespace {

// Converts decoded frames of any layout, format and rate to the output chosen at the
// first frame; rebuilds the converter when the stream's format changes mid-way.
class Converter {
public:
    explicit Converter(int maxSeconds) : maxSeconds_(maxSeconds) {}
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
        // Counted here, as the frames may already have been handed on from `sample`.
        const std::int64_t limit = static_cast<std::int64_t>(maxSeconds_) * sample.rate;
        if (made_ + room > limit) {
            error = maxSeconds_ >= 60 ? "the sound is longer than " + std::to_string(maxSeconds_ / 60) + " minutes"
                                      : "the sound is longer than " + std::to_string(maxSeconds_) + " seconds";
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
        made_ += made;
        return true;
    }

    int maxSeconds_;
    std::int64_t made_ = 0;
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

// FFmpeg's messages about one file, those of opening it apart from those of decoding it;
// collected on whichever thread holds a Scope on it (first the loading one, then the worker).
class MessageCollection {
public:
    class Scope {
    public:
        explicit Scope(MessageCollection& messages) : previous_(currentMessages) {
            currentMessages = messages.current_;
        }
        ~Scope() { currentMessages = previous_; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        Messages* previous_;
    };

    MessageCollection() = default;
    MessageCollection(const MessageCollection&) = delete;
    MessageCollection& operator=(const MessageCollection&) = delete;

    // Probing says things of whole files that decode well (a duration only estimated, say),
    // so only what comes after counts as damage. Called inside a Scope.
    void startDecoding() {
        current_ = &decoding_;
        currentMessages = current_;
    }

    // The first message of decoding, or failing that of opening; empty when there was none.
    std::string first() const { return oneLine(decoding_.count > 0 ? decoding_.first : opening_.first); }
    int decodingCount() const { return decoding_.count; }

private:
    Messages opening_;
    Messages decoding_;
    Messages* current_ = &opening_;
};

enum class Step { kMore, kEnd, kFailed };

// One file being decoded, a packet at a time, appending to a sample's pcm.
class FileDecoder {
public:
    explicit FileDecoder(int maxSeconds) : converter_(maxSeconds) {}

    bool open(const char* path, std::string& error, MessageCollection& messages) {
        AVFormatContext* rawFormat = nullptr;
        int code = avformat_open_input(&rawFormat, path, nullptr, nullptr);
        if (code < 0) {
            error = avErrorText(code);
            return false;
        }
        format_.reset(rawFormat);
        code = avformat_find_stream_info(format_.get(), nullptr);
        if (code < 0) {
            error = "unreadable stream: " + avErrorText(code);
            return false;
        }
        messages.startDecoding();
        const AVCodec* codec = nullptr;
        stream_ = av_find_best_stream(format_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (stream_ < 0) {
            error = stream_ == AVERROR_STREAM_NOT_FOUND    ? "the file holds no audio"
                    : stream_ == AVERROR_DECODER_NOT_FOUND ? "no decoder for its audio"
                                                           : avErrorText(stream_);
            return false;
        }
        decoder_.reset(avcodec_alloc_context3(codec));
        packet_.reset(av_packet_alloc());
        frame_.reset(av_frame_alloc());
        if (!decoder_ || !packet_ || !frame_) {
            error = "out of memory";
            return false;
        }
        code = avcodec_parameters_to_context(decoder_.get(), format_->streams[stream_]->codecpar);
        if (code >= 0) {
            decoder_->pkt_timebase = format_->streams[stream_]->time_base;
            code = avcodec_open2(decoder_.get(), codec, nullptr);
        }
        if (code < 0) {
            error = "cannot start the " + std::string(codec->name) + " decoder: " + avErrorText(code);
            return false;
        }
        return true;
    }

    // Reads one packet into `sample`; at the end, drains the decoder and the converter.
    Step next(Sample& sample, std::string& error) {
        const int code = av_read_frame(format_.get(), packet_.get());
        if (code >= 0) {
            if (packet_->stream_index == stream_) {
                const int sent = avcodec_send_packet(decoder_.get(), packet_.get());
                if (sent < 0 && sent != AVERROR(EAGAIN) && damage_.empty()) damage_ = avErrorText(sent);
            }
            av_packet_unref(packet_.get());
            return receive(sample, error) ? Step::kMore : Step::kFailed;
        }
        // The end, or a read error: keep what was decoded.
        if (code != AVERROR_EOF && damage_.empty()) damage_ = avErrorText(code);
        avcodec_send_packet(decoder_.get(), nullptr);
        if (!receive(sample, error) || !converter_.flush(sample, error)) return Step::kFailed;
        return Step::kEnd;
    }

    // The first decoding error of packets that were skipped.
    const std::string& damage() const { return damage_; }

private:
    bool receive(Sample& sample, std::string& error) {
        for (;;) {
            const int got = avcodec_receive_frame(decoder_.get(), frame_.get());
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
            if (got < 0) {
                if (damage_.empty()) damage_ = avErrorText(got);
                return true;
            }
            const bool ok = converter_.add(*frame_, sample, error);
            av_frame_unref(frame_.get());
            if (!ok) return false;
        }
    }

    AvFormatInputPtr format_;
    AvCodecContextPtr decoder_;
    AvPacketPtr packet_;
    AvFramePtr frame_;
    int stream_ = -1;
    Converter converter_;
    std::string damage_;
};

void reportDamage(const char* path, const MessageCollection& messages, const std::string& damage) {
    const int count = messages.decodingCount();
    if (count > 0) {
        const std::string more = count > 1 ? " (and " + std::to_string(count - 1) + " more)" : "";
        base::reportf(base::Level::kWarning, "cannot decode \"%s\" cleanly: %s%s", path, messages.first().c_str(),
                      more.c_str());
    } else if (!damage.empty()) {
        base::reportf(base::Level::kWarning, "cannot decode \"%s\" cleanly: %s", path, damage.c_str());
    }
}

std::string withFirstMessage(const std::string& error, const MessageCollection& messages) {
    const std::string first = messages.first();
    return first.empty() ? error : error + " (" + first + ")";
}

// Everything a load needs past its first part; shared with the worker that finishes it.
struct Load {
    explicit Load(const char* file, int maxSeconds) : path(file), decoder(maxSeconds) {}
    std::string path;
    MessageCollection messages;
    FileDecoder decoder;

    // Decodes into `sample` until the end, a failure, or `frames` frames.
    Step decode(Sample& sample, std::int64_t frames, std::string& error) {
        for (;;) {
            const Step step = decoder.next(sample, error);
            if (step != Step::kMore) return step;
            if (sample.rate > 0 && sample.frames() >= frames) return Step::kMore;
        }
    }

    // The worker: the rest of the file, into the stream a packet at a time.
    void finish(SampleStream& stream, int rate) {
        MessageCollection::Scope scope(messages);
        Sample part;
        part.rate = rate;
        part.channels = stream.channels();
        std::string error;
        for (;;) {
            part.pcm.clear();
            const Step step = decoder.next(part, error);
            if (!part.pcm.empty() && !stream.append(part.pcm.data(), part.frames())) break;  // cancelled
            if (step == Step::kEnd) {
                reportDamage(path.c_str(), messages, decoder.damage());
                break;
            }
            if (step == Step::kFailed) {
                // The sound ends where decoding stopped, and this is its only report.
                const double seconds = static_cast<double>(stream.decodedFrames()) / rate;
                base::reportf(base::Level::kError, "cannot decode \"%s\" past %.1f s, where it ends: %s", path.c_str(),
                              seconds, withFirstMessage(error, messages).c_str());
                break;
            }
            if (stream.cancelled()) break;
        }
        stream.finish();
    }
};

bool checkPath(const char* path, Sample& sample, std::string& error) {
    if (!startDecoding(path, sample, error)) return false;
    routeFfmpegMessages();
    return true;
}

bool decodeStart(const char* path, Sample& sample, std::string& error, double firstSeconds, int maxSeconds) {
    if (!checkPath(path, sample, error)) return false;
    auto load = std::make_shared<Load>(path, maxSeconds);
    {
        MessageCollection::Scope scope(load->messages);
        std::int64_t first = INT64_MAX;
        Step step = Step::kFailed;
        if (load->decoder.open(path, error, load->messages)) {
            // The rate is known only from the first decoded frame on.
            step = load->decode(sample, 1, error);
            if (std::isfinite(firstSeconds)) first = static_cast<std::int64_t>(std::ceil(firstSeconds * sample.rate));
            if (step == Step::kMore) step = load->decode(sample, first, error);
        }
        if (step == Step::kFailed) {
            error = withFirstMessage(error, load->messages);
            sample.pcm.clear();
            return false;
        }
        if (step == Step::kEnd) {
            if (sample.frames() == 0) {
                const std::string& damage = load->decoder.damage();
                error = damage.empty() ? "the file holds no audio" : "no audio could be decoded: " + damage;
                error = withFirstMessage(error, load->messages);
                return false;
            }
            reportDamage(path, load->messages, load->decoder.damage());
            return true;
        }
    }
    auto stream = std::make_shared<SampleStream>(sample.channels, static_cast<std::int64_t>(maxSeconds) * sample.rate);
    stream->append(sample.pcm.data(), sample.frames());
    sample.pcm = {};
    sample.stream = stream;
    const int rate = sample.rate;
    stream->start([load, rate](SampleStream& into) { load->finish(into, rate); });
    return true;
}

}  // namespace

bool decodeAudioFile(const char* path, Sample& sample, std::string& error) {
    return decodeStart(path, sample, error, std::numeric_limits<double>::infinity(), kMaxSampleSeconds);
}

bool decodeAudioFileStreamed(const char* path, Sample& sample, std::string& error, double firstSeconds,
                             int maxSeconds) {
    return decodeStart(path, sample, error, firstSeconds, maxSeconds);
}

}  // namespace sound
