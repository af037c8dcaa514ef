// The millisecond tick clock and sleep, real or virtual, over the platform's real time.
#include "platform/clock.h"

#include <atomic>

#include "platform/clock_source.h"

namespace platform {

namespace {
std::atomic<bool> virtualActive{false};
std::atomic<std::uint32_t> virtualTick{0};
std::atomic<std::uint32_t> realOffset{0};
}  // namespace

std::uint32_t ticksBetween(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point now) {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count());
}

std::uint32_t tickCount() {
    if (virtualActive.load()) return virtualTick.load();
    // Truncated to 32 bits; they wrap after 49.7 days as ever.
    return clock_source::realTicks() + realOffset.load();
}

void useVirtualClock(std::uint32_t tick) {
    virtualTick.store(tick);
    virtualActive.store(true);
}

void setVirtualTick(std::uint32_t tick) { virtualTick.store(tick); }

void advanceVirtualClock(std::uint32_t milliseconds) { virtualTick.fetch_add(milliseconds); }

void useRealClock() { virtualActive.store(false); }

void useRealClockFrom(std::uint32_t tick) {
    realOffset.store(tick - clock_source::realTicks());
    virtualActive.store(false);
}

bool virtualClockActive() { return virtualActive.load(); }

void sleepMilliseconds(std::uint32_t milliseconds) {
    if (virtualActive.load()) {
        advanceVirtualClock(milliseconds);
        return;
    }
    clock_source::sleepReal(milliseconds);
}

}  // namespace platform
