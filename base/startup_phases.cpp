#include "base/startup_phases.h"

#include <array>
#include <chrono>
#include <mutex>

#include "base/report.h"

namespace base {

namespace {

using Clock = std::chrono::steady_clock;

// Taken before any other of the program's own static objects is built (the sound system opens
// its device then); what the dynamic loader does before it, only a launcher can see.
const Clock::time_point processStart __attribute__((init_priority(101))) = Clock::now();

// Constant-initialised: marks made while other static objects are built find it ready.
struct Marks {
    std::mutex lock;
    std::array<StartupPhase, kMaxStartupPhases> slots{};
    int count = 0;
};
constinit Marks marks;

}  // namespace

void markPhase(const char* name) {
    const std::lock_guard<std::mutex> guard(marks.lock);
    // Read under the lock, so that the slots' times never go back.
    const std::chrono::duration<double, std::milli> since = Clock::now() - processStart;
    if (marks.count < kMaxStartupPhases) marks.slots[static_cast<std::size_t>(marks.count++)] = {name, since.count()};
}

std::vector<StartupPhase> startupPhases() {
    const std::lock_guard<std::mutex> guard(marks.lock);
    return {marks.slots.begin(), marks.slots.begin() + marks.count};
}

void reportStartupPhases() {
    for (const StartupPhase& phase : startupPhases())
        reportf(Level::kInfo, "start-up %.1f ms %s", phase.ms, phase.name);
}

}  // namespace base
