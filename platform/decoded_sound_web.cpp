// The page's way in for the sounds it decoded (decodeAudioData): PCM in the program's memory.
#include <emscripten.h>

#include "platform/decoded_sound.h"

extern "C" {

// `pcm` holds frames * channels interleaved values; the program keeps a copy.
EMSCRIPTEN_KEEPALIVE int oyun_web_provide_sound(const char* path, int rate, int channels, int frames,
                                                const std::int16_t* pcm) {
    if (path == nullptr || pcm == nullptr || rate <= 0 || channels < 1 || channels > 2 || frames < 0) return 0;
    platform::DecodedSound sound;
    sound.rate = rate;
    sound.channels = channels;
    sound.pcm.assign(pcm, pcm + static_cast<std::ptrdiff_t>(frames) * channels);
    platform::provideDecodedSound(path, std::move(sound));
    return 1;
}

}  // extern "C"
