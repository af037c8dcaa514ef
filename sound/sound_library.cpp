// The library's state: the one mixer, the loaded samples and the chosen output. Its own
// lock guards only what callers change; the audio thread takes nothing but the mixer's.
#include "sound/sound_library.h"
#include "base/report.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/audio.h"
#include "sound/audio_decoder.h"
#include "sound/mixer.h"

namespace sound {

namespace {

constexpr int kMaxMixRate = 384000;

void pullMix(void* user, std::int16_t* out, int frames) { static_cast<Mixer*>(user)->mix(out, frames); }

struct Library {
    std::mutex mutex;
    Mixer mixer;
    bool initialised = false;
    int mixRate = 44100;
    int channels = 32;
    std::atomic<bool> offline{false};
    platform::AudioOutput* output = nullptr;
    std::map<SampleHandle, std::unique_ptr<Sample>> samples;
    std::map<int, SampleHandle> slots;
    SampleHandle nextHandle = 1;

    ~Library() { closeLocked(); }

    void openOutputLocked() {
        if (output == nullptr && !offline.load()) output = platform::openAudioOutput(mixRate, pullMix, &mixer);
    }

    void closeOutputLocked() {
        platform::closeAudioOutput(output);
        output = nullptr;
    }

    void closeLocked() {
        if (!initialised) return;
        // First, so that no mix is left waiting on a decoder.
        for (auto& [handle, sample] : samples)
            if (sample->stream) sample->stream->cancel();
        closeOutputLocked();
        mixer.stopAll();
        samples.clear();
        slots.clear();
        initialised = false;
    }

    bool initLocked(int rate, int count) {
        if (rate <= 0 || rate > kMaxMixRate || count < 1 || count > Mixer::kMaxChannels) {
            base::reportf(base::Level::kError, "sound cannot start at %d Hz with %d channels", rate, count);
            return false;
        }
        closeLocked();
        mixRate = rate;
        channels = count;
        mixer.configure(rate, count);
        initialised = true;
        // The output opens with the first sound played: a program that stops at its command
        // line or its display opens no device (and says nothing about one).
        return true;
    }

    const Sample* find(SampleHandle handle) const {
        const auto found = samples.find(handle);
        return found == samples.end() ? nullptr : found->second.get();
    }

    // The sample object is destroyed after the mixer has let go of it; its decoder, if it
    // still runs, is cancelled first (waking a mix that waits on it) and joined with it.
    void freeLocked(SampleHandle handle) {
        const auto found = samples.find(handle);
        if (found == samples.end()) return;
        if (found->second->stream) found->second->stream->cancel();
        mixer.stopSample(found->second.get());
        samples.erase(found);
        for (auto slot = slots.begin(); slot != slots.end();)
            slot = slot->second == handle ? slots.erase(slot) : std::next(slot);
    }
};

Library& library() {
    // Built on first use, which is the global sound system's construction, so that it is
    // destroyed after that system's destructor has closed it.
    static Library instance;
    return instance;
}

}  // namespace

bool init(int mixRate, int maxSoftwareChannels, unsigned /*flags*/) {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.mutex);
    return lib.initLocked(mixRate, maxSoftwareChannels);
}

void close() {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.mutex);
    lib.closeLocked();
}

bool isInitialised() {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.mutex);
    return lib.initialised;
}

SampleHandle sampleLoad(int index, const char* path, unsigned mode, int offset, int length) {
    const char* name = path != nullptr ? path : "";
    if (offset != 0 || length != 0) {
        base::reportf(base::Level::kError, "cannot load sound \"%s\": only whole files can be loaded", name);
        return kNoSample;
    }
    Library& lib = library();
    {
        std::lock_guard<std::mutex> guard(lib.mutex);
        // After a close (the demo closes the library before a window is reopened), loading
        // starts it again, so that the music plays again.
        if (!lib.initialised && !lib.initLocked(lib.mixRate, lib.channels)) return kNoSample;
    }
    auto sample = std::make_unique<Sample>();
    std::string error;
    // Playing can start after the first second; the rest decodes on a worker thread.
    if (!decodeAudioFileStreamed(path, *sample, error)) {
        base::reportf(base::Level::kError, "cannot load sound \"%s\": %s", name, error.c_str());
        return kNoSample;
    }
    sample->loop = (mode & kLoopNormal) != 0 && (mode & kLoopOff) == 0;

    std::lock_guard<std::mutex> guard(lib.mutex);
    if (!lib.initialised) return kNoSample;  // closed by another thread while decoding
    if (index >= 0) {
        const auto slot = lib.slots.find(index);
        if (slot != lib.slots.end()) lib.freeLocked(slot->second);
    }
    const SampleHandle handle = lib.nextHandle++;
    lib.samples.emplace(handle, std::move(sample));
    if (index >= 0) lib.slots[index] = handle;
    return handle;
}

void sampleFree(SampleHandle sample) {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.mutex);
    lib.freeLocked(sample);
}

int playSoundEx(int channel, SampleHandle sample, bool paused) {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.mutex);
    if (!lib.initialised) return -1;
    lib.openOutputLocked();
    return lib.mixer.start(channel, lib.find(sample), paused);
}

int playSound(int channel, SampleHandle sample) { return playSoundEx(channel, sample, false); }

bool setPaused(int channel, bool paused) { return library().mixer.setPaused(channel, paused); }
bool setFrequency(int channel, int frequency) { return library().mixer.setFrequency(channel, frequency); }
bool setVolume(int channel, int volume) { return library().mixer.setVolume(channel, volume); }
bool setPan(int channel, int pan) { return library().mixer.setPan(channel, pan); }
bool setSurround(int channel, bool on) { return library().mixer.setSurround(channel, on); }
bool setCurrentPosition(int channel, std::int64_t frame) { return library().mixer.setPosition(channel, frame); }
bool stopSound(int channel) { return library().mixer.stop(channel); }
bool isPlaying(int channel) { return library().mixer.isPlaying(channel); }
int getFrequency(int channel) { return library().mixer.frequency(channel); }
int getVolume(int channel) { return library().mixer.volume(channel); }
int getPan(int channel) { return library().mixer.pan(channel); }

void update() {}

Output currentOutput() {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.mutex);
    if (!lib.initialised) return Output::kClosed;
    if (lib.offline.load()) return Output::kOffline;
    if (lib.output == nullptr) return Output::kClosed;
    return platform::audioOutputKind(lib.output) == platform::AudioOutputKind::kDevice ? Output::kDevice
                                                                                       : Output::kSilent;
}

void useOfflineOutput() {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.mutex);
    lib.offline.store(true);
    lib.closeOutputLocked();
}

void useLiveOutput() {
    Library& lib = library();
    std::lock_guard<std::mutex> guard(lib.mutex);
    lib.offline.store(false);
    if (lib.initialised) lib.openOutputLocked();
}

int pullFrames(std::int16_t* out, int frames) {
    if (out == nullptr || frames <= 0) return 0;
    Library& lib = library();
    if (!lib.offline.load()) {
        std::fill(out, out + static_cast<std::ptrdiff_t>(frames) * 2, std::int16_t{0});
        return 0;
    }
    // A closed library's mixer has no channels playing, so this gives silence.
    lib.mixer.mix(out, frames);
    return frames;
}

}  // namespace sound
