// Sound output: the audio device that pulls mixed frames from a callback, and the silent
// stand-in that consumes them in real time when no device opens.
#pragma once

#include <cstdint>

namespace platform {

// Fills `out` with `frames` interleaved stereo 16-bit frames. Runs on the output's own
// thread, never on the caller's; it must not block for long.
using AudioPull = void (*)(void* user, std::int16_t* out, int frames);

enum class AudioOutputKind {
    kDevice,  // a real (or SDL dummy) device
    kSilent,  // no device: frames are pulled at the real rate and discarded
};

struct AudioOutput;

// Opens the default device at `rate` Hz, stereo, signed 16-bit, and starts pulling. When no
// device opens, says why on stderr and starts a silent output instead. Never null.
AudioOutput* openAudioOutput(int rate, AudioPull pull, void* user);

// Starts a silent output directly (no device is tried).
AudioOutput* openSilentAudioOutput(int rate, AudioPull pull, void* user);

// Stops pulling and waits until no pull is running any more; null is ignored.
void closeAudioOutput(AudioOutput* output);

AudioOutputKind audioOutputKind(const AudioOutput* output);

}  // namespace platform
