#include "tools/capture/parts/worker_processes.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr int kPollMs = 100;
constexpr std::size_t kMaxErrorText = 64 * 1024;

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

std::string cannotStart(int error) { return std::string("cannot start a worker process: ") + std::strerror(error); }

// The last line a worker wrote on stderr, without "program: ".
std::string lastLine(const std::string& text) {
    const std::size_t end = text.find_last_not_of('\n');
    if (end == std::string::npos) return {};
    const std::size_t newline = text.rfind('\n', end);
    const std::size_t start = newline == std::string::npos ? 0 : newline + 1;
    std::string line = text.substr(start, end + 1 - start);
    if (const auto colon = line.find(": "); colon != std::string::npos && line.find(' ') > colon)
        line.erase(0, colon + 2);
    return line;
}

// How a worker that said nothing on stderr ended; `status` from waitpid, -1 when unknown.
std::string howItEnded(int status) {
    if (status >= 0 && WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
    return "ended with status " + std::to_string(status >= 0 ? WEXITSTATUS(status) : -1);
}

}  // namespace

WorkerProcesses::~WorkerProcesses() { stopAll(); }

bool WorkerProcesses::start(const std::filesystem::path& program,
                            const std::vector<std::vector<std::string>>& arguments, int atOnce, std::string& error) {
    program_ = program;
    pending_.assign(arguments.begin(), arguments.end());
    atOnce_ = std::max(1, atOnce);
    while (!pending_.empty() && static_cast<int>(workers_.size()) < atOnce_)
        if (!launchNext(error)) return false;
    return true;
}

bool WorkerProcesses::launchNext(std::string& error) {
    const pid_t parent = ::getpid();
    std::vector<std::string> words = {program_.string()};
    words.insert(words.end(), pending_.front().begin(), pending_.front().end());
    pending_.pop_front();
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    const pid_t pid = ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 ? -1 : ::fork();
    if (pid == 0) {
        // A worker outlives no capture, however the capture ends.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(128 + SIGTERM);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    const int failure = errno;
    closeFd(out[1]);
    closeFd(err[1]);
    if (pid < 0) {
        closeFd(out[0]);
        closeFd(err[0]);
        error = cannotStart(failure);
        stopAll();
        return false;
    }
    Worker worker;
    worker.pid = pid;
    worker.out = out[0];
    worker.err = err[0];
    workers_.push_back(std::move(worker));
    return true;
}

void WorkerProcesses::reap(Worker& worker, bool block) {
    if (worker.ended || worker.pid < 0) return;
    int status = 0;
    pid_t got = 0;
    do {
        got = ::waitpid(worker.pid, &status, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == worker.pid || got < 0) {
        worker.ended = true;
        worker.status = got < 0 ? -1 : status;
    }
}

void WorkerProcesses::stopAll() {
    for (Worker& worker : workers_)
        if (!worker.ended && worker.pid > 0) ::kill(worker.pid, SIGTERM);
    for (Worker& worker : workers_) {
        reap(worker, true);
        closeFd(worker.out);
        closeFd(worker.err);
    }
}

void WorkerProcesses::readPipes() {
    std::vector<pollfd> fds;
    std::vector<std::pair<Worker*, bool>> owners;  // worker, whether stdout
    for (Worker& worker : workers_) {
        for (const bool standardOutput : {true, false}) {
            const int fd = standardOutput ? worker.out : worker.err;
            if (fd < 0) continue;
            fds.push_back({fd, POLLIN, 0});
            owners.emplace_back(&worker, standardOutput);
        }
    }
    if (fds.empty() || ::poll(fds.data(), fds.size(), kPollMs) <= 0) return;
    for (std::size_t f = 0; f < fds.size(); ++f)
        if (fds[f].revents != 0) readPipe(*owners[f].first, owners[f].second);
}

void WorkerProcesses::readPipe(Worker& worker, bool standardOutput) {
    int& fd = standardOutput ? worker.out : worker.err;
    char buffer[4096];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got <= 0) {
        if (got == 0 || errno != EINTR) closeFd(fd);
        return;
    }
    if (!standardOutput) {
        if (worker.errText.size() < kMaxErrorText) worker.errText.append(buffer, static_cast<std::size_t>(got));
        return;
    }
    worker.outText.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t newline; (newline = worker.outText.find('\n')) != std::string::npos;) {
        long long frames = 0;
        if (std::sscanf(worker.outText.substr(0, newline).c_str(), "frames %lld", &frames) == 1) worker.frames = frames;
        worker.outText.erase(0, newline + 1);
    }
}

bool WorkerProcesses::reapEnded(Outcome& outcome) {
    bool running = false;
    for (std::size_t i = 0; i < workers_.size(); ++i) {
        Worker& worker = workers_[i];
        // Its pipes close as it exits; only then is all it said read.
        if (worker.out < 0 && worker.err < 0) reap(worker, true);
        if (!worker.ended) {
            running = true;
            continue;
        }
        const bool succeeded = worker.status >= 0 && WIFEXITED(worker.status) && WEXITSTATUS(worker.status) == 0;
        if (succeeded || outcome.failed >= 0) continue;
        outcome.failed = static_cast<int>(i);
        outcome.error = lastLine(worker.errText);
        if (outcome.error.empty()) outcome.error = howItEnded(worker.status);
    }
    return running;
}

bool WorkerProcesses::startQueued(Outcome& outcome, bool& started) {
    int live = 0;
    for (const Worker& worker : workers_) live += worker.ended ? 0 : 1;
    for (; !pending_.empty() && live < atOnce_; ++live) {
        if (!launchNext(outcome.error)) {
            outcome.failed = static_cast<int>(workers_.size());
            return false;
        }
        started = true;
    }
    return true;
}

std::int64_t WorkerProcesses::framesDone() const {
    std::int64_t done = 0;
    for (const Worker& worker : workers_) done += worker.frames;
    return done;
}

WorkerProcesses::Outcome WorkerProcesses::wait(const std::atomic<bool>* cancel,
                                               const std::function<void(std::int64_t)>& progress) {
    Outcome outcome;
    std::int64_t reported = -1;
    for (bool running = true; running;) {
        readPipes();
        running = reapEnded(outcome);
        if (const std::int64_t done = framesDone(); progress && done != reported) {
            reported = done;
            progress(done);
        }
        outcome.cancelled = cancel != nullptr && cancel->load();
        if (outcome.cancelled || outcome.failed >= 0) {
            stopAll();
            return outcome;
        }
        // Queued parts start as others end, so that a slow part never leaves a core idle.
        if (!startQueued(outcome, running)) return outcome;
    }
    outcome.ok = true;
    return outcome;
}
