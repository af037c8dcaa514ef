// Channel bookkeeping and the mixing loop: linear interpolation from each channel's
// playback rate to the output rate, balance-law panning, clamped 16-bit output.
#include "sound/mixer.h"

#include <algorithm>
#include <cmath>

namespace sound {

namespace {
// Frames mixed per lock hold: about 6 ms of audio at 44.1 kHz.
constexpr int kBlockFrames = 256;
constexpr std::uint32_t kMaxSerial = static_cast<std::uint32_t>(INT32_MAX / Mixer::kMaxChannels);
constexpr float kFraction = 1.0f / 4294967296.0f;

int clampInt(int value, int low, int high) { return std::min(std::max(value, low), high); }

std::int16_t toPcm(float value) {
    const long rounded = std::lrint(value);
    return static_cast<std::int16_t>(std::clamp(rounded, -32768L, 32767L));
}
}  // namespace

Mixer::Mixer(int mixRate, int channelCount) { configure(mixRate, channelCount); }

void Mixer::configure(int mixRate, int channelCount) {
    std::lock_guard<std::mutex> guard(lock_);
    mixRate_ = mixRate > 0 ? mixRate : 44100;
    const std::size_t count = static_cast<std::size_t>(clampInt(channelCount, 1, kMaxChannels));
    // Serials survive a reconfiguration, so handles from before it stay invalid.
    std::vector<Channel> fresh(count);
    for (std::size_t i = 0; i < count && i < channels_.size(); ++i) fresh[i].serial = channels_[i].serial;
    channels_ = std::move(fresh);
    accumulator_.assign(kBlockFrames * 2, 0.0f);
}

int Mixer::mixRate() const {
    std::lock_guard<std::mutex> guard(lock_);
    return mixRate_;
}

int Mixer::channelCount() const {
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<int>(channels_.size());
}

Mixer::Channel* Mixer::find(int handle) {
    if (handle < kMaxChannels) return nullptr;
    const std::size_t index = static_cast<std::size_t>(handle % kMaxChannels);
    const std::uint32_t serial = static_cast<std::uint32_t>(handle / kMaxChannels);
    if (index >= channels_.size()) return nullptr;
    Channel& channel = channels_[index];
    if (channel.serial != serial || channel.sample == nullptr) return nullptr;
    return &channel;
}

const Mixer::Channel* Mixer::find(int handle) const { return const_cast<Mixer*>(this)->find(handle); }

void Mixer::setStep(Channel& channel, int hertz) {
    channel.frequency = clampInt(hertz, 0, kMaxFrequency);
    channel.step = (static_cast<std::uint64_t>(channel.frequency) << 32) / static_cast<std::uint64_t>(mixRate_);
}

int Mixer::start(int channelOrHandle, const Sample* sample, bool paused) {
    if (sample == nullptr) return -1;
    std::lock_guard<std::mutex> guard(lock_);
    std::size_t index = channels_.size();
    bool keepHandle = false;
    if (channelOrHandle == kAnyChannel) {
        for (std::size_t i = 0; i < channels_.size(); ++i) {
            if (channels_[i].sample == nullptr) {
                index = i;
                break;
            }
        }
    } else if (channelOrHandle >= 0 && channelOrHandle < static_cast<int>(channels_.size())) {
        index = static_cast<std::size_t>(channelOrHandle);
    } else if (channelOrHandle >= kMaxChannels) {
        const std::size_t candidate = static_cast<std::size_t>(channelOrHandle % kMaxChannels);
        // A handle names its channel as long as nothing else has been started there since.
        if (candidate < channels_.size() &&
            channels_[candidate].serial == static_cast<std::uint32_t>(channelOrHandle / kMaxChannels)) {
            index = candidate;
            keepHandle = true;
        }
    }
    if (index >= channels_.size()) return -1;

    Channel& channel = channels_[index];
    const std::uint32_t serial = keepHandle ? channel.serial : (channel.serial >= kMaxSerial ? 1 : channel.serial + 1);
    channel = Channel{};
    channel.serial = serial;
    channel.sample = sample;
    channel.paused = paused;
    setStep(channel, sample->rate);
    return static_cast<int>(serial) * kMaxChannels + static_cast<int>(index);
}

bool Mixer::setPaused(int handle, bool paused) {
    std::lock_guard<std::mutex> guard(lock_);
    Channel* channel = find(handle);
    if (channel == nullptr) return false;
    channel->paused = paused;
    return true;
}

bool Mixer::setFrequency(int handle, int hertz) {
    std::lock_guard<std::mutex> guard(lock_);
    Channel* channel = find(handle);
    if (channel == nullptr) return false;
    setStep(*channel, hertz);
    return true;
}

bool Mixer::setVolume(int handle, int volume) {
    std::lock_guard<std::mutex> guard(lock_);
    Channel* channel = find(handle);
    if (channel == nullptr) return false;
    channel->volume = clampInt(volume, 0, 255);
    return true;
}

bool Mixer::setPan(int handle, int pan) {
    std::lock_guard<std::mutex> guard(lock_);
    Channel* channel = find(handle);
    if (channel == nullptr) return false;
    channel->pan = clampInt(pan, 0, 255);
    return true;
}

bool Mixer::setPosition(int handle, std::int64_t frame) {
    std::lock_guard<std::mutex> guard(lock_);
    Channel* channel = find(handle);
    if (channel == nullptr) return false;
    // A stream's end is not known until its decoder reaches the frame or finishes.
    if (const auto& stream = channel->sample->stream; stream && frame > 0) stream->waitFor(frame + 1);
    const std::int64_t last = channel->sample->frames();
    const std::int64_t at = frame < 0 ? 0 : (frame > last ? last : frame);
    channel->position = static_cast<std::uint64_t>(at) << 32;
    return true;
}

bool Mixer::setSurround(int handle, bool on) {
    std::lock_guard<std::mutex> guard(lock_);
    Channel* channel = find(handle);
    if (channel == nullptr) return false;
    channel->surround = on;
    return true;
}

bool Mixer::stop(int handle) {
    std::lock_guard<std::mutex> guard(lock_);
    Channel* channel = find(handle);
    if (channel == nullptr) return false;
    channel->sample = nullptr;
    return true;
}

bool Mixer::isPlaying(int handle) const {
    std::lock_guard<std::mutex> guard(lock_);
    const Channel* channel = find(handle);
    return channel != nullptr && !channel->paused;
}

int Mixer::frequency(int handle) const {
    std::lock_guard<std::mutex> guard(lock_);
    const Channel* channel = find(handle);
    return channel != nullptr ? channel->frequency : -1;
}

int Mixer::volume(int handle) const {
    std::lock_guard<std::mutex> guard(lock_);
    const Channel* channel = find(handle);
    return channel != nullptr ? channel->volume : -1;
}

int Mixer::pan(int handle) const {
    std::lock_guard<std::mutex> guard(lock_);
    const Channel* channel = find(handle);
    return channel != nullptr ? channel->pan : -1;
}

int Mixer::playingCount() const {
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<int>(
        std::count_if(channels_.begin(), channels_.end(), [](const Channel& c) { return c.sample != nullptr; }));
}

void Mixer::stopSample(const Sample* sample) {
    std::lock_guard<std::mutex> guard(lock_);
    for (Channel& channel : channels_)
        if (channel.sample == sample) channel.sample = nullptr;
}

void Mixer::stopAll() {
    std::lock_guard<std::mutex> guard(lock_);
    for (Channel& channel : channels_) channel.sample = nullptr;
}

// A streamed sample is mixed only where it is decoded, and the mixing thread (the offline
// pull as well as the device) waits for the decoder rather than mixing silence, so that the
// output is the same, frame for frame, as that of the whole file decoded before playing.
void Mixer::mix(std::int16_t* out, int frames) {
    while (frames > 0) {
        const int block = std::min(frames, kBlockFrames);
        for (;;) {
            std::unique_lock<std::mutex> guard(lock_);
            std::int64_t needed = 0;
            if (const std::shared_ptr<SampleStream> stream = lagging(block, needed)) {
                guard.unlock();
                stream->waitFor(needed);
                continue;
            }
            std::fill(accumulator_.begin(), accumulator_.end(), 0.0f);
            mixBlock(accumulator_.data(), block);
            for (int i = 0; i < block * 2; ++i) out[i] = toPcm(accumulator_[static_cast<std::size_t>(i)]);
            break;
        }
        out += block * 2;
        frames -= block;
    }
}

std::shared_ptr<SampleStream> Mixer::lagging(int frames, std::int64_t& needed) const {
    for (const Channel& channel : channels_) {
        if (channel.sample == nullptr || channel.paused || !channel.sample->stream) continue;
        const std::shared_ptr<SampleStream>& stream = channel.sample->stream;
        if (stream->done()) continue;
        // The block interpolates up to the frame after its last position.
        const std::uint64_t last = channel.position + channel.step * static_cast<std::uint64_t>(frames);
        needed = static_cast<std::int64_t>(last >> 32) + 2;
        if (stream->decodedFrames() < needed) return stream;
    }
    return nullptr;
}

void Mixer::mixBlock(float* accumulator, int frames) {
    for (Channel& channel : channels_)
        if (channel.sample != nullptr && !channel.paused) mixChannel(channel, accumulator, frames);
}

void Mixer::mixChannel(Channel& channel, float* accumulator, int frames) {
    const Sample& sample = *channel.sample;
    if (sample.channels < 1 || sample.channels > 2) {
        channel.sample = nullptr;
        return;
    }
    if (const SampleStream* stream = sample.stream.get()) {
        // Read before the count: once done, the count read after it is the total.
        const bool done = stream->done();
        const std::int64_t length = stream->decodedFrames();
        const auto frameAt = [stream](std::int64_t at) { return stream->frame(at); };
        if (done)
            mixFrames<true>(channel, frameAt, length, accumulator, frames);
        else
            mixFrames<false>(channel, frameAt, length, accumulator, frames);
    } else {
        const std::int16_t* pcm = sample.pcm.data();
        const std::int64_t width = sample.channels;
        const auto frameAt = [pcm, width](std::int64_t at) { return pcm + at * width; };
        mixFrames<true>(channel, frameAt, sample.frames(), accumulator, frames);
    }
}

// `kEnded`: `length` is the whole sample's; otherwise frames from `length` on are not
// decoded yet and the channel waits there.
template <bool kEnded, typename Frames>
void Mixer::mixFrames(Channel& channel, const Frames& frameAt, std::int64_t length, float* accumulator, int frames) {
    const Sample& sample = *channel.sample;
    if (length <= 0 && kEnded) {
        channel.sample = nullptr;
        return;
    }
    const float gain = static_cast<float>(channel.volume) / 255.0f;
    // Balance law: the centre keeps both sides at full level; turning one way fades the other.
    const float left = gain * std::min(1.0f, static_cast<float>(255 - channel.pan) / 127.0f);
    const float right = gain * std::min(1.0f, static_cast<float>(channel.pan) / 128.0f);
    const std::uint64_t end = static_cast<std::uint64_t>(length) << 32;
    const bool stereo = sample.channels == 2;
    std::uint64_t position = channel.position;

    for (int i = 0; i < frames; ++i) {
        if (!kEnded && static_cast<std::int64_t>(position >> 32) + 1 >= length) break;
        if (position >= end) {
            if (!sample.loop) {
                channel.sample = nullptr;
                return;
            }
            position %= end;
        }
        const std::int64_t at = static_cast<std::int64_t>(position >> 32);
        const std::int64_t next = at + 1 < length ? at + 1 : (sample.loop ? 0 : at);
        const float t = static_cast<float>(position & 0xFFFFFFFFu) * kFraction;
        const std::int16_t* here = frameAt(at);
        const std::int16_t* after = frameAt(next);
        if (stereo) {
            const float l0 = here[0];
            const float r0 = here[1];
            accumulator[i * 2] += (l0 + (after[0] - l0) * t) * left;
            accumulator[i * 2 + 1] += (r0 + (after[1] - r0) * t) * right;
        } else {
            const float s0 = here[0];
            const float value = s0 + (after[0] - s0) * t;
            accumulator[i * 2] += value * left;
            accumulator[i * 2 + 1] += value * right;
        }
        position += channel.step;
    }
    // A non-looping sample that has just passed its last frame ends now, not a block later.
    if (kEnded && position >= end && !sample.loop) {
        channel.sample = nullptr;
        return;
    }
    channel.position = position;
}

}  // namespace sound
