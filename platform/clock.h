// The millisecond tick clock (GetTickCount) and sleep. Real by default; tests and
// offline rendering install a virtual clock that only moves when told to.
#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

// Milliseconds since the process started, unsigned 32-bit, wrapping.
std::uint32_t tickCount();

// The real clock's reading at `now` for a process started at `start`.
std::uint32_t ticksBetween(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point now);

// From now on tickCount() returns `tick` until changed; sleeps return at once.
void useVirtualClock(std::uint32_t tick);
void setVirtualTick(std::uint32_t tick);
void advanceVirtualClock(std::uint32_t milliseconds);
void useRealClock();
// The real clock again, reading `tick` now and going on from there: a show replayed on the
// virtual clock continues in real time without a jump.
void useRealClockFrom(std::uint32_t tick);
bool virtualClockActive();

// With the virtual clock, advances it instead of waiting.
void sleepMilliseconds(std::uint32_t milliseconds);

}  // namespace platform
