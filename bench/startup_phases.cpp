// The show launched again and again: its stderr read for the phase lines, the launch timed
// from the spawn, the medians printed as a table.
#include "bench/startup_phases.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "base/report.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A show that has not shown its first frame by then is taken for stuck.
constexpr int kRunDeadlineMs = 60000;
constexpr const char* kShownPhase = "first frame shown";

struct Phase {
    std::string name;
    double ms;  // since the process started
};

struct StartupRun {
    std::vector<Phase> phases;
    double launchToShownMs = 0;  // from the spawn to the line of the first frame shown
};

double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// "oyun: start-up 123.4 ms NAME"
std::optional<Phase> parsePhase(const std::string& line) {
    const std::size_t at = line.find(": start-up ");
    if (at == std::string::npos) return std::nullopt;
    double ms = 0;
    int nameAt = 0;
    if (std::sscanf(line.c_str() + at, ": start-up %lf ms %n", &ms, &nameAt) != 1 || nameAt == 0) return std::nullopt;
    return Phase{line.substr(at + static_cast<std::size_t>(nameAt)), ms};
}

std::vector<char*> childEnvironment(std::vector<std::string>& storage) {
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "SDL_VIDEODRIVER=", 16) != 0 && std::strncmp(*entry, "SDL_AUDIODRIVER=", 16) != 0)
            storage.emplace_back(*entry);
    // A real GL context without a display, and a device that plays nothing.
    storage.emplace_back("SDL_VIDEODRIVER=offscreen");
    storage.emplace_back("SDL_AUDIODRIVER=dummy");
    std::vector<char*> pointers;
    for (std::string& entry : storage) pointers.push_back(entry.data());
    pointers.push_back(nullptr);
    return pointers;
}

// The show's stderr, line by line, until it closes (true) or the deadline passes. The phase
// lines go to `run`, timing the first frame's from the launch; anything else to `said`.
bool readPhases(int descriptor, StartupRun& run, std::string& said, Clock::time_point launched) {
    std::string pending;
    char buffer[4096];
    for (;;) {
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - launched).count();
        pollfd wanted{descriptor, POLLIN, 0};
        const int ready = ::poll(&wanted, 1, static_cast<int>(std::max<long long>(0, kRunDeadlineMs - waited)));
        if (ready == 0) return false;
        if (ready < 0) continue;
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0) continue;
        if (count == 0) return true;
        const Clock::time_point arrived = Clock::now();
        pending.append(buffer, static_cast<std::size_t>(count));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
            const std::string line = pending.substr(0, end);
            if (const std::optional<Phase> phase = parsePhase(line)) {
                run.phases.push_back(*phase);
                if (phase->name == kShownPhase)
                    run.launchToShownMs = std::chrono::duration<double, std::milli>(arrived - launched).count();
            } else {
                said += line + "\n";
            }
        }
    }
}

// One launch of the show, in `folder` (where its log goes).
std::optional<StartupRun> launchOnce(const std::string& program, const std::string& dataDir,
                                     const std::filesystem::path& folder, std::string& error) {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    std::vector<std::string> arguments{program, "--window", "--data", dataDir, "--startup-phases"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environmentStorage;
    std::vector<char*> environment = childEnvironment(environmentStorage);

    const Clock::time_point launched = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environment.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        error = "cannot start " + program + ": " + std::strerror(spawned);
        return std::nullopt;
    }
    StartupRun run;
    std::string said;
    const bool closed = readPhases(pipeEnds[0], run, said, launched);
    ::close(pipeEnds[0]);
    if (!closed) ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!closed) {
        error = program + " showed no first frame within " + std::to_string(kRunDeadlineMs / 1000) + " s";
        return std::nullopt;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || run.launchToShownMs == 0) {
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (!said.empty()) said.pop_back();
        error = program + " ended with status " + std::to_string(code) + " before its first frame: " + said;
        return std::nullopt;
    }
    return run;
}

}  // namespace

bool measureStartup(const std::string& program, const std::string& dataDir, int runs) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("oyun-bench-startup-" + std::to_string(::getpid()));
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    std::vector<StartupRun> all;
    std::string error;
    for (int i = 0; i < runs; ++i) {
        std::optional<StartupRun> run = launchOnce(program, dataDir, folder, error);
        if (!run) break;
        all.push_back(std::move(*run));
    }
    std::filesystem::remove_all(folder, ignored);
    if (static_cast<int>(all.size()) < runs) {
        base::report(base::Level::kError, "the start-up run failed: " + error);
        return false;
    }

    // Phases by name, in the order of the first run; each phase's own time is its end minus
    // the end of the one before, within the same run.
    std::map<std::string, std::vector<double>> ends;
    std::map<std::string, std::vector<double>> lengths;
    std::vector<double> launchToShown;
    std::vector<double> beforeClock;
    for (const StartupRun& run : all) {
        for (std::size_t i = 0; i < run.phases.size(); ++i) {
            ends[run.phases[i].name].push_back(run.phases[i].ms);
            lengths[run.phases[i].name].push_back(run.phases[i].ms - (i > 0 ? run.phases[i - 1].ms : 0.0));
        }
        launchToShown.push_back(run.launchToShownMs);
        beforeClock.push_back(run.launchToShownMs - ends[kShownPhase].back());
    }
    std::printf("\nStart-up of %s, offscreen, median of %d runs\n\n", program.c_str(), runs);
    std::printf("| phase ended | ms since the process started | ms in the phase |\n|---|---:|---:|\n");
    std::printf("| (before the process's clock: loading, linking) | | %.1f |\n", median(beforeClock));
    for (const Phase& phase : all.front().phases)
        std::printf("| %s | %.1f | %.1f |\n", phase.name.c_str(), median(ends[phase.name]),
                    median(lengths[phase.name]));
    std::printf("\nFirst frame shown: %.1f ms after the process started, %.1f ms after the launch\n",
                median(ends[kShownPhase]), median(launchToShown));
    std::fflush(stdout);
    return true;
}
