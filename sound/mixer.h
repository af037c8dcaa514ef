// The software mixer behind the sound library: a fixed set of channels, each playing one
// decoded sample with its own rate, volume and pan, mixed into 16-bit stereo frames.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/sample_stream.h"

namespace sound {

// Decoded 16-bit PCM, interleaved, 1 or 2 channels: in `pcm`, or in `stream` while a worker
// still decodes it (then `pcm` is unused).
struct Sample {
    std::vector<std::int16_t> pcm;
    int channels = 1;
    int rate = 44100;   // the file's own rate: the default playback frequency
    bool loop = false;  // loops over the whole sample until stopped
    std::shared_ptr<SampleStream> stream;
    // Of a stream: the frames decoded so far, the total once it is done.
    std::int64_t frames() const {
        if (stream) return stream->decodedFrames();
        return channels > 0 ? static_cast<std::int64_t>(pcm.size()) / channels : 0;
    }
};

class Mixer {
public:
    static constexpr int kAnyChannel = -1;
    static constexpr int kMaxChannels = 256;
    static constexpr int kMaxFrequency = 1000000;  // Hz; higher values are clamped
    static constexpr int kCentrePan = 128;

    explicit Mixer(int mixRate = 44100, int channelCount = 32);
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // Stops every channel and sets the output rate and the number of channels (1..256).
    void configure(int mixRate, int channelCount);
    int mixRate() const;
    int channelCount() const;

    // Starts `sample` from its beginning at its own rate, full volume, centre pan.
    // `channel`: kAnyChannel for the first free one, a channel number, or a handle that this
    // mixer returned (that channel restarts and keeps its handle). Returns the channel's
    // handle, or -1 when the sample is null or no channel is free. The sample must outlive
    // its playing; stopSample ends every use of it.
    int start(int channel, const Sample* sample, bool paused);

    // Each returns false (and does nothing) for a handle that is stale or was never valid.
    bool setPaused(int handle, bool paused);
    bool setFrequency(int handle, int hertz);  // playback rate in sample frames per second
    bool setVolume(int handle, int volume);    // 0..255, clamped
    bool setPan(int handle, int pan);          // 0 left, 128 centre, 255 right, clamped
    bool setSurround(int handle, bool on);     // kept, not heard
    // Moves playback to sample frame `frame` (clamped to the sample's end, where it ends);
    // in a sample still decoding, once the decoder has reached that frame.
    bool setPosition(int handle, std::int64_t frame);
    bool stop(int handle);

    // True while the handle's sample sounds: started, not paused, not stopped, not ended.
    bool isPlaying(int handle) const;
    int frequency(int handle) const;  // -1 for an invalid handle
    int volume(int handle) const;
    int pan(int handle) const;
    int playingCount() const;  // channels in use, paused ones included

    void stopSample(const Sample* sample);
    void stopAll();

    // Mixes `frames` interleaved stereo frames into `out`. Takes the lock only for short
    // blocks, so that callers on other threads are never held up for long. Waits, outside
    // the lock, for a streamed sample's decoder to reach what a block reads.
    void mix(std::int16_t* out, int frames);

private:
    struct Channel {
        const Sample* sample = nullptr;  // null: free
        std::uint32_t serial = 0;
        bool paused = false;
        bool surround = false;
        std::uint64_t position = 0;  // in sample frames, 32.32 fixed point
        std::uint64_t step = 0;      // per output frame, 32.32 fixed point
        int frequency = 0;
        int volume = 255;
        int pan = kCentrePan;
    };

    Channel* find(int handle);
    const Channel* find(int handle) const;
    void setStep(Channel& channel, int hertz);
    // The first playing stream whose decoder has not reached what the next `frames` read,
    // and how many frames it must have decoded.
    std::shared_ptr<SampleStream> lagging(int frames, std::int64_t& needed) const;
    void mixBlock(float* accumulator, int frames);
    static void mixChannel(Channel& channel, float* accumulator, int frames);
    template <bool kEnded, typename Frames>
    static void mixFrames(Channel& channel, const Frames& frameAt, std::int64_t length, float* accumulator, int frames);

    mutable std::mutex lock_;
    int mixRate_ = 44100;
    std::vector<Channel> channels_;
    std::vector<float> accumulator_;
};

}  // namespace sound
