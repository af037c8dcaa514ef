#include "tests/support/program_run.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

ProgramRun runProgram(std::vector<std::string> arguments, std::optional<rlim_t> fileSizeLimit) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    int errors[2];
    ProgramRun run;
    if (argv.size() < 2 || ::pipe(errors) != 0) return run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(errors[1], STDERR_FILENO);
        ::close(errors[0]);
        ::close(errors[1]);
        if (fileSizeLimit) {
            const struct rlimit limit = {*fileSizeLimit, *fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::signal(SIGXFSZ, SIG_DFL);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(errors[1]);
    char buffer[4096];
    for (ssize_t got; (got = ::read(errors[0], buffer, sizeof buffer)) > 0;)
        run.errors.append(buffer, static_cast<std::size_t>(got));
    ::close(errors[0]);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid)
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return run;
}

}  // namespace testing_support
