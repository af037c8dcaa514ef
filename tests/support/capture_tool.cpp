#include "tests/support/capture_tool.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace testing_support {

ProgramRun runCaptureTool(std::vector<std::string> arguments, std::optional<rlim_t> fileSizeLimit) {
    arguments.insert(arguments.begin(), OYUN_CAPTURE_TOOL);
    return runProgram(std::move(arguments), fileSizeLimit);
}

std::vector<std::string> withData(std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), {"--data", OYUN_DATA_DIR});
    return arguments;
}

InterruptedRun interruptWhen(std::vector<std::string> arguments, const std::function<bool()>& ready, int signal,
                             int seconds) {
    InterruptedRun run;
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (argv.size() < 2 || posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!run.wasReady && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        run.wasReady = ready();
    }
    ::kill(pid, signal);
    int status = 0;
    if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exitStatus = WEXITSTATUS(status);
    return run;
}

}  // namespace testing_support
