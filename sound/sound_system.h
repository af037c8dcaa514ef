// The sound system: owner of the sound library and of a fixed array of channel records,
// each holding one loaded sample and the library channel that plays it.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/sound_library.h"

// Library settings and the load modes the sound system uses.
constexpr int kSoundMixRate = 44100;
constexpr int kSoundSoftwareChannels = 32;
constexpr unsigned kSoundInitFlags = 0;
constexpr unsigned kSoundModeOnce = sound::k2D | sound::kSigned | sound::kMono | sound::k16Bits;
constexpr unsigned kSoundModeLoop = sound::k2D | sound::kLoopNormal;
static_assert(kSoundModeOnce == 0x2130 && kSoundModeLoop == 0x2002);

struct SoundChannel {
    sound::SampleHandle sample = sound::kNoSample;  // kNoSample until loaded and after a failed load
    std::int32_t channel = -1;                      // library channel handle; -1 until started
    std::int32_t frequency = 0;                     // Hz, as given to play
    std::int32_t volume = 0;                        // 0..255, as given to play or setVolume
    bool ready = false;
};

class SoundSystem {
public:
    std::vector<SoundChannel> records;

    // Initialises the library (44100 Hz, 32 channels), then makes `count` records (none for
    // 0 or less).
    explicit SoundSystem(std::int32_t count);
    // Closes the library.
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // Every operation taking an index does nothing (and reads as 0, -1 or false) for an
    // index outside the records, and says so on stderr.
    void loadSample(const char* path, std::int32_t index, bool loop);
    // Starts the record's sample paused on a free channel, then plays it at `frequency` Hz
    // and `volume`.
    void play(std::int32_t index, std::int32_t frequency, std::int32_t volume);
    // Frees the library sample; the record keeps the old handle.
    void freeSample(std::int32_t index);
    std::int32_t getFrequency(std::int32_t index) const;
    std::int32_t getChannel(std::int32_t index) const;
    std::int32_t getVolume(std::int32_t index) const;
    // Changes the channel's rate; the record's `frequency` keeps the value given to play.
    void setFrequency(std::int32_t index, std::int32_t frequency);
    void setVolume(std::int32_t index, std::int32_t volume);
    void stop(std::int32_t index);
    // Takes a library channel handle as getChannel returns it, not a record index.
    void setSurround(std::int32_t channelHandle, bool on);
    bool isPlaying(std::int32_t index) const;
    void update();
    void setPan(std::int32_t index, std::int32_t pan);
    // Steps the volume down from `from` to `to` + 1, 5 ms a step; blocks the caller.
    void fadeDown(std::int32_t index, std::int32_t from, std::int32_t to);
    // Raises the volume by one towards `target`; one step per call.
    void stepVolumeUp(std::int32_t index, std::int32_t target);

private:
    SoundChannel* record(std::int32_t index);
    const SoundChannel* record(std::int32_t index) const;
};
