// The silent output's thread, shared by the SDL output code; not for use outside platform/.
#pragma once

#include "platform/audio.h"

namespace platform {

struct SilentAudio;

// Starts a thread that pulls frames at `rate` per second of real time and discards them.
SilentAudio* startSilentAudio(int rate, AudioPull pull, void* user);

// Stops the thread and waits for it.
void stopSilentAudio(SilentAudio* silent);

}  // namespace platform
