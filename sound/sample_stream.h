// PCM that a worker thread is still decoding while the mixer already plays it: fixed-size
// chunks that never move once written, and a count of frames published to readers.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace sound {

class SampleStream {
public:
    static constexpr int kChunkShift = 16;  // 65536 frames a chunk
    static constexpr std::int64_t kChunkFrames = std::int64_t{1} << kChunkShift;

    // Room for at most `maxFrames` frames of `channels` interleaved 16-bit values.
    SampleStream(int channels, std::int64_t maxFrames);
    // Cancels the worker and waits for it.
    ~SampleStream();
    SampleStream(const SampleStream&) = delete;
    SampleStream& operator=(const SampleStream&) = delete;

    // Runs `work` on a thread of its own; it appends and finally calls finish.
    void start(std::function<void(SampleStream&)> work);

    // Reader side, any thread. A frame below decodedFrames() never changes again.
    std::int64_t decodedFrames() const { return frames_.load(std::memory_order_acquire); }
    // True once the frame count is final: the file ended, decoding failed, or was cancelled.
    bool done() const { return done_.load(std::memory_order_acquire); }
    const std::int16_t* frame(std::int64_t at) const {
        return chunks_[static_cast<std::size_t>(at >> kChunkShift)].get() + (at & (kChunkFrames - 1)) * channels_;
    }
    // Blocks until `frames` frames are decoded or the count is final.
    void waitFor(std::int64_t frames) const;

    // Writer side, the worker only. False (nothing appended) past the room given.
    bool append(const std::int16_t* pcm, std::int64_t frames);
    void finish();

    // Makes the count final where it is now; the worker stops at its next append.
    void cancel();
    bool cancelled() const { return cancelled_.load(std::memory_order_acquire); }

    int channels() const { return channels_; }

private:
    int channels_;
    std::int64_t maxFrames_;
    // Sized once here; a chunk is allocated before the frames in it are published.
    std::vector<std::unique_ptr<std::int16_t[]>> chunks_;
    std::atomic<std::int64_t> frames_{0};
    std::atomic<bool> done_{false};
    std::atomic<bool> cancelled_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable progress_;
    std::thread worker_;
};

}  // namespace sound
