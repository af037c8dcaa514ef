// The show's start-up as a user meets it: the real `oyun` launched offscreen with
// --startup-phases, run after run, and when each phase ended. Prints Markdown.
#pragma once

#include <string>

// Launches `program` (the show) `runs` times on `dataDir` and prints the median of each phase's
// end since the process started, and the time to the first frame shown since the launch.
// False, after a report, when a run fails.
bool measureStartup(const std::string& program, const std::string& dataDir, int runs);
