// Runs a program as a user would and keeps what it says on stderr and how it ended.
#pragma once

#include <sys/resource.h>

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

struct ProgramRun {
    int exitCode = -1;   // 128 + n after signal n; -1 when it could not be started
    std::string errors;  // stderr
};

// Runs arguments[0] with `arguments` in the current folder, stderr through a pipe so that a
// file size limit bounds only what the program writes itself. SIGXFSZ is left as a shell
// leaves it: the default ends the process, and a program must set that aside on its own.
ProgramRun runProgram(std::vector<std::string> arguments, std::optional<rlim_t> fileSizeLimit = std::nullopt);

}  // namespace testing_support
