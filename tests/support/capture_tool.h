// oyun-capture run as a user runs it, for the tests of the program: the build's own binary
// and data, and a run interrupted once it has got somewhere.
#pragma once

#include <sys/resource.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/program_run.h"

namespace testing_support {

// The build's oyun-capture with `arguments`, in the current folder (see runProgram).
ProgramRun runCaptureTool(std::vector<std::string> arguments, std::optional<rlim_t> fileSizeLimit = std::nullopt);

// `arguments` and --data with the build's data folder.
std::vector<std::string> withData(std::vector<std::string> arguments);

struct InterruptedRun {
    bool wasReady = false;          // `ready` held before the signal was sent
    std::optional<int> exitStatus;  // what the program exited with; nothing when the signal killed it
};

// Starts arguments[0] with `arguments` (stderr shared with the test), asks `ready` every 50 ms
// until it holds or `seconds` pass, then sends `signal` and waits for the program to end.
InterruptedRun interruptWhen(std::vector<std::string> arguments, const std::function<bool()>& ready, int signal,
                             int seconds = 60);

}  // namespace testing_support
