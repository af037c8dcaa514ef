// The start-up's phases: each marks when it ended, in milliseconds since the process started,
// so that the time to the first frame can be measured and taken apart.
#pragma once

#include <string>
#include <vector>

namespace base {

struct StartupPhase {
    const char* name;  // a string literal: kept, not copied
    double ms;         // since the process started
};

// Marks beyond this many are dropped.
constexpr int kMaxStartupPhases = 32;

// Marks the end of phase `name` now. Cheap (no allocation) and safe from any thread.
void markPhase(const char* name);

// The marks so far, in the order they were made.
std::vector<StartupPhase> startupPhases();

// One line per mark, "start-up 123.4 ms NAME", through base::report.
void reportStartupPhases();

}  // namespace base
