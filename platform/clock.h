// The millisecond tick clock (GetTickCount) and sleep. Real by default; tests and
// offline rendering install a virtual clock that only moves when told to.
#pragma once

#include <cstdint>

namespace platform {

// Milliseconds, unsigned 32-bit, wrapping.
std::uint32_t tickCount();

// From now on tickCount() returns `tick` until changed; sleeps return at once.
void useVirtualClock(std::uint32_t tick);
void setVirtualTick(std::uint32_t tick);
void advanceVirtualClock(std::uint32_t milliseconds);
void useRealClock();
bool virtualClockActive();

// With the virtual clock, advances it instead of waiting.
void sleepMilliseconds(std::uint32_t milliseconds);

}  // namespace platform
