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
#include "tools/assets/music_output.h"

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
    AvCodecContextPtr codec =
        openStereoEncoder(encoder, container, {AV_SAMPLE_FMT_FLT, kOpusRate, kOpusBitRate, "Opus", "48 kHz"}, error);
    if (!codec) return nullptr;
    if (codec->extradata == nullptr || codec->extradata_size < 19 ||
        std::memcmp(codec->extradata, "OpusHead", 8) != 0) {
        error = "the Opus encoder gave no identification header";
        return nullptr;
    }
    for (std::size_t i = 0; i < 4; ++i)
        codec->extradata[kHeadInputRateAt + i] = static_cast<std::uint8_t>((kSampleRate >> (8 * i)) & 0xFF);
    return codec;
}

// Encodes into `file`, naming `path` in messages; everything is closed on return.
bool encodeOpus(const std::string& file, const std::string& path, const StereoBuffer& audio, std::string& error) {
    const std::vector<float> samples = resampleTo48k(audio, error);
    if (samples.empty()) {
        if (error.empty()) error = "no music to encode into " + path;
        return false;
    }
    const AvFormatOutputPtr format = makeMusicOutput("ogg", "Ogg", path, error);
    if (!format) return false;
    const AvCodecContextPtr codec = openEncoder(format->oformat, error);
    if (!codec) return false;
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "serial_offset", kStreamSerial, 0);
    AVStream* stream = beginMusicFile(format.get(), codec.get(), "Ogg", file, path, &options, error);
    av_dict_free(&options);
    if (stream == nullptr) return false;
    // Interleaved, the last frame padded with silence.
    const std::size_t total = samples.size() / 2;
    const FrameFill fill = [&](AVFrame& frame, std::size_t position) {
        auto* out = reinterpret_cast<float*>(frame.data[0]);
        const auto frameSize = static_cast<std::size_t>(frame.nb_samples);
        const std::size_t n = std::min(frameSize, total - position);
        std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(position * 2), n * 2, out);
        std::fill(out + n * 2, out + frameSize * 2, 0.0f);
    };
    return encodeMusic(codec.get(), format.get(), stream, total, 960, fill, path, error);
}

}  // namespace

bool writeOpus(const std::string& path, const StereoBuffer& audio, std::string& error) {
    return writeMusicFile(
        path, error, [&](const std::string& file, std::string& why) { return encodeOpus(file, path, audio, why); });
}

}  // namespace assets
