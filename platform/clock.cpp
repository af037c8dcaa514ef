// The millisecond tick clock and sleep.
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {

namespace {
std::atomic<bool> virtualActive{false};
std::atomic<std::uint32_t> virtualTick{0};
}  // namespace

std::uint32_t tickCount() {
    if (virtualActive.load()) return virtualTick.load();
    // Monotonic milliseconds truncated to 32 bits, like the original's tick since boot.
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void useVirtualClock(std::uint32_t tick) {
    virtualTick.store(tick);
    virtualActive.store(true);
}

void setVirtualTick(std::uint32_t tick) { virtualTick.store(tick); }

void advanceVirtualClock(std::uint32_t milliseconds) { virtualTick.fetch_add(milliseconds); }

void useRealClock() { virtualActive.store(false); }

bool virtualClockActive() { return virtualActive.load(); }

void sleepMilliseconds(std::uint32_t milliseconds) {
    if (virtualActive.load()) {
        advanceVirtualClock(milliseconds);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace platform
