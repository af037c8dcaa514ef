// The silent output: a thread that consumes mixed frames at the real rate when no audio
// device opens, so that sounds start, play and end on time without being heard.
#include "platform/audio_silent.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

namespace {
constexpr int kChunkFrames = 512;
constexpr auto kPollPeriod = std::chrono::milliseconds(5);
// After a stall longer than this (a suspended process), the backlog is dropped instead of
// being consumed at once, as a real device would underrun.
constexpr auto kMaxCatchUp = std::chrono::milliseconds(200);
}  // namespace

struct SilentAudio {
    int rate = 0;
    AudioPull pull = nullptr;
    void* user = nullptr;
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;

    void run() {
        using Clock = std::chrono::steady_clock;
        std::vector<std::int16_t> buffer(kChunkFrames * 2);
        Clock::time_point start = Clock::now();
        std::int64_t consumed = 0;
        std::unique_lock<std::mutex> lock(mutex);
        while (!stopping) {
            lock.unlock();
            auto elapsed = Clock::now() - start;
            const auto behind = elapsed - std::chrono::duration_cast<Clock::duration>(
                                              std::chrono::microseconds(consumed * 1000000 / rate));
            if (behind > kMaxCatchUp) {
                start = Clock::now();
                consumed = 0;
                elapsed = Clock::duration::zero();
            }
            const std::int64_t due =
                std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * rate / 1000000;
            while (consumed + kChunkFrames <= due) {
                pull(user, buffer.data(), kChunkFrames);
                consumed += kChunkFrames;
            }
            lock.lock();
            wake.wait_for(lock, kPollPeriod, [this] { return stopping; });
        }
    }
};

SilentAudio* startSilentAudio(int rate, AudioPull pull, void* user) {
    auto* silent = new SilentAudio;
    silent->rate = rate > 0 ? rate : 44100;
    silent->pull = pull;
    silent->user = user;
    silent->thread = std::thread([silent] { silent->run(); });
    return silent;
}

void stopSilentAudio(SilentAudio* silent) {
    if (silent == nullptr) return;
    {
        std::lock_guard<std::mutex> lock(silent->mutex);
        silent->stopping = true;
    }
    silent->wake.notify_all();
    silent->thread.join();
    delete silent;
}

}  // namespace platform
