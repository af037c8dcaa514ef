// The audio device over SDL: 16-bit stereo at the mixer's rate, filled from the pull
// callback on SDL's audio thread; the silent output when no device opens.
#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>

#include "base/report.h"
#include "platform/audio.h"
#include "platform/audio_silent.h"

namespace platform {

struct AudioOutput {
    AudioOutputKind kind = AudioOutputKind::kSilent;
    SDL_AudioDeviceID device = 0;
    SilentAudio* silent = nullptr;
    AudioPull pull = nullptr;
    void* user = nullptr;
};

namespace {

extern "C" {
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int err, const char* format, ...);
using AlsaSetErrorHandler = int (*)(AlsaErrorHandler handler);

// ALSA writes several lines of its own before SDL gives up on a machine without a sound card;
// our one "no audio device" report says the same.
void dropAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
}

// SDL opens ALSA at run time; opening the same library first (never linking it) makes the
// handler set here the one that SDL's calls reach. It stays loaded for as long as SDL may use it.
void silenceAlsa() {
    [[maybe_unused]] static const bool silenced = [] {
        void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
        if (alsa == nullptr) return false;
        auto* setHandler = reinterpret_cast<AlsaSetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
        return setHandler != nullptr && setHandler(dropAlsaMessage) == 0;
    }();
}

void fillStream(void* userdata, Uint8* stream, int length) {
    auto* output = static_cast<AudioOutput*>(userdata);
    // SDL converts to the device's own format, so the stream is always S16 stereo here.
    output->pull(output->user, reinterpret_cast<std::int16_t*>(stream), length / 4);
}

bool openDevice(AudioOutput& output, int rate) {
    silenceAlsa();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        base::reportf(base::Level::kWarning, "no audio output (%s); playing silently", SDL_GetError());
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = fillStream;
    wanted.userdata = &output;
    SDL_AudioSpec obtained{};
    output.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (output.device == 0) {
        base::reportf(base::Level::kWarning, "no audio device (%s); playing silently", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(output.device, 0);
    return true;
}

}  // namespace

AudioOutput* openAudioOutput(int rate, AudioPull pull, void* user) {
    auto* output = new AudioOutput;
    output->pull = pull;
    output->user = user;
    if (openDevice(*output, rate)) {
        output->kind = AudioOutputKind::kDevice;
        return output;
    }
    output->kind = AudioOutputKind::kSilent;
    output->silent = startSilentAudio(rate, pull, user);
    return output;
}

AudioOutput* openSilentAudioOutput(int rate, AudioPull pull, void* user) {
    auto* output = new AudioOutput;
    output->kind = AudioOutputKind::kSilent;
    output->pull = pull;
    output->user = user;
    output->silent = startSilentAudio(rate, pull, user);
    return output;
}

void closeAudioOutput(AudioOutput* output) {
    if (output == nullptr) return;
    if (output->device != 0) {
        // Returns only once the callback has finished for good.
        SDL_CloseAudioDevice(output->device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    stopSilentAudio(output->silent);
    delete output;
}

AudioOutputKind audioOutputKind(const AudioOutput* output) { return output->kind; }

}  // namespace platform
