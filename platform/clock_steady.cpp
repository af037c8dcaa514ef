// The desktop's real time: the steady clock since the process started.
#include <chrono>
#include <thread>

#include "platform/clock.h"
#include "platform/clock_source.h"

namespace platform::clock_source {

namespace {
// Counting from here keeps the show's animation (which holds ticks / 20 in a float) as
// smooth after days of uptime as after boot.
const std::chrono::steady_clock::time_point processStart = std::chrono::steady_clock::now();
}  // namespace

std::uint32_t realTicks() { return ticksBetween(processStart, std::chrono::steady_clock::now()); }

void sleepReal(std::uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace platform::clock_source
