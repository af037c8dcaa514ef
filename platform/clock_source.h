// The real time under the tick clock, one per platform: the steady clock on the desktop, the
// page's clock (or the audio it plays) in a browser.
#pragma once

#include <cstdint>

namespace platform::clock_source {

// Milliseconds since the process started, wrapping at 32 bits.
std::uint32_t realTicks();

// Waits for real.
void sleepReal(std::uint32_t milliseconds);

}  // namespace platform::clock_source
