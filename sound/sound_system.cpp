// The sound system's records and the library calls behind each operation.
#include "sound/sound_system.h"
#include "base/report.h"

#include <cstdio>

#include "platform/clock.h"

SoundSystem::SoundSystem(std::int32_t count) {
    sound::init(kSoundMixRate, kSoundSoftwareChannels, kSoundInitFlags);
    if (count > 0) {
        records.resize(static_cast<std::size_t>(count));
        for (SoundChannel& channel : records) channel.ready = true;
    }
}

SoundSystem::~SoundSystem() { sound::close(); }

SoundChannel* SoundSystem::record(std::int32_t index) {
    if (index >= 0 && static_cast<std::size_t>(index) < records.size())
        return &records[static_cast<std::size_t>(index)];
    base::reportf(base::Level::kError, "sound record %d does not exist (%zu records)", index, records.size());
    return nullptr;
}

const SoundChannel* SoundSystem::record(std::int32_t index) const {
    return const_cast<SoundSystem*>(this)->record(index);
}

void SoundSystem::loadSample(const char* path, std::int32_t index, bool loop) {
    SoundChannel* channel = record(index);
    if (channel == nullptr) return;
    channel->sample = sound::sampleLoad(sound::kUnmanaged, path, loop ? kSoundModeLoop : kSoundModeOnce, 0, 0);
}

void SoundSystem::play(std::int32_t index, std::int32_t frequency, std::int32_t volume) {
    SoundChannel* channel = record(index);
    if (channel == nullptr) return;
    channel->volume = volume;
    channel->frequency = frequency;
    channel->channel = sound::playSoundEx(sound::kFreeChannel, channel->sample, true);
    sound::playSound(channel->channel, channel->sample);
    sound::setFrequency(channel->channel, frequency);
    sound::setVolume(channel->channel, volume);
}

void SoundSystem::freeSample(std::int32_t index) {
    if (SoundChannel* channel = record(index)) sound::sampleFree(channel->sample);
}

std::int32_t SoundSystem::getFrequency(std::int32_t index) const {
    const SoundChannel* channel = record(index);
    return channel != nullptr ? channel->frequency : 0;
}

std::int32_t SoundSystem::getChannel(std::int32_t index) const {
    const SoundChannel* channel = record(index);
    return channel != nullptr ? channel->channel : -1;
}

std::int32_t SoundSystem::getVolume(std::int32_t index) const {
    const SoundChannel* channel = record(index);
    return channel != nullptr ? channel->volume : 0;
}

void SoundSystem::setFrequency(std::int32_t index, std::int32_t frequency) {
    if (SoundChannel* channel = record(index)) sound::setFrequency(channel->channel, frequency);
}

void SoundSystem::setVolume(std::int32_t index, std::int32_t volume) {
    SoundChannel* channel = record(index);
    if (channel == nullptr) return;
    channel->volume = volume;
    sound::setVolume(channel->channel, volume);
}

void SoundSystem::stop(std::int32_t index) {
    if (SoundChannel* channel = record(index)) sound::stopSound(channel->channel);
}

void SoundSystem::setSurround(std::int32_t channelHandle, bool on) { sound::setSurround(channelHandle, on); }

bool SoundSystem::isPlaying(std::int32_t index) const {
    const SoundChannel* channel = record(index);
    return channel != nullptr && sound::isPlaying(channel->channel);
}

void SoundSystem::update() { sound::update(); }

void SoundSystem::setPan(std::int32_t index, std::int32_t pan) {
    if (SoundChannel* channel = record(index)) sound::setPan(channel->channel, pan);
}

void SoundSystem::fadeDown(std::int32_t index, std::int32_t from, std::int32_t to) {
    for (std::int32_t volume = from; volume > to; --volume) {
        setVolume(index, volume);
        platform::sleepMilliseconds(5);
    }
}

void SoundSystem::stepVolumeUp(std::int32_t index, std::int32_t target) {
    if (getVolume(index) < target) setVolume(index, getVolume(index) + 1);
}
