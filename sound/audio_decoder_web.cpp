// Sound files in a browser: the page decodes them itself (it has no FFmpeg) before the show
// starts and hands the PCM to the platform, where a load finds it by the file's path.
#include "platform/decoded_sound.h"
#include "sound/audio_decoder.h"
#include "sound/decode_start.h"

namespace sound {

namespace {

bool takeDecoded(const char* path, Sample& sample, std::string& error, int maxSeconds) {
    if (!startDecoding(path, sample, error)) return false;
    const platform::DecodedSound* sound = platform::findDecodedSound(path);
    if (sound == nullptr) {
        error = "the page has not decoded it";
        return false;
    }
    if (sound->channels < 1 || sound->channels > 2 || sound->rate <= 0 || sound->pcm.empty()) {
        error = "the file holds no audio";
        return false;
    }
    const auto frames = static_cast<std::int64_t>(sound->pcm.size()) / sound->channels;
    if (frames > static_cast<std::int64_t>(maxSeconds) * sound->rate) {
        error = "it is longer than " + std::to_string(maxSeconds) + " s";
        return false;
    }
    sample.pcm = sound->pcm;
    sample.channels = sound->channels;
    sample.rate = sound->rate;
    return true;
}

}  // namespace

bool decodeAudioFile(const char* path, Sample& sample, std::string& error) {
    return takeDecoded(path, sample, error, kMaxSampleSeconds);
}

// Decoded already: there is nothing left for a worker.
bool decodeAudioFileStreamed(const char* path, Sample& sample, std::string& error, double /*firstSeconds*/,
                             int maxSeconds) {
    return takeDecoded(path, sample, error, maxSeconds);
}

}  // namespace sound
