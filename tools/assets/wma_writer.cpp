// libavcodec's wmav2 encoder into libavformat's ASF muxer.
#include "tools/assets/wma_writer.h"

#include <algorithm>

#include "tools/assets/music_output.h"

namespace assets {

namespace {

// Encodes into `file`, naming `path` in messages; everything is closed on return.
bool encodeWma(const std::string& file, const std::string& path, const StereoBuffer& audio, std::string& error) {
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (encoder == nullptr) {
        error = "this FFmpeg has no WMA version 2 (wmav2) encoder";
        return false;
    }
    const AvFormatOutputPtr format = makeMusicOutput("asf", "ASF", path, error);
    if (!format) return false;
    const AvCodecContextPtr codec = openStereoEncoder(
        encoder, format->oformat, {AV_SAMPLE_FMT_FLTP, kSampleRate, kWmaBitRate, "WMA", "22050 Hz"}, error);
    if (!codec) return false;
    AVStream* stream = beginMusicFile(format.get(), codec.get(), "ASF", file, path, nullptr, error);
    if (stream == nullptr) return false;

    // FFmpeg's decoder gives its output `initial_padding` samples early (the first block only
    // primes the transform), so that much silence goes first and the music decodes in time
    // with the show's clock.
    const auto lead = static_cast<std::size_t>(std::max(codec->initial_padding, 0));
    const std::size_t total = lead + audio.frames();
    const FrameFill fill = [&](AVFrame& frame, std::size_t position) {
        auto* left = reinterpret_cast<float*>(frame.data[0]);
        auto* right = reinterpret_cast<float*>(frame.data[1]);
        for (std::size_t i = 0; i < static_cast<std::size_t>(frame.nb_samples); ++i) {
            const std::size_t at = position + i;
            const bool music = at >= lead && at < total;
            left[i] = music ? audio.left[at - lead] : 0.0f;
            right[i] = music ? audio.right[at - lead] : 0.0f;
        }
    };
    return encodeMusic(codec.get(), format.get(), stream, total, 2048, fill, path, error);
}

}  // namespace

bool writeWma(const std::string& path, const StereoBuffer& audio, std::string& error) {
    return writeMusicFile(path, error,
                          [&](const std::string& file, std::string& why) { return encodeWma(file, path, audio, why); });
}

}  // namespace assets
