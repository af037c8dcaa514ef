#include "tools/capture/worker_processes.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr int kPollMs = 100;
constexpr std::size_t kMaxErrorText = 64 * 1024;

void closeFd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

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
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        error = std::string("cannot start a worker process: ") + std::strerror(errno);
        stopAll();
        return false;
    }
    if (::pipe2(err, O_CLOEXEC) != 0) {
        error = std::string("cannot start a worker process: ") + std::strerror(errno);
        ::close(out[0]);
        ::close(out[1]);
        stopAll();
        return false;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A worker outlives no capture, however the capture ends.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(128 + SIGTERM);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    if (pid < 0) {
        ::close(out[0]);
        ::close(err[0]);
        error = std::string("cannot start a worker process: ") + std::strerror(errno);
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

WorkerProcesses::Outcome WorkerProcesses::wait(const std::atomic<bool>* cancel,
                                               const std::function<void(std::int64_t)>& progress) {
    Outcome outcome;
    std::int64_t reported = -1;
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<std::pair<std::size_t, bool>> owners;  // worker, whether stdout
        for (std::size_t i = 0; i < workers_.size(); ++i) {
            if (workers_[i].out >= 0) {
                fds.push_back({workers_[i].out, POLLIN, 0});
                owners.emplace_back(i, true);
            }
            if (workers_[i].err >= 0) {
                fds.push_back({workers_[i].err, POLLIN, 0});
                owners.emplace_back(i, false);
            }
        }
        if (!fds.empty()) ::poll(fds.data(), fds.size(), kPollMs);
        for (std::size_t f = 0; f < fds.size(); ++f) {
            if (fds[f].revents == 0) continue;
            Worker& worker = workers_[owners[f].first];
            int& fd = owners[f].second ? worker.out : worker.err;
            char buffer[4096];
            const ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got <= 0) {
                if (got == 0 || errno != EINTR) closeFd(fd);
                continue;
            }
            if (!owners[f].second) {
                if (worker.errText.size() < kMaxErrorText) worker.errText.append(buffer, static_cast<std::size_t>(got));
                continue;
            }
            worker.outText.append(buffer, static_cast<std::size_t>(got));
            for (std::size_t newline; (newline = worker.outText.find('\n')) != std::string::npos;) {
                const std::string line = worker.outText.substr(0, newline);
                worker.outText.erase(0, newline + 1);
                long long frames = 0;
                if (std::sscanf(line.c_str(), "frames %lld", &frames) == 1) worker.frames = frames;
            }
        }
        std::int64_t done = 0;
        bool running = false;
        for (std::size_t i = 0; i < workers_.size(); ++i) {
            Worker& worker = workers_[i];
            done += worker.frames;
            // Its pipes close as it exits; only then is all it said read.
            if (worker.out < 0 && worker.err < 0) reap(worker, true);
            if (!worker.ended) {
                running = true;
                continue;
            }
            const int status = worker.status;
            const bool succeeded = status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
            if (!succeeded && outcome.failed < 0) {
                outcome.failed = static_cast<int>(i);
                outcome.error = lastLine(worker.errText);
                if (outcome.error.empty())
                    outcome.error = status >= 0 && WIFSIGNALED(status)
                                        ? std::string("ended by signal ") + std::to_string(WTERMSIG(status))
                                        : "ended with status " + std::to_string(status >= 0 ? WEXITSTATUS(status) : -1);
            }
        }
        if (progress && done != reported) {
            reported = done;
            progress(done);
        }
        if (cancel != nullptr && cancel->load()) {
            outcome.cancelled = true;
            stopAll();
            return outcome;
        }
        if (outcome.failed >= 0) {
            stopAll();
            return outcome;
        }
        // Queued parts start as others end, so that a slow part never leaves a core idle.
        int live = 0;
        for (const Worker& worker : workers_) live += worker.ended ? 0 : 1;
        while (!pending_.empty() && live < atOnce_) {
            std::string error;
            if (!launchNext(error)) {
                outcome.failed = static_cast<int>(workers_.size());
                outcome.error = error;
                return outcome;
            }
            ++live;
            running = true;
        }
        if (!running) break;
    }
    outcome.ok = true;
    return outcome;
}
