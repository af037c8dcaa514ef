// The millisecond tick clock and sleep.
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {

namespace {
std::atomic<bool> virtualActive{false};
std::atomic<std::uint32_t> virtualTick{0};
// The real clock counts from here, so that the show's animation (which holds ticks / 20 in a
// float) is as smooth after days of uptime as after boot.
const std::chrono::steady_clock::time_point processStart = std::chrono::steady_clock::now();
std::atomic<std::uint32_t> realOffset{0};
}  // namespace

std::uint32_t ticksBetween(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point now) {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count());
}

std::uint32_t tickCount() {
    if (virtualActive.load()) return virtualTick.load();
    // Monotonic milliseconds truncated to 32 bits; they wrap after 49.7 days as ever.
    return ticksBetween(processStart, std::chrono::steady_clock::now()) + realOffset.load();
}

void useVirtualClock(std::uint32_t tick) {
    virtualTick.store(tick);
    virtualActive.store(true);
}

void setVirtualTick(std::uint32_t tick) { virtualTick.store(tick); }

void advanceVirtualClock(std::uint32_t milliseconds) { virtualTick.fetch_add(milliseconds); }

void useRealClock() { virtualActive.store(false); }

void useRealClockFrom(std::uint32_t tick) {
    realOffset.store(tick - ticksBetween(processStart, std::chrono::steady_clock::now()));
    virtualActive.store(false);
}

bool virtualClockActive() { return virtualActive.load(); }

void sleepMilliseconds(std::uint32_t milliseconds) {
    if (virtualActive.load()) {
        advanceVirtualClock(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace platform
